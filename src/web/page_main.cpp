// SPDX-License-Identifier: GPL-3.0-or-later
// The page's program: the frames on requestAnimationFrame, with the slots
// counted out of them, keys, focus and controllers through html5.h, the
// touch controls and the menus, all handed to the session's played session.
// The page's script calls the exported functions below.
#include "play/play.h"
#include "scene/hall_of_fame.h"
#include "scene/slot_clock.h"
#include "session/menu_commands.h"
#include "web/page_drawing.h"
#include "web/page_high_score_store.h"
#include "web/page_host.h"
#include "web/page_keys.h"
#include "web/page_library.h"
#include "web/page_name_input.h"
#include "web/page_world.h"
#include "world/server_look.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::web {
namespace {

using session::MenuCommand;
using session::PlayEvent;

PageHost host;
bool steppedClock = false; // a test's frames, not the browser's
std::unique_ptr<session::Play> play;
// The world's server: the page's own origin when a kestrada-server served it.
std::string worldServer;
PageWorld pageWorld;
kestrada::session::ServerLook serverLook;
bool roadChosen = false;
// A run to race, in a session of its own once this one's call has returned.
std::optional<kestrada::session::Race> raceChosen;
void beginSession(uint32_t seed, const std::string& road,
                  std::optional<kestrada::session::Race> race = std::nullopt);
scene::SlotClock slotClock;
bool smoothing = true;
bool raceLeader = true; // the page's box: today's road races the day's leader
bool focused = true;

// Leaving the page (another tab or window, the screen turned) is leaving
// the game.
void leave() {
    focused = false;
    if (play) {
        play->leave();
    }
}

// ---- keys -------------------------------------------------------------------

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    if (!play) {
        return EM_FALSE;
    }
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Ctrl+F is the page's own: the hall of fame, not the browser's search.
    if (down && e->ctrlKey && std::string_view(e->code) == "KeyF") {
        play->toggleHallOfFame();
        return EM_TRUE;
    }
    // Ctrl+D beside it: today's road, from the world's server.
    if (down && e->ctrlKey && std::string_view(e->code) == "KeyD") {
        play->askForTodaysRoad();
        return EM_TRUE;
    }
    // Ctrl combinations are the menus' shortcuts, which the page handles.
    if (e->ctrlKey || e->altKey || e->metaKey || page_dialog_open()) {
        return EM_FALSE;
    }
    if (play->tableShown()) {
        const PanelKey key = panelKeyOf(e->key);
        if (play->panelKey(key.key, key.typed, down, e->repeat != 0)) {
            return EM_TRUE;
        }
    }
    const int16_t code = keyCodeOf(e->code);
    if (code == 0) {
        return EM_FALSE;
    }
    play->key(code, down, e->repeat != 0);
    return EM_TRUE;
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    leave();
    return EM_FALSE;
}

EM_BOOL onFocus(int, const EmscriptenFocusEvent*, void*) {
    focused = true;
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) {
        leave();
    }
    return EM_FALSE;
}

// The tab is closed or the page left: a name still asked for is kept.
const char* onUnload(int, const void*, void*) {
    if (play) {
        play->close();
    }
    return nullptr;
}

// ---- controllers --------------------------------------------------------------

// Each controller's buttons and axes as the browser reads them now; one
// that went away lets go of what it held.
void pollPads() {
    std::set<int> connected;
    if (emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
        const int count = emscripten_get_num_gamepads();
        for (int i = 0; i < count; ++i) {
            EmscriptenGamepadEvent pad;
            if (emscripten_get_gamepad_status(i, &pad) != EMSCRIPTEN_RESULT_SUCCESS ||
                !pad.connected) {
                continue;
            }
            const auto buttons = static_cast<std::size_t>(pad.numButtons);
            const session::PadReading reading = session::standardLayoutReading(
                std::span<const int>(pad.digitalButton, buttons),
                std::span<const double>(pad.analogButton, buttons),
                std::span<const double>(pad.axis, static_cast<std::size_t>(pad.numAxes)));
            play->padReading(i, reading);
            connected.insert(i);
        }
    }
    for (const int pad : play->pads()) {
        if (!connected.contains(pad)) {
            play->padGone(pad);
        }
    }
}

