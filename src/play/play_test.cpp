// A played session without any front end: the steps a player takes in
// tests/web/same_session.txt, which the window and the page play too, each
// look as the script says, and the session's recording replaying headless
// to every slot the player saw.
#include "app/key_codes.h"
#include "play/play.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "session/trace_writer.h"
#include "storage/hall_of_fame_file.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace kestrada::session {
namespace {

using Key = HallOfFamePanel::Key;

// The script's keys: the game's code and the panel's name for each.
const std::map<std::string, std::pair<int16_t, std::optional<Key>>> kKeys = {
    {"Up", {kKeyUp, Key::Up}},       {"Down", {kKeyDown, Key::Down}},
    {"Left", {kKeyLeft, Key::Left}}, {"Right", {kKeyRight, Key::Right}},
    {"Space", {kKeySpace, {}}},      {"Enter", {kKeyEnter, Key::Enter}},
    {"Escape", {kKeyEsc, Key::Esc}},
};

struct Session {
    explicit Session(const std::filesystem::path& folder, HighScoreStore* store = nullptr)
        : play(host, PlaySetup{.folders = {folder, folder},
                               .seed = 20,
                               .highScoreStore = store,
                               .players = std::nullopt,
                               .soundCalls = {},
                               .checks = steppedRunChecks(),
                               .chosenRuns = ChosenRuns::InPlace,
                               .replay = std::nullopt,
                               .race = std::nullopt}) {
        play.start([this](PlayEvent event) { events.push_back(event); });
    }
    // A key as a front end hands it: to the hall of fame first while shown.
    void key(const std::string& name, bool down, bool repeat) {
        const auto& [code, panel] = kKeys.at(name);
        if (!play.tableShown() || !play.panelKey(panel, "", down, repeat)) {
            play.key(code, down, repeat);
        }
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
    std::string look() const {
        const Form& form = play.form();
        std::ostringstream text;
        text << play.title() << " | over=" << form.GameOver
             << " paused=" << form.lblPaused().Visible << " panel="
             << (play.tableShown() ? std::to_string(play.hallOfFame().rows().size()) : "-")
             << " dialog=" << !host.dialog.empty();
        return text.str();
    }
    void step(std::istringstream words) {
        std::string verb;
        std::string what;
        words >> verb;
        if (verb == "look") {
            std::getline(words, what);
            EXPECT_EQ(look(), what.substr(1));
            return;
        }
        words >> what;
        if (verb == "slots") {
            slots(std::stoi(what));
        } else if (verb == "down" || verb == "up") {
            key(what, verb == "down", false);
        } else if (verb == "repeat") {
            int count = 0;
            words >> count;
            for (int i = 0; i < count; ++i) {
                key(what, true, true);
            }
        } else if (verb == "type") {
            play.panelKey(std::nullopt, what, true, false);
        } else if (verb == "menu") {
            play.menu(*commandNamed(what));
        } else if (verb == "ctrl") {
            play.toggleHallOfFame();
        } else if (verb == "close") {
            host.dialog.clear();
        } else if (verb == "pad") {
            play.padButton(0, PadButton::South, what == "down");
        } else if (verb == "leave") {
            play.leave();
        } else if (verb == "back") {
            play.setInFront(true);
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

// Help, a crash into the hall of fame, a name, a new game, Esc held, the
// game left with a controller pressed behind it, the first game's run
// replayed in place with Esc held and Help and the table asked for, Exit
// back to the game, and play on: one recording of it all.
TEST(Play, OneSessionRecordsAllThePlayAroundAReplayAndReplaysToItsTrace) {
    const testing::ScratchDir folder;
    testing::writeFile(folder.path() / "Kestrada.txt", "\"3043\"\r\n");
    Session s(folder.path());
    std::istringstream script(testing::fileText(KESTRADA_SOURCE_DIR "/tests/web/same_session.txt"));
    for (std::string line; std::getline(script, line);) {
        if (!line.empty() && line[0] != '#') {
            s.step(std::istringstream(line));
        }
    }
    EXPECT_EQ(s.count(PlayEvent::Crashed), 2); // the player's, the replay's
    EXPECT_EQ(s.count(PlayEvent::Stored), 3);  // kept at the crash, named, kept at Exit
    EXPECT_TRUE(s.play.ended());
    EXPECT_EQ(s.count(PlayEvent::Exited), 1);
    EXPECT_EQ(std::count(s.play.recording().begin(), s.play.recording().end(), '\n'), 25);

    const std::vector<std::string> trace = headlessTrace(s.play.recording(), folder.path());
    for (const auto& [slot, record] : s.shown) {
        ASSERT_LE(slot, trace.size());
        EXPECT_EQ(trace[slot - 1], record) << "slot " << slot;
    }
    EXPECT_GT(s.shown.size(), 300u);
}

// A game left while its name is asked for, by Exit (a closed window is
// Exit) or by the page's tab closed, goes out under the last name, once.
TEST(Play, AnEntryLeftWhileNamedGoesOutUnderTheLastName) {
    for (const bool byExit : {true, false}) {
        const testing::ScratchDir folder;
        writeLastName(folder.path(), "Eve");
        Session s(folder.path());
        s.play.setWorldServer("http://127.0.0.1:9");
        for (const char* line :
             {"slots 2", "down Up", "slots 30", "down Left", "slots 200", "up Left", "type Zo"}) {
            s.step(std::istringstream(line));
        }
        ASSERT_TRUE(s.play.hallOfFame().editing());
        if (byExit) {
            s.play.menu(MenuCommand::mnuExit);
        } else {
            s.play.close();
        }
        const auto request = s.play.world().next(0);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->target.rfind("/api/runs?name=Eve&score=", 0), 0u) << request->target;
        EXPECT_EQ(readWorldRecords(folder.path()).size(), 1u);
    }
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
