// SPDX-License-Identifier: GPL-3.0-or-later
// A game recorded in the real window replays slot for slot: headless from
// the file, and in the window again. A recording cut short by SIGKILL still
// replays up to the moment it was cut.
#include "desktop/game_menus.h"
#include "desktop/main_window.h"
#include "desktop/play_field.h"
#include "desktop/qtest_support.h"
#include "desktop/session_recording.h"
#include "session/trace_writer.h"
#include "sound/sound_player.h"
#include "testing/test_game.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using kestrada::Form;
using kestrada::desktop::MainWindow;

namespace {

QStringList lines(const QString& path) {
    QFile file(path);
    (void)file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Plays one session in the window until Exit; script acts after each slot.
// Returns a record per slot, as the headless trace has them, the scores,
// and the window's title at the end.
QStringList playInWindow(const kestrada::desktop::CommandLine& options, const QString& scoreDir,
                         const std::function<void(MainWindow&, uint32_t)>& script) {
    const kestrada::desktop::testing::ScratchDataDir data;
    // Music long enough that it never ends in the game, so it can be heard.
    kestrada::desktop::testing::writeWave(data.filePath(QStringLiteral("Kestrada.wav")), 60000);
    kestrada::desktop::SessionRecording session;
    std::string error; // a session that would not start fails every comparison
    (void)session.prepare(options, {data.fsPath(), scoreDir.toStdString()}, error);
    MainWindow window(session.folders(), session.seed(), session.takeReplay());
    window.playField().setSmoothing(options.smoothing.value_or(true));
    session.attach(window);
    QStringList run;
    QString title;
    QObject::connect(&window, &MainWindow::slotEnded, [&](uint32_t slot, bool ticked) {
        std::string record;
        kestrada::session::appendRecord(record, window.form(), slot, ticked, {});
        run << QString::fromStdString(record).trimmed();
        script(window, slot);
    });
    QObject::connect(&window, &MainWindow::programEnded, [&] { title = window.windowTitle(); });
    window.show();
    window.activateWindow();
    const auto ended = [&] { return window.windowTitle().endsWith(u" ended"); };
    (void)QTest::qWaitFor([&] { return !title.isEmpty() || ended(); }, 120000);
    const Form& form = window.form();
    return run << QStringLiteral(" score=%1 high=%2 ")
                      .arg(QString::fromStdString(form.lblScore().Caption),
                           QString::fromStdString(form.lblHighScore().Caption))
               << (ended() ? window.windowTitle() : title);
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
    void recordedGameReplaysHeadlessAndInTheWindow() {
        QTemporaryDir scratch;
        const auto dir = [&](const char* name) {
            QDir(scratch.path()).mkdir(QLatin1String(name));
            return scratch.filePath(QLatin1String(name));
        };
        const QString recording = scratch.filePath(QStringLiteral("game.txt"));

        // Drives onto the road, fires a missile, switches to mines and lays
        // one, pauses and resumes, steers into the verge until the car
        // crashes, starts a new game with the panel's button, drives a little
        // and exits.
        uint32_t crashedAt = 0, newGameAt = 100000;
        const auto player = [&](MainWindow& window, uint32_t slot) {
            QWidget* field = &window.playField();
            const Form& form = window.form();
            if (form.UpHeld == 1 && slot % 4 == 0) { // a held key repeats; not recorded
                QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(field, &repeat);
            }
            if (slot == 3 || slot == 20 || slot == 110 || slot == newGameAt + 3) {
                QTest::keyPress(field, slot == 20    ? Qt::Key_Left
                                       : slot == 110 ? Qt::Key_Right
                                                     : Qt::Key_Up);
            } else if (slot > 20 && slot < 60 && form.LeftHeld == 1 && form.picCar().Visible) {
                QTest::keyRelease(field, Qt::Key_Left);
            } else if (slot == 60 || slot == 70 || slot == 80 || slot == 90 || slot == 100) {
                QTest::keyClick(field, slot == 70  ? Qt::Key_2
                                       : slot < 90 ? Qt::Key_Space
                                                   : Qt::Key_Escape);
            } else if (form.GameOver && crashedAt == 0) {
                crashedAt = slot;
                QTest::keyRelease(field, Qt::Key_Right);
                QTest::keyRelease(field, Qt::Key_Up);
            } else if (crashedAt != 0 && slot == crashedAt + 10) {
                // The crash entered the hall of fame: the name typed goes to
                // its field, Enter keeps it, and only the next Enter starts over.
                QVERIFY(window.hallOfFame().editing());
                QTest::keyClicks(field, QStringLiteral("Zo"));
                QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Ediaeresis, Qt::NoModifier,
                                 QString::fromUtf8("ë"));
                QApplication::sendEvent(field, &umlaut);
                QTest::keyClicks(field, QStringLiteral(" Q"));
                QTest::keyClick(field, Qt::Key_Return);
                QVERIFY(form.GameOver);
                // The panel's New Game button starts over, as Enter would.
                const kestrada::Control& panel = form.fraScores();
                const kestrada::Control& button = form.cmdNewGame();
                QTest::mouseClick(
                    field, Qt::LeftButton, {},
                    QPoint(int(panel.Left + button.Left) + 10, int(panel.Top + button.Top) + 3));
                newGameAt = slot;
            } else if (slot == newGameAt + 10 || slot == 1500) {
                QVERIFY(!form.GameOver);
                window.menus().action(&Form::mnuExit)->trigger();
            }
        };
        kestrada::desktop::CommandLine live;
        live.seed = 20;
        live.dataDir = dir("live").toStdString();
        kestrada::testing::writeFile(dir("live").toStdString() + "/Kestrada.txt", "\"3043\"\r\n");
        live.record = recording.toStdString();
        live.smoothing = false; // the replay draws smoothly: the same game either way
        QStringList recorded = playInWindow(live, dir("live"), player);
        recorded.removeLast(); // the title
        QVERIFY(crashedAt > 110);
        QVERIFY(newGameAt < 1500);
        const QStringList file = lines(recording);
        QCOMPARE(file.filter(QStringLiteral(" down Up")).size(), 2);
        QCOMPARE(file.first(),
                 QStringLiteral("# kestrada " KESTRADA_VERSION " seed 20 high \"3043\""));
        QCOMPARE(lines(dir("live") + QStringLiteral("/last-run.txt")), file);

        const QStringList headless = replayHeadless(recording, dir("headless"));
        QCOMPARE(headless, recorded);

        // The crash is in the hall of fame under the name typed (the game
        // ended by Exit too, if it scored), and replays to its score; edited
        // by hand, it no longer does.
        const auto table = [&] {
            QProcess program;
            program.start(QStringLiteral(KESTRADA_PROGRAM),
                          {QStringLiteral("--scores"), QStringLiteral("--data-dir"), dir("live")});
            (void)program.waitForFinished(60000);
            return QString::fromUtf8(program.readAllStandardOutput())
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        const QStringList entries = table();
        QVERIFY(!entries.isEmpty());
        for (const QString& entry : entries) {
            QVERIFY2(entry.contains(QString::fromUtf8("  Zoë Q  ")), qPrintable(entry));
            QVERIFY2(entry.endsWith(QStringLiteral("  verified")), qPrintable(entry));
        }
        const QString fame = dir("live") + QStringLiteral("/HallOfFame.txt");
        QStringList edited = lines(fame);
        const QString score = edited[1].section(QLatin1Char('\t'), 0, 0);
        edited[1].replace(0, score.size(), QString::number(score.toLongLong() + 1));
        kestrada::testing::writeFile(fame.toStdString(),
                                     edited.join(QLatin1Char('\n')).toStdString());
        QVERIFY2(table().last().endsWith(QStringLiteral("  unverified (replays to ") + score +
                                         QLatin1Char(')')),
                 qPrintable(table().join(QLatin1Char('|'))));

        // The viewer's keys do nothing to the game; Esc holds the replay a
        // while, silent as a pause, without a trace of it in the game.
        kestrada::desktop::CommandLine watch;
        watch.replay = recording.toStdString();
        QList<int> music;
        QStringList replayed =
            playInWindow(watch, dir("replay"), [&music](MainWindow& window, uint32_t slot) {
                QWidget* field = &window.playField();
                const kestrada::SoundPlayer* player = window.form().sndMusic;
                if (slot == 105) {
                    QTest::keyClick(field, Qt::Key_Space);
                    music << player->mode();
                    QTest::keyClick(field, Qt::Key_Escape);
                    music << player->mode();
                    QTimer::singleShot(300, field, [field, player, &music] {
                        QTest::keyClick(field, Qt::Key_Escape);
                        music << player->mode();
                    });
                }
            });
        QCOMPARE(replayed.takeLast(), QStringLiteral(" Kestrada - replay"));
        QCOMPARE(replayed, headless);
        QCOMPARE(music, QList<int>({kestrada::kModePlaying, kestrada::kModeStopped,
                                    kestrada::kModePlaying}));
        // The replay's high score stayed in its own scratch folder.
        QVERIFY(!QFile::exists(scratch.filePath(QStringLiteral("replay/Kestrada.txt"))));

        // A recording killed mid-game keeps every event up to the kill.
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

    // A recording cut short has no Exit: the replay stops 2 s after its last
    // event and the window stays. The help window and About box it asks
    // for do not open, or the replay would wait for them.
    void replayWithoutExitEndsAndOpensNoWindow() {
        QTemporaryDir scratch;
        const QString recording = scratch.filePath(QStringLiteral("cut.txt"));
        kestrada::testing::writeFile(recording.toStdString(),
                                     "# kestrada 1.0 seed 7 high \"0\"\n5 down Up\n8 menu "
                                     "mnuHowToPlay\n9 menu mnuAbout\n12 menu mnuPause\n20 up Up\n");
        kestrada::desktop::CommandLine watch;
        watch.replay = recording.toStdString();
        int dialogs = 0;
        QStringList run = playInWindow(watch, scratch.path(), [&dialogs](MainWindow&, uint32_t) {
            dialogs += QApplication::activeModalWidget() != nullptr ? 1 : 0;
        });
        QCOMPARE(run.takeLast(), QStringLiteral(" Kestrada - replay ended"));
        QCOMPARE(run.size(), 70 + 1); // a record per slot, then the scores
        QCOMPARE(dialogs, 0);
    }
};

QTEST_MAIN(ReplayTest)
#include "replay_qtest.moc"
