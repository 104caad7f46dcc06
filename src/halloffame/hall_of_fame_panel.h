// SPDX-License-Identifier: GPL-3.0-or-later
// The hall-of-fame panel as every front end shows it: when it is shown, its
// rows as text, the highlighted row, the name field and where its caret is,
// and what a key does to it. A front end only routes keys here and draws
// the state; the form and its frame stay as they are.
#pragma once

#include "app/form.h"
#include "halloffame/hall_of_fame.h"
#include "halloffame/name_field.h"
#include "halloffame/run_checks.h"
#include "scene/hall_of_fame.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrada::session {

// The local date and time to the second, ISO 8601.
std::string localTimeNow();

class HallOfFamePanel {
  public:
    // folder: where the table is kept; checks: where its runs are checked;
    // now: the date and time of a game's end.
    HallOfFamePanel(std::filesystem::path folder, std::unique_ptr<RunChecks> checks,
                    std::function<std::string()> now = localTimeNow);
    ~HallOfFamePanel();
    HallOfFamePanel(const HallOfFamePanel&) = delete;
    HallOfFamePanel& operator=(const HallOfFamePanel&) = delete;

    // A game ended by a crash, with the session's recording up to its end.
    // When its score enters the table it is kept under the last name used,
    // and the panel shows it highlighted with the name field in focus.
    void gameCrashed(const std::string& score, const std::string& recording);
    // A game ended by Exit: kept under the last name used, nothing shown.
    void gameExited(const std::string& score, const std::string& recording);
    // A front end's game has just ended, by a crash or by Exit, with the
    // session's recording so far: kept as above, unless it was a replay's
    // (its games are someone else's, kept where they came from) or Exit
    // came after a crash, which kept it already. True when it was kept.
    bool gameEnded(const Form& form, bool exited, bool replaying, const std::string& recording);

    // The front end's own command: shows the table as it is on disk, or
    // hides it. True when the game is running and must be paused first.
    bool toggle(const Form& form);
    // Once the game runs again the panel goes.
    void follow(const Form& form);

    enum class Key { Enter, Esc, Backspace, Delete, Left, Right, Home, End, Up, Down, Other };
    // A key from a front end, pressed or released: the panel's name for it,
    // or else the text it types. True when the game must not see it.
    // Releases always reach the game, so that no key it holds sticks; while
    // the name field has focus it takes every press, repeats too.
    bool press(std::optional<Key> key, std::string_view typed, bool down, bool repeat);
    // What an editing key (Backspace, Delete, the arrows, Home, End) does
    // to a name field; the others do nothing to it.
    static void edit(NameField& field, Key key);
    // The run of a row, to replay or hand over; nothing for no row.
    std::optional<std::filesystem::path> choose(std::size_t row) const;
    std::optional<std::filesystem::path> highlightedRun() const;

    // A click or a tap at a point of the scene while the panel is shown: a
    // row chooses its run (as Up or Down and Enter do), the name field takes
    // the keys. NewGame when it was the panel's button, which the front end
    // presses as the form's own.
    enum class Click { Missed, Taken, NewGame };
    Click click(const Form& form, double x, double y);
    // A run chosen with Up or Down and Enter, once; the front end replays it.
    std::optional<std::filesystem::path> takeChosen();

    // Called with each entry once its name is kept: confirmed after a crash,
    // or the last name for a game ended by Exit.
    void setOnNamed(std::function<void(const HallOfFameLine&)> onNamed) {
        onNamed_ = std::move(onNamed);
    }

    // Takes in the verification done meanwhile off the game's thread; true
    // when the rows changed.
    bool poll();

    bool shown() const { return shown_; }
    const std::vector<std::string>& rows() const { return rows_; }
    std::optional<std::size_t> highlighted() const { return highlighted_; }
    bool editing() const { return editing_; }
    // The run whose name the field asks for, while it does.
    std::string namingRun() const { return editing_ ? newRun_ : std::string(); }
    bool nameShown() const { return !newRun_.empty(); } // after a crash entered
    const std::string& name() const { return field_.text(); }
    std::size_t caret() const { return field_.caret(); } // in characters
    // What the scene draws of it.
    scene::HallOfFameView view() const {
        return {rows_, highlighted_, nameShown(), editing_, field_.text(), field_.caret()};
    }

  private:
    // A key while the panel is shown; true when the panel took it. While
    // the name field has focus it takes every key: Enter keeps the name
    // typed, Esc the one prefilled.
    bool key(Key key);
    // Text typed while the name field has focus; true when taken.
    bool text(std::string_view typed);
    void keep(const std::string& score, const std::string& recording);
    void named();
    void load();
    void rank();
    void verifyLater();
    void confirmIfEditing();
    bool moveSelection(Key key);

    std::filesystem::path folder_;
    std::function<std::string()> now_;
    std::vector<HallOfFameLine> lines_;
    std::vector<std::optional<Verification>> verifications_;
    std::unique_ptr<RunChecks> checks_;
    std::map<std::string, Verification> checked_; // by checkKey
    KnownUnverified knownUnverified() const;
    std::vector<RankedEntry> table_;
    std::vector<std::string> rows_;
    std::optional<std::size_t> highlighted_;
    std::string newRun_; // the entry the name field names
    std::optional<std::filesystem::path> chosen_;
    bool shown_ = false;
    bool editing_ = false;
    bool selected_ = false; // a row picked with Up or Down
    NameField field_;
    std::function<void(const HallOfFameLine&)> onNamed_;
};

} // namespace kestrada::session
