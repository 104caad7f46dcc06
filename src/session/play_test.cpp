// SPDX-License-Identifier: GPL-3.0-or-later
// A played session without any front end: the player's keys, menus, the
// hall of fame and a replay played in place, checked through the session's
// recording, which must replay headless to the trace of the play.
#include "app/key_codes.h"
#include "session/play.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "session/trace_writer.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace kestrada::session {
namespace {

using Key = HallOfFamePanel::Key;

struct Session {
    explicit Session(const std::filesystem::path& folder, HighScoreStore* store = nullptr)
        : play(host, PlaySetup{.folders = {folder, folder},
                               .seed = 20,
                               .highScoreStore = store,
                               .players = std::nullopt,
                               .soundCalls = {},
                               .checks = steppedRunChecks(),
                               .chosenRuns = ChosenRuns::InPlace,
                               .replay = std::nullopt}) {
        play.start([this](PlayEvent event) { events.push_back(event); });
    }
    // A key as a front end hands it: to the hall of fame first while shown.
    void key(int16_t code, bool down, bool repeat = false, std::optional<Key> panel = {}) {
        if (!play.hallOfFame().shown() || !play.panelKey(panel, "", down, repeat)) {
            play.key(code, down, repeat);
        }
    }
    void press(int16_t code, std::optional<Key> panel = {}) {
        key(code, true, false, panel);
        key(code, false, false, panel);
    }
    // Esc held down while the keyboard repeats it ten times.
    void holdEsc() {
        key(kKeyEsc, true, false, Key::Esc);
        for (int i = 0; i < 10; ++i) {
            key(kKeyEsc, true, true, Key::Esc);
        }
        key(kKeyEsc, false, false, Key::Esc);
    }
    // The player's game's record of each slot it shows.
    void slots(int count) {
        for (int i = 0; i < count; ++i) {
            const SlotRunner::Slot slot = play.runSlot(0);
            if (!play.replaying() && slot.ran) {
                shown[slot.number] = play.lastRecord();
            }
        }
    }
    int count(PlayEvent event) const {
        return int(std::count(events.begin(), events.end(), event));
    }

