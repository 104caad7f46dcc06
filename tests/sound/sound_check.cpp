// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of the sound server against the game's tick log: each
// sound is found in the recording by correlation with its own wave file,
// and its onset compared with the moment the game asked for it. Also
// prints the steady clock (now) and a wave's whole seconds. Prints one
// line per check and exits 1 if any fails.
#include "recording_match.h"

#include <chrono>

using namespace kestrada::sound_test;

namespace {

struct Tick {
    std::int64_t ns;
    int count;
};

// The tick log's first game ("NS COUNT SPEED" lines); the next begins again at tick 1.
std::vector<Tick> firstGame(const std::string& path) {
    std::vector<Tick> ticks;
    std::ifstream file(path);
    for (Tick t; file >> t.ns >> t.count;) {
        int speed = 0;
        file >> speed;
        if (!ticks.empty() && t.count <= ticks.back().count) {
            break;
        }
        ticks.push_back(t);
    }
    return ticks;
}

int check(const std::string& waves, const std::string& recording, const std::string& eventPath,
          const std::string& tickPath) {
    const auto jingle = floats(waves + "/Start.wav");
    const auto crash = floats(waves + "/Crash.wav");
    const auto music = floats(waves + "/Kestrada.wav");
    Checker check(recording);
    // The moments the pause and unpause keys were sent.
    std::string pause, unpause;
    std::int64_t pausedNs = 0, unpausedNs = 0;
    std::ifstream(eventPath) >> pause >> pausedNs >> unpause >> unpausedNs;
    const std::vector<Tick> ticks = firstGame(tickPath);
    if (jingle.empty() || crash.empty() || music.empty() || check.empty() || ticks.size() < 100 ||
        pause != "pause" || unpause != "unpause") {
        std::fprintf(stderr, "sound_check: missing input\n");
        return 1;
    }

    // The load plays the jingle and starts the frame timer, just before the
    // first frame. The timer keeps to a 40 ms grid from its start unless a
    // tick comes later than the next one was due, so the start is the
    // earliest of the early ticks' times less their multiples of 40 ms.
    // The music starts in the tick that begins with TickCount 75.
    std::int64_t loadNs = ticks.front().ns;
    std::int64_t musicNs = 0;
    for (const Tick& t : ticks) {
        if (t.count >= 1 && t.count <= 75) {
            loadNs = std::min(loadNs, t.ns - std::int64_t{t.count} * 40'000'000);
        }
        musicNs = t.count == 76 ? t.ns : musicNs;
    }
    const long started = check.frameAt(loadNs);
    check.report("start jingle at the start", check.find(jingle, 0, started), started);
    const long musicAt = check.frameAt(musicNs);
    check.report("music at tick 75", check.find(music, 0, musicAt), musicAt);

    // Paused: nothing; unpaused: the music from where it stood. Each took
    // effect a little after its key was sent; the pause also after the last
    // tick before the gap in the ticks.
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i].ns - ticks[i - 1].ns > 1'000'000'000 && ticks[i].ns > unpausedNs) {
            pausedNs = std::max(pausedNs, ticks[i - 1].ns);
            break;
        }
    }
    const long unpausedAt = check.frameAt(unpausedNs);
    check.silent(check.frameAt(pausedNs) + Checker::frames(kOnsetToleranceMs), unpausedAt);
    const long stoodAt = Checker::framesIn(pausedNs - musicNs);
    const Match resumed = check.find(music, stoodAt, unpausedAt);
    check.report("music resumes where it stood", resumed, unpausedAt);

    // The loop: the music's last frames, then at once its first.
    const long length = static_cast<long>(music.size());
    const long endAt = resumed.at + (length - stoodAt);
    const long tail = length - Checker::frames(600);
    const Match ending = check.find(music, tail, endAt - (length - tail));
    const long endedAt = ending.at + (length - tail);
    check.report("music plays to its end", {endedAt, ending.score}, endAt);
    check.report("music loops, gap", check.find(music, 0, endedAt), endedAt, kLoopGapMs);

    // The crash sound, played by the tick that crashed, the first game's last.
    const long crashAt = check.frameAt(ticks.back().ns);
    check.report("crash sound at crash tick", check.find(crash, 0, crashAt), crashAt);
    return check.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "now") {
        const std::chrono::nanoseconds now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("%lld\n", static_cast<long long>(now.count()));
        return 0;
    }
    if (args.size() == 2 && args[0] == "seconds") {
        std::printf("%zu\n", floats(args[1]).size() / kOutputRate);
        return 0;
    }
    if (args.size() == 4) {
        return check(args[0], args[1], args[2], args[3]);
    }
    std::fprintf(stderr, "usage: %s now | seconds WAVE | WAVES REC EVENTS TICKS\n", argv[0]);
    return 2;
}
