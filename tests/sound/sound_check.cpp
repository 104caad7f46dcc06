// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of the sound server against the game's play calls and
// ticks, each sound found by correlation with its wave file; prints one line
// per check, exits 1 if any fails. Also prints the steady clock (now) and a
// wave's whole seconds.
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

// The sound log's play calls of one sound ("NS start NAME" lines), in order.
std::vector<std::int64_t> starts(const std::string& path, const std::string& name) {
    std::vector<std::int64_t> found;
    std::ifstream file(path);
    std::string word, which;
    for (std::int64_t ns = 0; file >> ns >> word >> which;) {
        if (which == name) {
            found.push_back(ns);
        }
    }
    return found;
}

int check(const std::string& waves, const std::string& recording, const std::string& startPath,
          const std::string& tickPath, const std::string& eventPath) {
    const auto jingle = floats(waves + "/Start.wav");
    const auto crash = floats(waves + "/Crash.wav");
    const auto music = floats(waves + "/Kestrada.wav");
    Checker check(recording);
    const std::vector<Tick> ticks = firstGame(tickPath);
    const std::vector<std::int64_t> jingleCalls = starts(startPath, "Start");
    const std::vector<std::int64_t> musicCalls = starts(startPath, "Music");
    if (jingle.empty() || crash.empty() || music.empty() || check.empty() || ticks.size() < 100 ||
        jingleCalls.empty() || musicCalls.empty()) {
        std::fprintf(stderr, "sound_check: missing input\n");
        return 1;
    }

    // The jingle, from the load's play call, whole.
    const long jingleCalled = check.frameAt(jingleCalls.front());
    const Match heard = check.find(jingle, 0, jingleCalled, 300, 700,
                                   Checker::ms(static_cast<long>(jingle.size())));
    check.report("start jingle at its play call", heard, jingleCalled);
    check.whole("start jingle whole", jingle, heard.at);

    // The music, as long after the jingle's real start as their calls were.
    const long musicAt = heard.at + Checker::framesIn(musicCalls.front() - jingleCalls.front());
    const Match musicHeard = check.find(music, 0, musicAt);
    check.report("music after the jingle", musicHeard, musicAt, kMusicAfterJingleMs);

    Match playing = musicHeard;
    long from = 0;
    std::string pause, unpause;
    std::int64_t pausedNs = 0, unpausedNs = 0;
    if (!eventPath.empty()) {
        // Paused: nothing; unpaused: the music from where it stood. Each
        // took effect a little after its key was sent; the pause also after
        // the last tick before the gap in the ticks.
        std::ifstream(eventPath) >> pause >> pausedNs >> unpause >> unpausedNs;
        if (pause != "pause" || unpause != "unpause" || musicCalls.size() < 2) {
            std::fprintf(stderr, "sound_check: no pause in the logs\n");
            return 1;
        }
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            if (ticks[i].ns - ticks[i - 1].ns > 1'000'000'000 && ticks[i].ns > unpausedNs) {
                pausedNs = std::max(pausedNs, ticks[i - 1].ns);
                break;
            }
        }
        const long unpausedAt = check.frameAt(unpausedNs);
        check.silent(check.frameAt(pausedNs) + Checker::frames(kOnsetToleranceMs), unpausedAt);
        from = Checker::framesIn(pausedNs - musicCalls.front());
        const long resumedAt = check.frameAt(musicCalls[1]);
        playing = check.find(music, from, resumedAt);
        check.report("music resumes where it stood", playing, resumedAt, kOnsetToleranceMs,
                     kStallsMs);
    }

    // The loop: the music's last frames, then at once its first.
    const long length = static_cast<long>(music.size());
    const long endAt = playing.at + (length - from);
    const long tail = length - Checker::frames(600);
    const Match ending = check.find(music, tail, endAt - (length - tail));
    const long endedAt = ending.at + (length - tail);
    check.report("music plays to its end", {endedAt, ending.score}, endAt, kOnsetToleranceMs,
                 kStallsMs);
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
    if (args.size() == 4 || args.size() == 5) {
        return check(args[0], args[1], args[2], args[3], args.size() == 5 ? args[4] : "");
    }
    std::fprintf(stderr, "usage: %s now | seconds WAVE | WAVES REC STARTS TICKS [EVENTS]\n",
                 argv[0]);
    return 2;
}
