// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_records.h"

#include "storage/folder_lock.h"
#include "storage/high_score_file.h"
#include "storage/replace_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

namespace kestrada::session {

namespace {
constexpr std::array<std::string_view, 5> kStateWords = {"unsent", "waiting", "verified",
                                                         "rejected", "resend"};
// Far more than ten entries and their road runs ever make.
constexpr std::size_t kMaxRecordsBytes = 256 * 1024;

// A field never holds the file's separators.
std::string field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(tab + 1);
    }
}

bool number(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}
} // namespace

std::string worldRecordsText(const std::vector<WorldRecord>& records) {
    std::string text = std::string(kWorldRecordsHeader) + "\n";
    for (const WorldRecord& r : records) {
        text += field(r.run) + "\t" + std::string(kStateWords[static_cast<std::size_t>(r.state)]) +
                "\t" + field(r.id) + "\t" + std::to_string(r.rank) + "\t" +
                std::to_string(r.attempts) + "\t" + field(r.name) + "\t" + field(r.score) + "\t" +
                field(r.reason) + "\t" + field(r.road) + "\n";
    }
    return text;
}

std::vector<WorldRecord> parseWorldRecords(std::string_view text) {
    std::vector<WorldRecord> records;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        const auto fields = split(line);
        if (fields.size() != 9 || fields[0].empty()) {
            continue;
        }
        const auto word = std::find(kStateWords.begin(), kStateWords.end(), fields[1]);
        WorldRecord r;
        if (word == kStateWords.end() || !number(fields[3], r.rank) ||
            !number(fields[4], r.attempts)) {
            continue;
        }
        r.run = fields[0];
        r.state = static_cast<WorldState>(word - kStateWords.begin());
        r.id = fields[2];
        r.name = fields[5];
        r.score = fields[6];
        r.reason = fields[7];
        r.road = fields[8];
        records.push_back(std::move(r));
    }
    return records;
}

std::vector<WorldRecord> readWorldRecords(const std::filesystem::path& folder) {
    std::ifstream in(folder / kWorldRecordsFileName, std::ios::binary);
    std::string text(kMaxRecordsBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return parseWorldRecords(text);
}

bool updateWorldRecords(const std::filesystem::path& folder,
                        const std::function<void(std::vector<WorldRecord>&)>& change) {
    const FolderLock lock(folder, kHighScoreLockWait);
    std::vector<WorldRecord> records = readWorldRecords(folder);
    change(records);
    int error = 0;
    return replaceWhole(followLinks(folder / kWorldRecordsFileName), worldRecordsText(records),
                        error) == Replace::Done;
}

std::string worldStateText(const WorldRecord& record) {
    switch (record.state) {
    case WorldState::Unsent:
        return "not sent yet";
    case WorldState::Waiting:
        return "sent, waiting for the server's check";
    case WorldState::Verified:
        return "verified, world rank " + std::to_string(record.rank);
    case WorldState::Rejected:
        return "refused: " + record.reason;
    case WorldState::Resend:
        return "waiting to be sent again";
    }
    return {};
}

} // namespace kestrada::session
