// SPDX-License-Identifier: GPL-3.0-or-later
// The sound players against a clock the test moves by hand, and the mixer
// they share: what the game reads of a player (mode, place, the end of a
// playback reported once), what the sound output is given to play, and
// files that cannot be played.
#include "app/sound_player.h"
#include "view/qt_sound_player.h"
#include "view/qtest_support.h"
#include "view/sound_mixer.h"
#include "view/wave_data.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>

using kestrada::kModePlaying;
using kestrada::kModeStopped;
using kestrada::view::kOutputRate;
using kestrada::view::PlaybackClock;
using kestrada::view::QtSoundPlayer;
using kestrada::view::Samples;
using kestrada::view::SoundMixer;
using namespace std::chrono_literals;

namespace {
// The next `frames` frames the output would play, rendered at `now`.
Samples rendered(SoundMixer& mixer, std::size_t frames, PlaybackClock::Time now = {}) {
    Samples out(frames);
    mixer.render(out.data(), frames, now);
    return out;
}

bool silent(const Samples& samples) {
    return std::all_of(samples.begin(), samples.end(), [](std::int16_t s) { return s == 0; });
}

Samples slice(const Samples& sound, std::int64_t ms, std::size_t frames) {
    const auto first = sound.begin() + ms * kOutputRate / 1000;
    return Samples(first, first + static_cast<std::ptrdiff_t>(frames));
}
} // namespace

class QtSoundPlayerTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString path(const char* name) { return dir_.filePath(QString::fromLatin1(name)); }

  private Q_SLOTS:
    void aPlayerKeepsItsPlaceByItsClockAndReportsEachEndOnce() {
        QVERIFY(kestrada::view::testing::writeWave(path("tone.wav"), 400));
        const auto sound = kestrada::view::readWave(path("tone.wav").toStdString());
        QVERIFY(sound != nullptr);
        QCOMPARE(sound->size(), std::size_t(kOutputRate * 400 / 1000));

        PlaybackClock::Time now{};
        SoundMixer mixer;
        QtSoundPlayer player(&mixer, [&now] { return now; });
        int ended = 0;
        int modeAtEnd = 0;
        player.setOnEnded([&] {
            ++ended;
            modeAtEnd = player.mode();
        });
        player.load(path("tone.wav").toStdString());
        player.stop(); // harmless before any playback
        QCOMPARE(player.mode(), kModeStopped);
        QVERIFY(silent(rendered(mixer, 441, now)));

        // Playing: heard from the start, the place moving with the clock.
        player.play();
        QCOMPARE(player.mode(), kModePlaying);
        QCOMPARE(rendered(mixer, 441, now), slice(*sound, 0, 441));
        now += 150ms;
        QCOMPARE(player.positionMs(), 150);

        // Stopped: silent, the place kept however long it stands.
        player.stop();
        QCOMPARE(player.mode(), kModeStopped);
        QVERIFY(silent(rendered(mixer, 441, now)));
        now += 5s;
        QCOMPARE(player.positionMs(), 150);

        // Played again: heard from where it stopped.
        player.play();
        QCOMPARE(rendered(mixer, 441, now), slice(*sound, 150, 441));
        now += 100ms;
        QCOMPARE(player.positionMs(), 250);

        // Set to 0 while playing: heard from the start at once.
        player.setPosition(0);
        QCOMPARE(player.positionMs(), 0);
        QCOMPARE(rendered(mixer, 441, now), slice(*sound, 0, 441));

        // Past its end: stopped, and the end reported once, on the event loop.
        now += 401ms;
        QCOMPARE(player.mode(), kModeStopped);
        QCOMPARE(ended, 0);
        QTRY_COMPARE(ended, 1);
        QCOMPARE(modeAtEnd, kModeStopped);
        now += 1s;
        QTest::qWait(100);
        QCOMPARE(ended, 1);

        // What the music loop does: from the start again, and a stop before
        // the end reports no end.
        player.setPosition(0);
        player.play();
        QCOMPARE(player.mode(), kModePlaying);
        now += 200ms;
        player.stop();
        now += 1s;
        QTest::qWait(500);
        QCOMPARE(ended, 1);
        QCOMPARE(player.mode(), kModeStopped);
    }

    void theEndComesOnTimeWithTheRealClock() {
        QVERIFY(kestrada::view::testing::writeWave(path("short.wav"), 300));
        QtSoundPlayer player;
        QElapsedTimer sinceStart;
        qint64 endedAfter = -1;
        player.setOnEnded([&] { endedAfter = sinceStart.elapsed(); });
        player.load(path("short.wav").toStdString());
        sinceStart.start();
        player.play();
        QTRY_VERIFY(endedAfter >= 0);
        QVERIFY2(endedAfter >= 300 && endedAfter < 340, QByteArray::number(endedAfter));
    }

    void voicesAddUpAndClipAtTheLoudest() {
        SoundMixer mixer;
        const int a = mixer.addVoice();
        const int b = mixer.addVoice();
        mixer.start(a, std::make_shared<Samples>(Samples{20000, -20000, 1000, 7}), 0, {});
        mixer.start(b, std::make_shared<Samples>(Samples{20000, -20000, 1000}), 0, {});
        QCOMPARE(rendered(mixer, 5), (Samples{32767, -32768, 2000, 7, 0}));
        // Both ran out: silence.
        QVERIFY(silent(rendered(mixer, 4)));
    }

    void aVoiceLeftBehindItsClockSkipsAhead() {
        Samples ramp(kOutputRate);
        for (std::size_t i = 0; i < ramp.size(); ++i) {
            ramp[i] = static_cast<std::int16_t>(i % 30000);
        }
        const auto sound = std::make_shared<const Samples>(ramp);
        SoundMixer mixer;
        const int voice = mixer.addVoice();
        PlaybackClock::Time now{};
        mixer.start(voice, sound, 0, now);
        QCOMPARE(rendered(mixer, 441, now), slice(ramp, 0, 441));
        // A little behind, as a busy moment leaves it: it plays on.
        now += 25ms;
        QCOMPARE(rendered(mixer, 441, now), slice(ramp, 10, 441));
        // Starved for a while: it rejoins its clock.
        now += 300ms;
        QCOMPARE(rendered(mixer, 441, now), slice(ramp, 325, 441));
    }

    void unplayableFilesStaySilent() {
        const auto write = [this](const char* name, const QByteArray& bytes) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write("empty.wav", QByteArray());
        write("corrupt.wav", QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
        QVERIFY(kestrada::view::testing::writeWave(path("whole.wav"), 500));
        QFile whole(path("whole.wav"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        write("truncated.wav", whole.readAll().chopped(4000));

        for (const char* name : {"missing.wav", "empty.wav", "corrupt.wav", "truncated.wav"}) {
            PlaybackClock::Time now{};
            SoundMixer mixer;
            QtSoundPlayer player(&mixer, [&now] { return now; });
            int ended = 0;
            player.setOnEnded([&ended] { ++ended; });
            player.load(path(name).toStdString());
            player.play();
            QVERIFY2(player.mode() == kModeStopped, name);
            QVERIFY2(silent(rendered(mixer, 4410, now)), name);
            now += 2s;
            player.setPosition(0);
            player.play();
            QTest::qWait(50);
            QCOMPARE(ended, 0);
        }
    }
};

QTEST_MAIN(QtSoundPlayerTest)
#include "qt_sound_player_qtest.moc"
