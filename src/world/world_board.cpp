// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_board.h"

#include "halloffame/hall_of_fame.h"

#include <algorithm>
#include <utility>

namespace kestrada::session {

namespace {
constexpr std::size_t kTopWhenAround = 5;
constexpr std::size_t kEitherSide = 2;

std::string padded(std::string text, std::size_t width, bool left) {
    if (text.size() < width) {
        text.insert(left ? 0 : text.size(), width - text.size(), ' ');
    }
    return text;
}

bool named(const WorldFields& entry, const std::string& name) {
    return !name.empty() && fieldOf(entry, "name") == name;
}
} // namespace

std::string worldRowText(const WorldFields& entry) {
    return padded(fieldOf(entry, "rank"), 2, true) + "  " +
           padded(fieldOf(entry, "score"), 10, true) + "  " +
           padded(cleanName(fieldOf(entry, "name")), kNameCharacters, false) + "  " +
           shownDate(fieldOf(entry, "date"));
}

void WorldBoard::open(bool road, std::string name) {
    road_ = road;
    name_ = cleanName(name);
    step_ = road ? Step::Road : Step::Top;
    status_ = Status::Loading;
    problem_.clear();
    top_.clear();
    show({});
}

std::string WorldBoard::boardTarget() const {
    std::string target = road_ ? "/api/boards/road?date=" + percentEncoded(roadDate_) + "&"
                               : std::string("/api/boards/all?");
    if (step_ == Step::Around) {
        return target + "around=" + percentEncoded(name_);
    }
    return target + "limit=" + std::to_string(kWorldRows);
}

std::optional<WorldRequest> WorldBoard::next() {
    if (out_ || step_ == Step::Idle) {
        return std::nullopt;
    }
    out_ = true;
    WorldRequest request;
    request.purpose =
        step_ == Step::Road ? WorldRequest::Purpose::Road : WorldRequest::Purpose::Board;
    request.target = step_ == Step::Road ? "/api/road" : boardTarget();
    return request;
}

void WorldBoard::answered(const WorldReply& reply) {
    out_ = false;
    if (reply.status < 200 || reply.status >= 300) {
        step_ = Step::Idle;
        status_ = reply.status == 0 ? Status::Unreachable : Status::Refused;
        problem_ = reply.status == 0 ? "The server cannot be reached." : refusalOf(reply);
        return;
    }
    switch (step_) {
    case Step::Road:
        roadDate_ = fieldOf(reply.fields, "date");
        step_ = Step::Top;
        return;
    case Step::Top:
        top_ = reply.entries;
        if (top_.size() > kWorldRows) {
            top_.resize(kWorldRows);
        }
        show(top_);
        step_ =
            highlighted_ || name_.empty() || top_.size() < kWorldRows ? Step::Idle : Step::Around;
        status_ = Status::Shown;
        return;
    case Step::Around:
        step_ = Step::Idle;
        break;
    case Step::Idle:
        return;
    }
    // The top five, then the player's row and two either side.
    const auto own = std::find_if(reply.entries.begin(), reply.entries.end(),
                                  [&](const auto& e) { return named(e, name_); });
    if (own == reply.entries.end()) {
        return; // not on this table: the top ten stay
    }
    std::vector<WorldFields> rows(top_.begin(), top_.begin() + kTopWhenAround);
    const auto from = own - std::min<std::ptrdiff_t>(own - reply.entries.begin(), kEitherSide);
    const auto to = own + std::min<std::ptrdiff_t>(reply.entries.end() - own - 1, kEitherSide) + 1;
    for (auto e = from; e != to; ++e) {
        const bool seen = std::any_of(rows.begin(), rows.end(), [&](const auto& r) {
            return fieldOf(r, "rank") == fieldOf(*e, "rank") &&
                   fieldOf(r, "name") == fieldOf(*e, "name");
        });
        if (!seen) {
            rows.push_back(*e);
        }
    }
    show(rows);
}

void WorldBoard::show(const std::vector<WorldFields>& entries) {
    shown_ = entries;
    rows_.clear();
    highlighted_.reset();
    for (const WorldFields& entry : entries) {
        if (named(entry, name_)) {
            highlighted_ = rows_.size();
        }
        rows_.push_back(worldRowText(entry));
    }
}

std::optional<std::string> WorldBoard::runOf(std::size_t row) const {
    if (row >= shown_.size() || fieldOf(shown_[row], "run").empty()) {
        return std::nullopt;
    }
    return fieldOf(shown_[row], "run");
}

} // namespace kestrada::session
