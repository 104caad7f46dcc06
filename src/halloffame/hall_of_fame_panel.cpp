// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/hall_of_fame_panel.h"

#include "app/running.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <set>
#include <utility>

namespace kestrada::session {

std::string localTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

HallOfFamePanel::HallOfFamePanel(std::filesystem::path folder, std::unique_ptr<RunChecks> checks,
                                 std::function<std::string()> now)
    : folder_(std::move(folder)), now_(std::move(now)), checks_(std::move(checks)) {}

HallOfFamePanel::~HallOfFamePanel() = default;

void HallOfFamePanel::keep(const std::string& score, const std::string& recording) {
    std::string failure;
    const auto entry = keepGame(folder_, {score, now_(), recording}, readLastName(folder_), failure,
                                knownUnverified());
    newRun_ = entry ? entry->run : std::string();
}

KnownUnverified HallOfFamePanel::knownUnverified() const {
    std::set<std::string> keys;
    for (const auto& [key, verification] : checked_) {
        if (!verification.verified) {
            keys.insert(key);
        }
    }
    return [keys](const HallOfFameLine& line) { return keys.contains(checkKey(line)); };
}

void HallOfFamePanel::gameCrashed(const std::string& score, const std::string& recording) {
    keep(score, recording);
    if (newRun_.empty()) {
        return;
    }
    field_.fill(readLastName(folder_));
    editing_ = true;
    shown_ = true;
    load();
}

void HallOfFamePanel::gameExited(const std::string& score, const std::string& recording) {
    keep(score, recording);
    named();
}

void HallOfFamePanel::named() {
    HallOfFameFile file;
    std::string failure;
    readHallOfFame(folder_, file, failure);
    for (const HallOfFameLine& line : file.lines) {
        if (onNamed_ && !newRun_.empty() && line.run == newRun_) {
            onNamed_(line);
        }
    }
}

bool HallOfFamePanel::gameEnded(const Form& form, bool exited, bool replaying,
                                const std::string& recording) {
    if (replaying || recording.empty() || (exited && form.GameOver)) {
        return false;
    }
    const std::string& score = form.lblScore().Caption;
    if (exited) {
        gameExited(score, recording);
    } else {
        gameCrashed(score, recording);
    }
    return true;
}

bool HallOfFamePanel::toggle(const Form& form) {
    if (shown_) {
        confirmIfEditing();
        shown_ = false;
        return false;
    }
    newRun_.clear();
    shown_ = true;
    load();
    return running(form);
}

void HallOfFamePanel::follow(const Form& form) {
    if (shown_ && running(form)) {
        confirmIfEditing();
        shown_ = false;
    }
}

void HallOfFamePanel::load() {
    HallOfFameFile file;
    std::string failure;
    readHallOfFame(folder_, file, failure); // a damaged table shows what it can
    keepBest(file.lines);
    lines_ = file.lines;
    highlighted_.reset();
    selected_ = false;
    verifyLater(); // first: it lines the checks known up with the lines
    rank();
}

void HallOfFamePanel::rank() {
    std::vector<Verification> known;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        // Until its check is done an entry keeps its place as if verified.
        known.push_back(i < verifications_.size() && verifications_[i] ? *verifications_[i]
                                                                       : Verification{true, ""});
    }
    table_ = rankHallOfFame(lines_, known);
    rows_.clear();
    for (std::size_t row = 0; row < table_.size(); ++row) {
        RankedEntry shown = table_[row];
        const auto at = std::find(lines_.begin(), lines_.end(), shown.line) - lines_.begin();
        if (static_cast<std::size_t>(at) >= verifications_.size() || !verifications_[at]) {
            shown.verification = {}; // "checking"
        }
        rows_.push_back(entryText(shown));
        if (!newRun_.empty() && shown.line.run == newRun_) {
            highlighted_ = row;
        }
    }
}

void HallOfFamePanel::verifyLater() {
    verifications_.assign(lines_.size(), std::nullopt);
    std::vector<HallOfFameLine> unknown;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto known = checked_.find(checkKey(lines_[i]));
        if (known != checked_.end()) {
            verifications_[i] = known->second;
        } else {
            unknown.push_back(lines_[i]);
        }
    }
    if (!unknown.empty()) {
        checks_->start(folder_, std::move(unknown));
    }
}

