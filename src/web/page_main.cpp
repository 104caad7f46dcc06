// SPDX-License-Identifier: GPL-3.0-or-later
// The page's program: the frames on requestAnimationFrame, with the slots
// counted out of them and the motion between ticks drawn, keys, focus and
// controllers through html5.h, the touch controls, and the menus.
// The page's script calls the exported functions below.
#include "app/key_codes.h"
#include "scene/hall_of_fame.h"
#include "scene/live_scene.h"
#include "scene/slot_clock.h"
#include "session/input_policy.h"
#include "session/menu_commands.h"
#include "web/page_drawing.h"
#include "web/page_game.h"
#include "web/page_library.h"
#include "web/page_world.h"

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

using session::InputAction;
using session::InputEvent;
using session::MenuCommand;

std::unique_ptr<PageGame> game;
std::unique_ptr<scene::LiveScene> live;
PageWorld pageWorld;
scene::SlotClock slotClock;
bool smoothing = true;

bool gameRuns() {
    const Form& form = game->form();
    return !form.GameOver && !form.lblPaused().Visible;
}

InputEvent menuEvent(MenuCommand command) {
    InputEvent event;
    event.action = InputAction::Menu;
    event.command = command;
    return event;
}

// Keys, controllers and fingers become the game's keys here, as in the
// window; a replay takes only Esc of them, which holds it.
session::InputPolicy policy([](const InputEvent& event) {
    if (game) {
        game->input(event);
    }
});

// Leaving the page (another tab or window, the screen turned) pauses a
// running game once, through the pause command. What the keyboard and the
// fingers held is let go: their releases would never come.
void pauseOnLeaving() {
    policy.releaseKeyboard();
    policy.touches({});
    if (game && !game->replaying() && gameRuns()) {
        game->input(menuEvent(MenuCommand::mnuPause));
    }
}

// ---- keys -------------------------------------------------------------------

// The key codes the game knows, from the key's place on the keyboard, so the
// top-row 1 and 2 count with or without Shift on any layout. The touch
// controls name their keys the same way.
int16_t keyCodeOf(const std::string& code) {
    if (code == "ArrowLeft")
        return kKeyLeft;
    if (code == "ArrowUp")
        return kKeyUp;
    if (code == "ArrowRight")
        return kKeyRight;
    if (code == "ArrowDown")
        return kKeyDown;
    if (code == "Space")
        return kKeySpace;
    if (code == "Enter" || code == "NumpadEnter")
        return kKeyEnter;
    if (code == "Escape")
        return kKeyEsc;
    if (code.size() == 6 && code.starts_with("Digit")) {
        return static_cast<int16_t>('0' + (code[5] - '0'));
    }
    if (code.size() == 4 && code.starts_with("Key")) {
        return static_cast<int16_t>(code[3]);
    }
    return 0;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Ctrl+F is the page's own: the hall of fame, not the browser's search.
    if (game && down && e->ctrlKey && std::string_view(e->code) == "KeyF" && !game->replaying()) {
        game->toggleHallOfFame();
        return EM_TRUE;
    }
    // Ctrl+D beside it: today's road, from the world's server.
    if (game && down && e->ctrlKey && std::string_view(e->code) == "KeyD" && !game->replaying()) {
        game->askForTodaysRoad();
        return EM_TRUE;
    }
    // Ctrl combinations are the menus' shortcuts, which the page handles.
    if (!game || e->ctrlKey || e->altKey || e->metaKey || page_dialog_open()) {
        return EM_FALSE;
    }
    if (!game->replaying() && game->hallOfFameKey(e->key, down, e->repeat != 0)) {
        return EM_TRUE;
    }
    const int16_t code = keyCodeOf(e->code);
    if (code == 0) {
        return EM_FALSE;
    }
    policy.key(code, down);
    return EM_TRUE;
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    pauseOnLeaving();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden) {
        pauseOnLeaving();
    }
    return EM_FALSE;
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
            policy.padReading(i, reading, game->form().GameOver);
            connected.insert(i);
        }
    }
    for (const int pad : policy.pads()) {
        if (!connected.contains(pad)) {
            policy.padGone(pad);
        }
    }
}

// ---- touch ----------------------------------------------------------------------

// A crash shakes the phone, where the browser can, as the window shakes a
// controller; the touch controls show New Game instead of the play keys.
bool crashShown = false;
void showCrash() {
    const bool over = game->form().GameOver;
    if (over == crashShown) {
        return;
    }
    crashShown = over;
    if (over) {
        emscripten_vibrate(200);
    }
    page_touch_state(over);
}

// ---- menus and frames ---------------------------------------------------------

void addMenus() {
    const Form& form = game->form();
    const auto bar = session::menuBar();
    for (std::size_t m = 0; m < bar.size(); ++m) {
        page_menu_add(static_cast<int>(m), -1, (form.*bar[m]).Caption.c_str(), "", false, false);
        for (const std::size_t i : session::commandsIn(bar[m])) {
            const session::MenuCommandEntry& entry = session::menuCommands()[i];
            const MenuItem& item = form.*entry.item;
            page_menu_add(static_cast<int>(m), static_cast<int>(i), item.Caption.c_str(),
                          item.Shortcut.c_str(), entry.checkable, entry.separatorAbove != nullptr);
        }
    }
}

