// SPDX-License-Identifier: GPL-3.0-or-later
// A recording replayed in the window and cut short by SIGKILL still
// replays up to the moment it was cut.
#include "testing/test_game.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList lines(const QString& path) {
    QFile file(path);
    (void)file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The trace of a headless run of the file alone, kept in folder, then the
// scores from its summary line.
QStringList replayHeadless(const QString& input, const QString& folder) {
    QProcess program;
    const QString trace = folder + QStringLiteral("/trace.jsonl");
    program.start(QStringLiteral(KESTRADA_PROGRAM),
                  {QStringLiteral("--headless"), QStringLiteral("--input"), input,
                   QStringLiteral("--trace"), trace});
    (void)program.waitForFinished(60000); // a failed run has no scores to show
    // Only the headless players note their sound calls.
    static const QRegularExpression sounds(QStringLiteral(R"("sound":\[[^\]]*\])"));
    static const QRegularExpression scores(QStringLiteral(" score=\\S+ high=\\S+ "));
    return lines(trace).replaceInStrings(sounds, QStringLiteral(R"("sound":[])"))
           << scores.match(QString::fromUtf8(program.readAllStandardOutput())).captured();
}

} // namespace

class ReplayTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // A replay recorded with --record and killed mid-game keeps every
    // event up to the kill, which replays headless as far as it goes.
    void aKilledRecordingKeepsEverythingUpToTheKill() {
        QTemporaryDir scratch;
        const auto dir = [&](const char* name) {
            QDir(scratch.path()).mkdir(QLatin1String(name));
            return scratch.filePath(QLatin1String(name));
        };
        const QString recording = scratch.filePath(QStringLiteral("game.txt"));
        kestrada::testing::writeFile(
            recording.toStdString(),
            "# kestrada 1.0 seed 20 high \"3043\"\n3 down Up\n10 down Left\n14 up Left\n20 down "
            "Space\n30 down 2\n40 down Space\n50 menu mnuPause\n60 menu mnuPause\n80 down "
            "Right\n90 up Right\n400 menu mnuExit\n");
        const QStringList file = lines(recording);
        const QStringList headless = replayHeadless(recording, dir("headless"));
        const QString cut = scratch.filePath(QStringLiteral("cut.txt"));
        QProcess program;
        program.start(QStringLiteral(KESTRADA_PROGRAM),
                      {QStringLiteral("--replay"), recording, QStringLiteral("--record"), cut,
                       QStringLiteral("--data-dir"), dir("cut")});
        QTRY_VERIFY_WITH_TIMEOUT(lines(cut).size() >= 8, 20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
        const QStringList kept = lines(cut);
        QCOMPARE(kept, file.mid(0, kept.size()));
        QStringList replayCut = replayHeadless(cut, dir("cut-headless"));
        replayCut.removeLast(); // the scores
        QCOMPARE(replayCut, headless.mid(0, replayCut.size()));
        QCOMPARE(replayCut.size(), int(kept.last().section(QLatin1Char(' '), 0, 0).toUInt()));
    }
};

QTEST_MAIN(ReplayTest)
#include "replay_qtest.moc"
