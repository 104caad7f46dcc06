// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a wave file 20 times through the game's own sound output, 600 ms
// apart, each from its start, and prints "play <steady clock ns>" for each
// call; bench/run.sh records the sound server and times each call to its
// sound.
//   kestrada_sound_latency_probe WAVE
#include "desktop/qt_sound_device.h"
#include "sound/clocked_sound_player.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WAVE\n", argv[0]);
        return 2;
    }
    // Opens the output and waits for its stream, as the game's window does.
    kestrada::desktop::SoundOutput output;
    kestrada::sound::ClockedSoundPlayer player(output.mixer());
    player.load(argv[1]);
    int plays = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (plays++ == 20) {
            app.quit();
            return;
        }
        player.stop();
        player.setPosition(0);
        player.play();
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("play %lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fflush(stdout);
    });
    timer.start(600);
    return app.exec();
}
