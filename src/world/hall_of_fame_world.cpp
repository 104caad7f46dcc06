// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/hall_of_fame_world.h"

#include <charconv>
#include <utility>

namespace kestrada::session {

namespace {
uint64_t worldsMade = 0;

std::string withoutTrailingSlashes(std::string server) {
    while (!server.empty() && server.back() == '/') {
        server.pop_back();
    }
    return server;
}
} // namespace

HallOfFameWorld::HallOfFameWorld(std::filesystem::path folder, std::string server,
                                 const std::string& naming)
    : folder_(std::move(folder)), server_(withoutTrailingSlashes(std::move(server))),
      serial_(++worldsMade), outbox_(folder_, server_, naming) {}

void HallOfFameWorld::entryNamed(const HallOfFameLine& line) {
    if (!server_.empty()) {
        outbox_.add(line, roadNaming_ ? road_ : std::string());
    }
    roadNaming_ = false;
}

void HallOfFameWorld::gameEnded(const HallOfFamePanel& panel, const std::string& score,
                                const std::string& recording, const std::string& when) {
    if (road_.empty() || std::exchange(roadPlayed_, true) || server_.empty()) {
        return;
    }
    if (panel.editing()) {
        roadNaming_ = true; // it entered the local table: it goes under the name given
        return;
    }
    std::string stamp = when;
    std::erase_if(stamp, [](char c) { return c < '0' || c > '9'; });
    // Kept only until the server has it: it is no entry of the table.
    outbox_.add({score, readLastName(folder_), when, "road-" + stamp + ".txt"}, road_, recording);
}

void HallOfFameWorld::openBoard() {
    worldHighlight_.reset();
    if (view_ != View::Local && !server_.empty()) {
        board_.open(view_ == View::Road, readLastName(folder_));
    }
}

bool HallOfFameWorld::press(HallOfFamePanel& panel, std::optional<HallOfFamePanel::Key> key,
                            std::string_view typed, bool down, bool repeat) {
    using Key = HallOfFamePanel::Key;
    follow(panel);
    if (!panel.shown()) {
        return panel.press(key, typed, down, repeat);
    }
    if (typed == "\t" && !panel.editing()) {
        if (down && !repeat) {
            view_ = view_ == View::Local   ? View::World
                    : view_ == View::World ? View::Road
                                           : View::Local;
            openBoard();
        }
        return true;
    }
    const bool rowKey = key == Key::Up || key == Key::Down || key == Key::Enter;
    if (view_ == View::Local || panel.editing() || !rowKey) {
        return panel.press(key, typed, down, repeat);
    }
    if (!down || board_.rows().empty()) {
        return false;
    }
    const std::size_t last = board_.rows().size() - 1;
    if (key == Key::Enter) {
        if (!worldHighlight_) {
            return false; // the game's, as on the local view
        }
        chooseRow(*worldHighlight_);
    } else if (!worldHighlight_) {
        worldHighlight_ = key == Key::Up ? last : 0;
    } else if (key == Key::Up) {
        worldHighlight_ = *worldHighlight_ == 0 ? 0 : *worldHighlight_ - 1;
    } else {
        worldHighlight_ = std::min(*worldHighlight_ + 1, last);
    }
    return true;
}

void HallOfFameWorld::follow(const HallOfFamePanel& panel) {
    if (!panel.shown() || panel.editing()) {
        view_ = View::Local;
    }
}

HallOfFamePanel::Click HallOfFameWorld::click(HallOfFamePanel& panel, const Form& form, double x,
                                              double y) {
    if (!panel.shown() || view_ == View::Local) {
        return panel.click(form, x, y);
    }
    const auto spot = scene::hallOfFameSpotAt(form, board_.rows().size(), false, x, y);
    if (spot.part != scene::HallOfFameSpot::Part::Row) {
        return panel.click(form, x, y);
    }
    worldHighlight_ = spot.row;
    chooseRow(spot.row);
    return HallOfFamePanel::Click::Taken;
}

void HallOfFameWorld::chooseRow(std::size_t row) {
    wantedRecording_ = board_.runOf(row);
}

scene::HallOfFameView HallOfFameWorld::view(const HallOfFamePanel& panel) const {
    scene::HallOfFameView local = panel.view();
    if (server_.empty() && view_ == View::Local && roadMessage_.empty()) {
        return local; // as it always was
    }
    if (view_ == View::Local) {
        local.notes = notes(panel);
        return local;
    }
    return {board_.rows(), worldHighlight_ ? worldHighlight_ : board_.highlighted(),
            false,         false,
            noName_,       0,
            notes(panel)};
}

std::vector<std::string> HallOfFameWorld::notes(const HallOfFamePanel& panel) const {
    std::vector<std::string> lines;
    if (!roadMessage_.empty()) {
        lines.push_back(roadMessage_);
    }
    if (view_ == View::Local && server_.empty()) {
        return lines;
    }
    if (view_ == View::Local) {
        if (const auto run = panel.highlightedRun()) {
            const WorldRecord* record = outbox_.find(run->filename().string());
            lines.push_back("World: " + (record != nullptr ? worldStateText(*record)
                                         : panel.editing() ? std::string("sent once named")
                                                           : std::string("kept here only")));
        }
        if (outbox_.unreachable()) {
            lines.emplace_back("The server cannot be reached: entries wait.");
        }
        lines.push_back("Sent to " + server_ + ":");
        lines.emplace_back("the name, the run and your address.");
        lines.emplace_back("Tab: the world's table, today's road");
        return lines;
    }
    lines.push_back(view_ == View::World ? "The world's table (Tab: next)"
                                         : "Today's road " + board_.roadDate() + " (Tab: next)");
    if (server_.empty()) {
        lines.emplace_back("No server is set: nothing is sent.");
        return lines;
    }
    switch (board_.status()) {
    case WorldBoard::Status::Closed:
    case WorldBoard::Status::Loading:
        lines.emplace_back("Asking the server...");
        break;
    case WorldBoard::Status::Unreachable:
    case WorldBoard::Status::Refused:
        lines.push_back(board_.problem());
        break;
    case WorldBoard::Status::Shown:
        lines.emplace_back(board_.rows().empty() ? "No entries yet."
                                                 : "Up, Down, Enter: replay a row's run.");
        break;
    }
    return lines;
}

std::optional<WorldRequest> HallOfFameWorld::next(double nowMs) {
    if (server_.empty()) {
        return std::nullopt;
    }
    WorldRequest request;
    if (roadAsked_ && !roadOut_) {
        roadAsked_ = false;
        roadOut_ = true;
        request.purpose = WorldRequest::Purpose::Seed;
        request.target = "/api/road";
        return request;
    }
    if (wantedRecording_ && !recordingOut_) {
        recordingOut_ = true;
        request.purpose = WorldRequest::Purpose::Recording;
        request.target = "/api/runs/" + percentEncoded(*wantedRecording_) + "/recording";
        wantedRecording_.reset();
        return request;
    }
    if (auto request = leader_.next()) {
        return request;
    }
    if (auto request = board_.next()) {
        return request;
    }
    return outbox_.next(nowMs);
}

void HallOfFameWorld::answered(const WorldRequest& request, const WorldReply& reply, double nowMs) {
    using Purpose = WorldRequest::Purpose;
    const bool ok = reply.status >= 200 && reply.status < 300;
    switch (request.purpose) {
    case Purpose::Submit:
    case Purpose::Check:
    case Purpose::Best:
        outbox_.answered(reply, nowMs);
        return;
    case Purpose::Recording:
        recordingOut_ = false;
        if (ok) {
            downloaded_ = reply.text;
        }
        return;
    case Purpose::Road:
    case Purpose::Board:
        board_.answered(request, reply);
        return;
    case Purpose::Leader:
        leader_.answered(request, reply);
        return;
    case Purpose::Seed:
        roadOut_ = false;
        if (const std::string seed = fieldOf(reply.fields, "seed"); ok && !seed.empty()) {
            uint32_t value = 0;
            std::from_chars(seed.data(), seed.data() + seed.size(), value);
            roadSeed_ = value;
            roadDay_ = fieldOf(reply.fields, "date");
            roadMessage_.clear();
            if (raceLeader_) {
                leader_.ask(roadDay_);
            }
        } else {
            roadMessage_ = ok ? "The server named no road today."
                              : "Today's road needs the server, "
                                "which cannot be reached.";
        }
        return;
    }
}

std::optional<std::string> HallOfFameWorld::takeDownloadedRun() {
    return std::exchange(downloaded_, std::nullopt);
}

bool HallOfFameWorld::askRoad() {
    if (server_.empty()) {
        roadMessage_ = "Today's road needs the server: none is set.";
        return false;
    }
    roadAsked_ = true;
    roadMessage_ = "Asking the server for today's road...";
    return true;
}

std::optional<uint32_t> HallOfFameWorld::takeRoadSeed() {
    if (leader_.waiting()) {
        return std::nullopt;
    }
    return std::exchange(roadSeed_, std::nullopt);
}

} // namespace kestrada::session
