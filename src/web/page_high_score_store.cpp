// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_high_score_store.h"

#include "storage/high_score_file.h"
#include "web/page_host.h"
#include "web/page_library.h"

#include <filesystem>
#include <system_error>

namespace kestrada::web {

namespace {
class PageHighScoreStore : public FileHighScoreStore {
  public:
    using FileHighScoreStore::FileHighScoreStore;

    // The empty file the first load creates is stored too, as the desktop
    // leaves one in its folder.
    std::optional<std::string> load() override {
        std::error_code ec;
        const bool existed = std::filesystem::exists(file(), ec);
        auto value = FileHighScoreStore::load();
        if (!existed) {
            page_persist();
        }
        return value;
    }

    BestSave save(std::string_view caption) override {
        BestSave result = FileHighScoreStore::save(caption);
        if (result.saved) {
            page_persist();
        }
        return result;
    }
};
} // namespace

HighScoreStore& playerHighScoreStore() {
    static PageHighScoreStore store(std::filesystem::path(kDataDir) / kHighScoreFileName);
    return store;
}

} // namespace kestrada::web
