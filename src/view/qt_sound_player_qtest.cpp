// The sound player over Qt Multimedia, with short wave files written on the
// spot: the modes the game reads, a stop that keeps the place, the end of a
// playback, and files that cannot be played.
#include "app/sound_player.h"
#include "view/qt_sound_player.h"
#include "view/qtest_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using kestrada::kModePlaying;
using kestrada::kModeStopped;
using kestrada::view::QtSoundPlayer;

using kestrada::view::testing::writeWave;

namespace {
void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class QtSoundPlayerTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString path(const char* name) { return dir_.filePath(QString::fromLatin1(name)); }

  private Q_SLOTS:
    void playReportsPlayingAndStopKeepsThePlace() {
        QVERIFY(writeWave(path("long.wav"), 3000));
        QtSoundPlayer player;
        int ended = 0;
        player.setOnEnded([&ended] { ++ended; });
        player.load(path("long.wav").toStdString());
        QCOMPARE(player.mode(), kModeStopped);
        player.stop(); // harmless before any playback
        QCOMPARE(player.mode(), kModeStopped);

        player.play();
        QTRY_COMPARE(player.mode(), kModePlaying);
        QTRY_VERIFY(player.positionMs() >= 300);
        player.stop();
        QTRY_COMPARE(player.mode(), kModeStopped);
        const qint64 stoppedAt = player.positionMs();
        QVERIFY(stoppedAt >= 300);
        QTest::qWait(300);
        QCOMPARE(player.mode(), kModeStopped);
        QVERIFY(player.positionMs() >= stoppedAt - 50);

        // The next play carries on from there; set position 0 starts over.
        player.play();
        QTRY_COMPARE(player.mode(), kModePlaying);
        QVERIFY(player.positionMs() >= stoppedAt - 50);
        player.stop();
        player.setPosition(0);
        QTRY_VERIFY(player.positionMs() < stoppedAt);
        QCOMPARE(ended, 0);
    }

    void theNaturalEndIsReportedOnceAndPlaysAgainFromTheStart() {
        QVERIFY(writeWave(path("short.wav"), 300));
        QtSoundPlayer player;
        int ended = 0;
        int modeAtEnd = 0;
        player.setOnEnded([&] {
            ++ended;
            modeAtEnd = player.mode();
        });
        player.load(path("short.wav").toStdString());
        player.play();
        QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 3000);
        QCOMPARE(modeAtEnd, kModeStopped);
        QCOMPARE(player.mode(), kModeStopped);

        // What the music loop does on the end of a playback.
        player.setPosition(0);
        player.play();
        QTRY_COMPARE(player.mode(), kModePlaying);
        QTRY_COMPARE_WITH_TIMEOUT(ended, 2, 3000);
    }

    void unplayableFilesStaySilent() {
        writeBytes(path("empty.wav"), QByteArray());
        writeBytes(path("corrupt.wav"), QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
        for (const char* name : {"missing.wav", "empty.wav", "corrupt.wav"}) {
            QtSoundPlayer player;
            int ended = 0;
            player.setOnEnded([&ended] { ++ended; });
            player.load(path(name).toStdString());
            player.play();
            QTest::qWait(300);
            QVERIFY2(player.mode() == kModeStopped, name);
            player.stop();
            player.setPosition(0);
            QCOMPARE(player.mode(), kModeStopped);
            QCOMPARE(ended, 0);
        }
    }
};

QTEST_MAIN(QtSoundPlayerTest)
#include "qt_sound_player_qtest.moc"
