// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/hall_of_fame_file.h"

#include "storage/folder_lock.h"
#include "storage/high_score_file.h"
#include "storage/replace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>

namespace kestrada {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole score as the dashboard shows it, or its exponent form.
bool isScore(std::string_view text) {
    return !text.empty() && text.size() <= 24 && isDigit(text.front()) &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return isDigit(c) || c == 'E' || c == '+'; });
}

// "2026-12-07T11:45:03": the shape the game writes.
bool isWhen(std::string_view text) {
    constexpr std::string_view shape = "0000-00-00T00:00:00";
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '0' ? !isDigit(text[i]) : text[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

// A plain file name: the recording stays inside the runs folder.
bool isRunName(std::string_view text) {
    return !text.empty() && text.size() <= 64 && text.front() != '.' &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                      c == '_' || c == '.';
           });
}

std::optional<HallOfFameLine> entryOf(std::string_view line) {
    std::vector<std::string_view> fields;
    while (fields.size() < 5) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            break;
        }
        line.remove_prefix(tab + 1);
    }
    if (fields.size() != 4 || !isScore(fields[0]) || fields[1].size() > 64 || !isWhen(fields[2]) ||
        !isRunName(fields[3])) {
        return std::nullopt;
    }
    // A name edited by hand may hold a stray control byte: the line stays,
    // the byte becomes a space, as a name typed with one would.
    std::string name(fields[1]);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }, ' ');
    return HallOfFameLine{std::string(fields[0]), name, std::string(fields[2]),
                          std::string(fields[3])};
}

bool readText(const std::filesystem::path& file, std::string& text, std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

bool replaceWith(const std::filesystem::path& file, const std::string& bytes,
                 std::string& failure) {
    int error = 0;
    if (replaceWhole(followLinks(file), bytes, error) == Replace::Done) {
        return true;
    }
    failure = file.string() + ": " + std::strerror(error != 0 ? error : EIO);
    return false;
}
} // namespace

HallOfFameFile parseHallOfFame(std::string_view text) {
    HallOfFameFile file;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (std::exchange(first, false) && line != kHallOfFameHeader) {
            // A damaged header: its line may still be an entry.
            ++file.damaged;
            if (!line.starts_with('#')) {
                if (auto entry = entryOf(line)) {
                    file.lines.push_back(std::move(*entry));
                }
            }
            continue;
        }
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        if (auto entry = entryOf(line)) {
            file.lines.push_back(std::move(*entry));
        } else {
            ++file.damaged;
        }
    }
    return file;
}

std::string hallOfFameText(const std::vector<HallOfFameLine>& lines) {
    std::string text = std::string(kHallOfFameHeader) + "\n";
    for (const HallOfFameLine& line : lines) {
        text += line.score + "\t" + line.name + "\t" + line.when + "\t" + line.run + "\n";
    }
    return text;
}

bool readHallOfFame(const std::filesystem::path& folder, HallOfFameFile& file,
                    std::string& failure) {
    file = {};
    const std::filesystem::path path = folder / kHallOfFameFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (ec || !std::filesystem::is_directory(folder, ec)) {
            failure = folder.string() + ": " + (ec ? ec.message() : "not a folder");
            return false;
        }
        return true;
    }
    std::string text;
    if (!readText(path, text, kMaxHallOfFameBytes)) {
        failure = path.string() + ": " + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    file = parseHallOfFame(text);
    return true;
}

std::optional<std::filesystem::path> runPath(const std::filesystem::path& folder,
                                             std::string_view run) {
    if (!isRunName(run)) {
        return std::nullopt;
    }
    return folder / kRunsFolderName / std::string(run);
}

bool writeRun(const std::filesystem::path& folder, std::string_view run,
              const std::string& recording, std::string& failure) {
    const auto path = runPath(folder, run);
    if (!path) {
        failure = "not a recording's name: " + std::string(run);
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(path->parent_path(), ec);
    return replaceWith(*path, recording, failure);
}

bool updateHallOfFame(const std::filesystem::path& folder,
                      const std::function<void(std::vector<HallOfFameLine>&)>& change,
                      std::string& failure) {
    const FolderLock lock(folder, kHighScoreLockWait);
    HallOfFameFile file;
    if (!readHallOfFame(folder, file, failure)) {
        return false;
    }
    std::vector<HallOfFameLine> lines = file.lines;
    change(lines);
    if (!replaceWith(folder / kHallOfFameFileName, hallOfFameText(lines), failure)) {
        return false;
    }
    for (const HallOfFameLine& old : file.lines) {
        if (std::none_of(lines.begin(), lines.end(),
                         [&](const auto& line) { return line.run == old.run; })) {
            std::error_code ec;
            std::filesystem::remove(*runPath(folder, old.run), ec);
        }
    }
    return true;
}

std::string readLastName(const std::filesystem::path& folder) {
    std::string text;
    if (!readText(folder / kLastNameFileName, text, 256)) {
        return {};
    }
    return text.substr(0, text.find('\n'));
}

bool writeLastName(const std::filesystem::path& folder, std::string_view name) {
    std::string failure;
    return replaceWith(folder / kLastNameFileName, std::string(name) + "\n", failure);
}

} // namespace kestrada