bool HallOfFamePanel::poll() {
    const RunChecksDone done = checks_->done();
    if (done.empty()) {
        return false;
    }
    for (const auto& [key, verification] : done) {
        checked_[key] = verification;
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto known = checked_.find(checkKey(lines_[i]));
        if (known != checked_.end()) {
            verifications_[i] = known->second;
        }
    }
    rank();
    return true;
}

void HallOfFamePanel::confirmIfEditing() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    std::string failure;
    renameEntry(folder_, newRun_, field_.text(), failure);
    field_.replace(cleanName(field_.text()));
    load();
    named();
}

bool HallOfFamePanel::key(Key key) {
    if (!shown_) {
        return false;
    }
    if (!editing_) {
        return moveSelection(key);
    }
    switch (key) {
    case Key::Enter:
        confirmIfEditing();
        break;
    case Key::Esc:
        field_.replace(readLastName(folder_));
        confirmIfEditing();
        break;
    default:
        edit(field_, key);
        break;
    }
    return true;
}

void HallOfFamePanel::edit(NameField& field, Key key) {
    switch (key) {
    case Key::Backspace:
        field.backspace();
        break;
    case Key::Delete:
        field.erase();
        break;
    case Key::Left:
        field.left();
        break;
    case Key::Right:
        field.right();
        break;
    case Key::Home:
        field.home();
        break;
    case Key::End:
        field.end();
        break;
    default:
        break;
    }
}

bool HallOfFamePanel::moveSelection(Key key) {
    // After a crash the arrows and Enter stay the game's: a player still on
    // the accelerator must get a new game from Enter, not a replay.
    if (table_.empty() || nameShown()) {
        return false;
    }
    if (key == Key::Up || key == Key::Down) {
        const std::size_t last = table_.size() - 1;
        if (!highlighted_) {
            highlighted_ = key == Key::Up ? last : 0;
        } else if (key == Key::Up) {
            highlighted_ = *highlighted_ == 0 ? 0 : *highlighted_ - 1;
        } else {
            highlighted_ = std::min(*highlighted_ + 1, last);
        }
        selected_ = true;
        return true;
    }
    // Enter replays the row picked with the arrows; otherwise it is the
    // game's, which starts a new one after a crash.
    if (key == Key::Enter && selected_ && highlighted_) {
        chosen_ = choose(*highlighted_);
        return true;
    }
    return false;
}

bool HallOfFamePanel::press(std::optional<Key> key, std::string_view typed, bool down,
                            bool repeat) {
    if (!shown_ || !down) {
        return false;
    }
    const bool editing = editing_;
    if (repeat) {
        return editing;
    }
    bool taken = false;
    if (key) {
        taken = this->key(*key);
    } else if (!typed.empty()) {
        taken = text(typed);
    }
    return taken || editing;
}

bool HallOfFamePanel::text(std::string_view typed) {
    if (!shown_ || !editing_) {
        return false;
    }
    field_.type(typed);
    return true;
}

std::optional<std::filesystem::path> HallOfFamePanel::choose(std::size_t row) const {
    if (row >= table_.size()) {
        return std::nullopt;
    }
    return runPath(folder_, table_[row].line.run);
}

std::optional<std::filesystem::path> HallOfFamePanel::highlightedRun() const {
    return highlighted_ ? choose(*highlighted_) : std::nullopt;
}

HallOfFamePanel::Click HallOfFamePanel::click(const Form& form, double x, double y) {
    if (!shown_) {
        return Click::Missed;
    }
    using Part = scene::HallOfFameSpot::Part;
    const scene::HallOfFameSpot spot =
        scene::hallOfFameSpotAt(form, rows_.size(), nameShown(), x, y);
    switch (spot.part) {
    case Part::NewGame:
        confirmIfEditing();
        return Click::NewGame;
    case Part::NameField:
        if (!editing_) {
            editing_ = true;
            field_.caretToEnd();
        }
        return Click::Taken;
    case Part::Row: {
        // The row as it was seen: keeping the name may rank the rows anew.
        const std::string run = table_[spot.row].line.run;
        confirmIfEditing();
        for (std::size_t row = 0; row < table_.size(); ++row) {
            if (table_[row].line.run == run) {
                highlighted_ = row;
                selected_ = true;
                chosen_ = choose(row);
            }
        }
        return Click::Taken;
    }
    case Part::Nothing:
        break;
    }
    return Click::Missed;
}

std::optional<std::filesystem::path> HallOfFamePanel::takeChosen() {
    return std::exchange(chosen_, std::nullopt);
}

} // namespace kestrada::session