void syncMenus() {
    const Form& form = game->form();
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
    const auto& panel = game->hallOfFame();
    const auto run = panel.shown() ? panel.highlightedRun() : std::nullopt;
    const std::string path = run ? run->string() : std::string();
    if (path != shown) {
        shown = path;
        page_chosen_run(path.c_str());
    }
}

EM_BOOL onFrame(double nowMs, void*) {
    if (!game || game->ended()) {
        page_ended();
        return EM_FALSE;
    }
    // An open dialog holds the game.
    const bool counting = !page_dialog_open();
    if (counting) {
        pollPads();
    }
    const int due = slotClock.frame(nowMs, counting);
    for (int i = 0; i < due && !game->ended(); ++i) {
        const int32_t ticks = game->form().TickCount;
        game->runSlot();
        if (game->form().TickCount != ticks) {
            live->ticked(game->form(), slotClock.slotTime(i));
        }
    }
    showCrash();
    const Form& form = game->form();
    scene::Scene shown = live->frame(form, nowMs, game->replayHeld());
    if (const auto& panel = game->hallOfFame(); panel.shown()) {
        scene::addHallOfFame(shown, form, game->world().view(panel));
    }
    showChosenRun();
    pageWorld.pump(game->world(), nowMs);
    drawScene(shown, game->title(), form.mousePointer == MousePointer::Transparent);
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
    game = std::make_unique<PageGame>(seed, playSounds);
    live = std::make_unique<kestrada::scene::LiveScene>(game->form());
    live->setSmoothing(smoothing);
    addMenus();
    game->start();
    emscripten_request_animation_frame_loop(onFrame, nullptr);
    page_world_look();
}

// A kestrada-server served the page: its origin is the world's server.
EMSCRIPTEN_KEEPALIVE void kestrada_world_server(const char* url) {
    if (game) {
        game->setWorldServer(url);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_world_online() {
    if (game) {
        game->world().networkBack();
    }
}

// A reply from fetch: status 0 for none; retryAfter below 0 for none.
EMSCRIPTEN_KEEPALIVE void kestrada_world_reply(int token, int status, double retryAfter,
                                               const char* fields, const char* text) {
    if (game &&
        pageWorld.answered(game->world(), token, worldReplyOf(status, retryAfter, fields, text),
                           emscripten_get_now())) {
        page_persist(); // the entries' states live beside the hall of fame
    }
}

// The world's server (empty for none); a "-" line; where each local entry
// stands with it ("run<TAB>state"); a "-" line; the world's rows shown.
EMSCRIPTEN_KEEPALIVE const char* kestrada_world_state() {
    static std::string text;
    text.clear();
    if (!game) {
        return text.c_str();
    }
    text = game->world().server() + "\n-\n";
    for (const auto& record : kestrada::session::readWorldRecords(kDataDir)) {
        text += record.run + "\t" + kestrada::session::worldStateText(record) + "\n";
    }
    text += "-\n";
    for (const std::string& row : game->world().board().rows()) {
        text += row + "\n";
    }
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE void kestrada_menu(int index) {
    const auto commands = kestrada::session::menuCommands();
    if (!game || index < 0 || static_cast<std::size_t>(index) >= commands.size()) {
        return;
    }
    const MenuCommand command = commands[static_cast<std::size_t>(index)].command;
    // Exit during a replay ends the replay, not the page's game.
    if (game->replaying()) {
        if (command == MenuCommand::mnuExit) {
            game->endReplay(page_milliseconds_since_midnight());
        }
        return;
    }
    game->input(menuEvent(command));
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
    policy.touches(held);
}

// The page was left in a way html5.h does not report (the screen turned).
EMSCRIPTEN_KEEPALIVE void kestrada_leave() {
    pauseOnLeaving();
}

// Motion drawn between the ticks, or the plain steps.
EMSCRIPTEN_KEEPALIVE void kestrada_set_smoothing(bool on) {
    smoothing = on;
    if (live) {
        live->setSmoothing(on);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrada_music_ended() {
    if (game) {
        game->musicEnded();
    }
}

EMSCRIPTEN_KEEPALIVE const char* kestrada_state() {
    static std::string state;
    state = game ? game->state() : "{}";
    return state.c_str();
}

// The hall of fame's rows while it is shown, one a line.
EMSCRIPTEN_KEEPALIVE const char* kestrada_hall_of_fame() {
    static std::string text;
    text.clear();
    for (const std::string& row : game ? game->hallOfFame().rows() : std::vector<std::string>{}) {
        text += row + "\n";
    }
    return text.c_str();
}

// A click or a tap on the canvas, in the scene's pixels: true when the
// hall of fame took it.
EMSCRIPTEN_KEEPALIVE bool kestrada_click(double x, double y) {
    return game && !game->replaying() && game->hallOfFameClick(x, y);
}

EMSCRIPTEN_KEEPALIVE const char* kestrada_recording() {
    static std::string text;
    text = game ? game->recording() : "";
    return text.c_str();
}

// Replays a chosen or dropped file; the parser's message when it is bad.
EMSCRIPTEN_KEEPALIVE const char* kestrada_replay(const char* text) {
    static std::string error;
    error.clear();
    if (game && game->replay(text, error)) {
        error.clear();
    }
    return error.c_str();
}

int main() {
    preloadPictures();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, onVisibility);
    return 0;
}
}
