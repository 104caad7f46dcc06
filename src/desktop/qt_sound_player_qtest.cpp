// SPDX-License-Identifier: GPL-3.0-or-later
// The sound players against a hand-moved clock, and the mixer they share:
// what the game reads of a player, what the output plays, unplayable files.
#include "desktop/qt_sound_player.h"
#include "desktop/qtest_support.h"
#include "sound/sound_mixer.h"
#include "sound/sound_player.h"
#include "sound/wave_data.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

using namespace kestrada;
using namespace kestrada::desktop;
using namespace std::chrono_literals;

namespace {
sound::Samples rendered(sound::SoundMixer& mixer, sound::PlaybackClock::Time now = {},
                        std::size_t frames = 441) {
    sound::Samples out(frames);
    mixer.render(out.data(), frames, now);
    return out;
}

sound::Samples slice(const sound::Samples& sound, std::int64_t ms) {
    const auto first = sound.begin() + ms * sound::kOutputRate / 1000;
    return sound::Samples(first, first + 441);
}
} // namespace

class QtSoundPlayerTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const char* name) { return dir_.filePath(QLatin1String(name)); }

  private Q_SLOTS:
    void aPlayerKeepsItsPlaceByItsClockAndReportsEachEndOnce() {
        QVERIFY(testing::writeWave(path("tone.wav"), 400));
        const auto sound = sound::readWave(path("tone.wav").toStdString());
        sound::PlaybackClock::Time now{};
        sound::SoundMixer mixer;
        QtSoundPlayer player(&mixer, [&now] { return now; });
        std::vector<int> modesAtEnd;
        QElapsedTimer sinceSet;
        qint64 endedAfterMs = -1;
        player.setOnEnded([&] {
            modesAtEnd.push_back(player.mode());
            endedAfterMs = sinceSet.elapsed();
        });
        player.load(path("tone.wav").toStdString());
        // Played, stopped a long while (silent), played again from there.
        player.play();
        QCOMPARE(player.mode(), kModePlaying);
        QCOMPARE(rendered(mixer, now), slice(*sound, 0));
        now += 150ms;
        player.stop();
        QCOMPARE(player.mode(), kModeStopped);
        QCOMPARE(rendered(mixer, now), sound::Samples(441));
        now += 5s;
        QCOMPARE(player.positionMs(), 150);
        player.play();
        QCOMPARE(rendered(mixer, now), slice(*sound, 150));
        now += 100ms;
        player.setPosition(0); // heard from the start at once
        sinceSet.start();
        QCOMPARE(rendered(mixer, now), slice(*sound, 0));
        // Past its end: stopped; the end reported once, later, on time.
        now += 401ms;
        QCOMPARE(player.mode(), kModeStopped);
        QVERIFY(modesAtEnd.empty());
        QTRY_COMPARE(modesAtEnd, std::vector<int>{kModeStopped});
        // Never early; how late depends on how busy the machine is, so no
        // upper bound here (the bench measures it).
        QVERIFY2(endedAfterMs >= 400, QByteArray::number(endedAfterMs));
        // The music loop: from the start again; a stop before the end reports none.
        player.setPosition(0);
        player.play();
        QCOMPARE(player.mode(), kModePlaying);
        player.stop();
        now += 1s;
        QTest::qWait(300);
        QCOMPARE(modesAtEnd.size(), std::size_t(1));
    }

    void voicesAddUpClipAndKeepToTheirClock() {
        sound::SoundMixer mixer;
        mixer.start(mixer.addVoice(),
                    std::make_shared<sound::Samples>(sound::Samples{20000, -20000, 1000, 7}), 0,
                    {});
        mixer.start(mixer.addVoice(),
                    std::make_shared<sound::Samples>(sound::Samples{20000, -20000, 1}), 0, {});
        QCOMPARE(rendered(mixer, {}, 5), (sound::Samples{32767, -32768, 1001, 7, 0}));
        // A little behind its clock a voice plays on; starved, it rejoins it.
        sound::Samples ramp(sound::kOutputRate);
        std::iota(ramp.begin(), ramp.end(), std::int16_t{0});
        sound::PlaybackClock::Time now{};
        mixer.start(0, std::make_shared<const sound::Samples>(ramp), 0, now);
        for (const auto& [wait, heardFromMs] : {std::pair{0ms, 0}, {25ms, 10}, {300ms, 325}}) {
            now += wait;
            QCOMPARE(rendered(mixer, now), slice(ramp, heardFromMs));
        }
    }

    void unplayableFilesStaySilent() {
        for (const auto& [name, size] :
             {std::pair{"truncated.wav", 4000}, {"header.wav", 20}, {"empty.wav", 0}}) {
            QVERIFY(testing::writeWave(path(name), 500) && QFile::resize(path(name), size));
        }
        sound::SoundMixer mixer;
        QtSoundPlayer player(&mixer, [] { return sound::PlaybackClock::Time{}; });
        bool ended = false;
        player.setOnEnded([&ended] { ended = true; });
        for (const char* name : {"missing.wav", "empty.wav", "header.wav", "truncated.wav"}) {
            player.load(path(name).toStdString());
            player.play();
            QVERIFY2(player.mode() == kModeStopped &&
                         rendered(mixer, {}, 4410) == sound::Samples(4410),
                     name);
        }
        QTest::qWait(50);
        QVERIFY(!ended); // nothing played, so nothing ended
    }
};

QTEST_MAIN(QtSoundPlayerTest)
#include "qt_sound_player_qtest.moc"