// A crash shakes the phone, where the browser can, as the window shakes a
// controller; what the hall of fame wrote goes through to the storage.
void onEvent(PlayEvent event) {
    if (event == PlayEvent::Crashed) {
        emscripten_vibrate(200);
    } else if (event == PlayEvent::Stored) {
        page_persist();
    } else if (event == PlayEvent::RoadChosen) {
        roadChosen = true; // a new session, once this one's call has returned
    } else if (event == PlayEvent::RaceChosen) {
        raceChosen = play->chosenRace();
    }
}

// ---- menus and frames ---------------------------------------------------------

void addMenus() {
    const Form& form = play->form();
    const auto bar = session::menuBar();
    for (std::size_t m = 0; m < bar.size(); ++m) {
        page_menu_add(static_cast<int>(m), -1, "", (form.*bar[m]).Caption.c_str(), "", false,
                      false);
        for (const std::size_t i : session::commandsIn(bar[m])) {
            const session::MenuCommandEntry& entry = session::menuCommands()[i];
            const MenuItem& item = form.*entry.item;
            page_menu_add(static_cast<int>(m), static_cast<int>(i), std::string(entry.name).c_str(),
                          item.Caption.c_str(), item.Shortcut.c_str(), entry.checkable,
                          entry.separatorAbove != nullptr);
        }
    }
}

void syncMenus() {
    const Form& form = play->form();
    const auto bar = session::menuBar();
    for (std::size_t m = 0; m < bar.size(); ++m) {
        const MenuItem& menu = form.*bar[m];
        page_menu_state(static_cast<int>(m), -1, menu.Caption.c_str(), false, menu.Enabled,
                        menu.Visible);
        for (const std::size_t i : session::commandsIn(bar[m])) {
            const session::MenuCommandEntry& entry = session::menuCommands()[i];
            const MenuItem& item = form.*entry.item;
            page_menu_state(static_cast<int>(m), static_cast<int>(i), item.Caption.c_str(),
                            item.Checked, item.Enabled && menu.Enabled,
                            item.Visible && menu.Visible);
        }
    }
}

// The page offers the highlighted row's run for download while the panel
// is shown.
void showChosenRun() {
    static std::string shown;
    const auto run = play->tableShown() ? play->hallOfFame().highlightedRun() : std::nullopt;
    const std::string path = run ? run->string() : std::string();
    if (path != shown) {
        shown = path;
        page_chosen_run(path.c_str());
    }
}

// On a touch screen the page lays its own text input over the name field.
void showNameField() {
    static bool shown = false; // as the page starts: hidden
    static bool editing = false;
    static std::string name;
    const auto& panel = play->hallOfFame();
    const bool visible = panel.shown() && panel.nameShown();
    if (visible == shown && panel.editing() == editing && panel.name() == name) {
        return;
    }
    shown = visible;
    editing = panel.editing();
    name = panel.name();
    const scene::Rect at = scene::hallOfFameNameField(play->form());
    page_name_field(visible, panel.editing(), panel.name().c_str(), at.left, at.top, at.width,
                    at.height);
}

EM_BOOL onFrame(double nowMs, void*) {
    if (!play || play->ended()) {
        page_ended();
        return EM_FALSE;
    }
    // An open dialog keeps the controllers from the game, as a window in
    // front does; the slots go on, as in the window.
    play->setInFront(focused && !page_dialog_open());
    pollPads();
    const int due = slotClock.frame(nowMs);
    for (int i = 0; i < due && !play->ended(); ++i) {
        play->runSlot(slotClock.slotTime(i));
    }
    if (std::exchange(roadChosen, false)) {
        beginSession(play->roadSeed(), play->roadDay(), play->roadRace());
    }
    if (worldServer.empty() && serverLook.due(nowMs)) {
        page_world_look();
    }
    if (auto race = std::exchange(raceChosen, std::nullopt)) {
        beginSession(race->run.seed, "", std::move(race));
    }
    pageWorld.pump(play->world(), nowMs);
    const Form& form = play->form();
    // After a crash the touch controls show New Game instead of the pedals.
    page_touch_state(form.GameOver);
    showChosenRun();
    showNameField();
    drawScene(play->scene(nowMs), play->title(), form.mousePointer == MousePointer::Transparent);
    syncMenus();
    return EM_TRUE;
}