    testing::RecordingHost host;
    Play play;
    std::vector<PlayEvent> events;
    std::map<uint64_t, std::string> shown;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The trace of the recording replayed headless, from the best it names.
std::vector<std::string> headlessTrace(const std::string& recording,
                                       const std::filesystem::path& folder) {
    const InputParse parse = parseInput(recording);
    EXPECT_TRUE(parse.ok()) << parse.message();
    const auto header = recordingHeaderOf(recording);
    testing::RecordingHost host;
    RecordedBest best(header->high.value_or(""));
    Game game(host, {.folders = {}, .seed = header->seed, .highScoreStore = &best});
    game.start();
    TraceWriter trace;
    std::string error;
    EXPECT_TRUE(trace.open(folder / "trace.jsonl", error)) << error;
    simulate(game, parse.events, parse.events.back().slot, &trace);
    EXPECT_TRUE(trace.close());
    return linesOf(testing::fileText(folder / "trace.jsonl"));
}

// Play, a crash into the hall of fame, a name, a new game, Esc held, the
// game left with a controller pressed behind it, a run chosen from the
// table replayed in place with Esc held, Help and the table asked for, Exit
// back to the game, and play on: one recording, which replays headless to
// every slot the player saw.
TEST(Play, OneSessionRecordsAllThePlayAroundAReplayAndReplaysToItsTrace) {
    const testing::ScratchDir folder;
    testing::writeFile(folder.path() / "Kestrada.txt", "\"3043\"\r\n");
    Session s(folder.path());
    s.slots(2);
    s.key(kKeyUp, true);
    s.slots(30);
    s.play.menu(MenuCommand::mnuHowToPlay);
    EXPECT_EQ(s.host.dialog, "help");
    s.press(kKeyEsc);
    s.key(kKeyLeft, true);
    for (int i = 0; i < 400 && !s.play.form().GameOver; ++i) {
        s.slots(1);
    }
    ASSERT_TRUE(s.play.form().GameOver);
    EXPECT_EQ(s.count(PlayEvent::Crashed), 1);
    s.key(kKeyLeft, false);
    s.key(kKeyUp, false);

    // The crash entered the table: the name typed is kept on Enter, and the
    // next Enter starts a new game.
    ASSERT_TRUE(s.play.hallOfFame().editing());
    EXPECT_TRUE(s.play.panelKey(std::nullopt, "Zo", true, false));
    s.press(kKeyEnter, Key::Enter);
    EXPECT_FALSE(s.play.hallOfFame().editing());
    EXPECT_EQ(s.count(PlayEvent::Stored), 2);
    s.slots(3);
    s.press(kKeyEnter, Key::Enter);
    EXPECT_FALSE(s.play.form().GameOver);

    // Esc held through ten repeats pauses once.
    s.key(kKeyUp, true);
    s.slots(20);
    const std::size_t pausesBefore = linesOf(s.play.recording()).size();
    s.holdEsc();
    EXPECT_TRUE(s.play.form().lblPaused().Visible);
    EXPECT_EQ(linesOf(s.play.recording()).size(), pausesBefore + 2); // down Esc, up Esc
    s.press(kKeyEsc);
    s.key(kKeyUp, false);
    s.slots(5);

    // Left, the game pauses; a controller behind it fires nothing.
    s.play.leave();
    EXPECT_TRUE(s.play.form().lblPaused().Visible);
    const std::string beforePad = s.play.recording();
    s.play.padButton(0, PadButton::South, true);
    s.play.padButton(0, PadButton::South, false);
    EXPECT_EQ(s.play.recording(), beforePad);
    s.play.setInFront(true);
    s.press(kKeyEsc);
    s.slots(5);

    // The table's first row replays in place; the player's game waits.
    s.play.toggleHallOfFame();
    EXPECT_TRUE(s.play.form().lblPaused().Visible);
    s.press(kKeyDown, Key::Down);
    s.press(kKeyEnter, Key::Enter);
    ASSERT_TRUE(s.play.replaying());
    EXPECT_EQ(s.play.title(), "Kestrada - replay");
    EXPECT_EQ(s.play.form().lblHighScore().Caption, "3043");
    s.slots(10);
    s.holdEsc();
    EXPECT_TRUE(s.play.held());
    s.slots(5);
    s.press(kKeyEsc, Key::Esc);
    EXPECT_FALSE(s.play.held());
    s.host.dialog.clear();
    s.play.menu(MenuCommand::mnuHowToPlay);
    s.play.toggleHallOfFame();
    EXPECT_FALSE(s.play.tableShown());
    s.slots(60); // past the recorded Help
    EXPECT_EQ(s.host.dialog, "");
    s.play.menu(MenuCommand::mnuExit);
    ASSERT_FALSE(s.play.replaying());
    EXPECT_FALSE(s.play.ended());
    EXPECT_EQ(s.play.title(), "Kestrada");
    EXPECT_TRUE(s.play.tableShown()); // as the player left it

    // Play on, then Exit.
    s.press(kKeyEsc);
    s.key(kKeyUp, true);
    s.slots(30);
    s.play.menu(MenuCommand::mnuExit);
    EXPECT_TRUE(s.play.ended());
    EXPECT_EQ(s.count(PlayEvent::Exited), 1);

    const std::vector<std::string> trace = headlessTrace(s.play.recording(), folder.path());
    for (const auto& [slot, record] : s.shown) {
        ASSERT_LE(slot, trace.size());
        EXPECT_EQ(trace[slot - 1], record) << "slot " << slot;
    }
    EXPECT_GT(s.shown.size(), 100u);
}

// The best is read once, when the session starts: a save by another game
// before the load cannot make the recording's header and the dashboard
// disagree.
TEST(Play, TheStartingBestIsReadOnceForTheRecordingAndTheDashboard) {
    class RisingStore : public HighScoreStore {
      public:
        std::optional<std::string> load() override { return std::to_string(100 * ++loads); }
        BestSave save(std::string_view) override { return {}; }
        std::string where() const override { return "memory"; }
        int loads = 0;
    };
    const testing::ScratchDir folder;
    RisingStore store;
    Session s(folder.path(), &store);
    EXPECT_EQ(store.loads, 1);
    EXPECT_EQ(s.play.form().lblHighScore().Caption, "100");
    EXPECT_EQ(linesOf(s.play.recording()).front(), recordingHeader(20, "100"));
}

} // namespace
} // namespace kestrada::session