void playSounds(const std::vector<std::string>& calls) {
    for (const std::string& call : calls) {
        page_sound(call.c_str());
    }
}

} // namespace
} // namespace kestrada::web

using namespace kestrada::web;

extern "C" {

// The cover's gesture has unlocked the sound: the game starts.
EMSCRIPTEN_KEEPALIVE void kestrada_begin(uint32_t seed) {
    beginSession(seed, "");
    addMenus();
    if (steppedClock) {
        onFrame(0, nullptr); // the clock starts
    } else {
        emscripten_request_animation_frame_loop(onFrame, nullptr);
    }
}

// Frames come from kestrada_frame() alone, at the times a test gives.
EMSCRIPTEN_KEEPALIVE void kestrada_stepped_clock() {
    steppedClock = true;
}

EMSCRIPTEN_KEEPALIVE void kestrada_frame(double nowMs) {
    if (steppedClock) {
        onFrame(nowMs, nullptr);
    }
}

// A kestrada-server served the page: its origin is the world's server.
EMSCRIPTEN_KEEPALIVE void kestrada_world_server(const char* url) {
    worldServer = url;
    if (play) {
        play->setWorldServer(worldServer);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_world_online() {
    serverLook.online();
    if (play) {
        play->world().networkBack();
    }
}

// A reply from fetch: status 0 for none; retryAfter below 0 for none.
EMSCRIPTEN_KEEPALIVE void kestrada_world_reply(int token, int status, double retryAfter,
                                               const char* body) {
    if (play && pageWorld.answered(play->world(), token, worldReplyOf(status, retryAfter, body),
                                   emscripten_get_now())) {
        page_persist(); // the entries' states live beside the hall of fame
    }
}

// The world's server (empty for none); a "-" line; where each local entry
// stands with it ("run<TAB>state"); a "-" line; the world's rows shown.
EMSCRIPTEN_KEEPALIVE const char* kestrada_world_state() {
    static std::string text;
    text.clear();
    if (!play) {
        return text.c_str();
    }
    text = play->world().server() + "\n-\n";
    for (const auto& record : kestrada::session::readWorldRecords(kDataDir)) {
        text += record.run + "\t" + kestrada::session::worldStateText(record) + "\n";
    }
    text += "-\n";
    for (const std::string& row : play->world().board().rows()) {
        text += row + "\n";
    }
    return text.c_str();
}
}

namespace kestrada::web {
namespace {
// A session from its first game: at the start, and on today's road.
void beginSession(uint32_t seed, const std::string& road,
                  std::optional<kestrada::session::Race> race) {
    play = std::make_unique<kestrada::session::Play>(
        host, kestrada::session::PlaySetup{
                  .folders = {kDataDir, kDataDir},
                  .seed = seed,
                  .highScoreStore = &playerHighScoreStore(),
                  .players = std::nullopt,
                  .soundCalls = playSounds,
                  .checks = kestrada::session::steppedRunChecks(),
                  .chosenRuns = kestrada::session::ChosenRuns::InPlace,
                  .replay = std::nullopt,
                  .race = std::move(race),
              });
    play->setSmoothing(smoothing);
    play->setRaceTodaysLeader(raceLeader);
    play->setWorldServer(worldServer);
    play->world().setRoad(road);
    play->start(onEvent);
}
} // namespace
} // namespace kestrada::web

extern "C" {

EMSCRIPTEN_KEEPALIVE void kestrada_menu(int index) {
    const auto commands = kestrada::session::menuCommands();
    if (play && index >= 0 && static_cast<std::size_t>(index) < commands.size()) {
        play->menu(commands[static_cast<std::size_t>(index)].command);
    }
}

// The keys under the fingers now, by their names ("ArrowLeft Space").
EMSCRIPTEN_KEEPALIVE void kestrada_touches(const char* names) {
    std::set<int16_t> held;
    std::istringstream words{std::string(names)};
    for (std::string name; words >> name;) {
        if (const int16_t code = keyCodeOf(name); code != 0) {
            held.insert(code);
        }
    }
    if (play) {
        play->touches(held);
    }
}

// The page was left in a way html5.h does not report (the screen turned).
EMSCRIPTEN_KEEPALIVE void kestrada_leave() {
    leave();
}

// Motion drawn between the ticks, or the plain steps.
EMSCRIPTEN_KEEPALIVE void kestrada_set_smoothing(bool on) {
    smoothing = on;
    if (play) {
        play->setSmoothing(on);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_set_race_leader(bool on) {
    raceLeader = on;
    if (play) {
        play->setRaceTodaysLeader(on);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_music_ended() {
    if (play) {
        play->musicEnded();
    }
}

// The trace's record of the last slot.
EMSCRIPTEN_KEEPALIVE const char* kestrada_state() {
    static std::string state;
    state = play ? play->lastRecord() : "{}";
    return state.c_str();
}

// The hall of fame's rows while it is shown, one a line.
EMSCRIPTEN_KEEPALIVE const char* kestrada_hall_of_fame() {
    static std::string text;
    text.clear();
    if (play && play->tableShown()) {
        for (const std::string& row : play->hallOfFame().rows()) {
            text += row + "\n";
        }
    }
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE bool kestrada_hall_of_fame_shown() {
    return play && play->tableShown();
}

// A click or a tap on the canvas, in the scene's pixels: true when the
// hall of fame took it.
EMSCRIPTEN_KEEPALIVE bool kestrada_click(double x, double y) {
    return play && play->click(x, y);
}

// The page's text input over the name field: its whole text at each
// change, and Enter (or the phone keyboard's Done).
EMSCRIPTEN_KEEPALIVE void kestrada_name_text(const char* text) {
    if (play) {
        setWholeName(*play, text);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_name_confirm() {
    if (play) {
        confirmName(*play);
    }
}

// The session so far: "Download this run".
EMSCRIPTEN_KEEPALIVE const char* kestrada_recording() {
    static std::string text;
    text = play ? play->recording() : "";
    return text.c_str();
}

// Races a run's text (?race=URL, a dropped file) in a new session from the
// next frame; why not when it is no run to race.
EMSCRIPTEN_KEEPALIVE const char* kestrada_race(const char* text, const char* name) {
    static std::string error;
    error.clear();
    if (auto run = kestrada::session::readGhostRun(text, error)) {
        raceChosen = kestrada::session::Race{std::move(*run), name};
    }
    return error.c_str();
}

// The raced ghost as the tests see it, {"score": N, "gap": N}, or null.
EMSCRIPTEN_KEEPALIVE const char* kestrada_ghost() {
    static std::string text;
    const kestrada::session::GhostRace* race = play ? play->race() : nullptr;
    text = race == nullptr ? "null"
                           : "{\"score\":" + race->ghostScore() +
                                 ",\"gap\":" + std::to_string(race->gap()) + "}";
    return text.c_str();
}

// Replays a chosen or dropped file; the parser's message when it is bad.
EMSCRIPTEN_KEEPALIVE const char* kestrada_replay(const char* text) {
    static std::string error;
    error.clear();
    if (play && play->replay(text, error)) {
        error.clear();
    }
    return error.c_str();
}

int main() {
    preloadPictures();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    // The page's own focus, not its elements': a dialog's button losing
    // the focus as the dialog closes is not the player leaving.
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onFocus);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, onVisibility);
    emscripten_set_beforeunload_callback(nullptr, onUnload);
    return 0;
}
}
