// SPDX-License-Identifier: GPL-3.0-or-later
// A game recorded in the real window replays slot for slot: headless from
// the file, and in the window again. A recording cut short by SIGKILL still
// replays up to the moment it was cut.
#include "app/form.h"
#include "headless/recording.h"
#include "headless/trace_writer.h"
#include "view/game_menus.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"
#include "view/session_recording.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

namespace {

struct WindowRun {
    QStringList trace; // one record per slot, as the headless trace has them
    QString score;
    QString high;
    QString title;
};

// Only the headless players note their sound calls.
QString withoutSounds(QString record) {
    static const QRegularExpression sounds(QStringLiteral(R"("sound":\[[^\]]*\])"));
    return record.replace(sounds, QStringLiteral(R"("sound":[])"));
}

QStringList lines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Plays one session in the window until Exit; script acts after each slot.
WindowRun playInWindow(const kestrada::view::CommandLine& options, const QString& scoreDir,
                       const std::function<void(MainWindow&, uint32_t)>& script) {
    const ScratchDataDir data;
    kestrada::view::SessionRecording session;
    std::string error;
    if (!session.prepare(options, {data.fsPath(), scoreDir.toStdString()}, error)) {
        qWarning("%s", error.c_str());
        return {};
    }
    MainWindow window(session.folders(), session.seed());
    session.attach(window);
    WindowRun run;
    bool ended = false;
    QObject::connect(&window, &MainWindow::slotEnded, [&](uint32_t slot, bool ticked) {
        std::string record;
        kestrada::headless::appendRecord(record, window.form(), slot, ticked, {});
        run.trace << withoutSounds(QString::fromStdString(record).trimmed());
        if (script) {
            script(window, slot);
        }
    });
    QObject::connect(&window, &MainWindow::programEnded, [&] {
        ended = true;
        run.title = window.windowTitle();
    });
    window.show();
    window.activateWindow();
    if (!QTest::qWaitFor([&] { return ended; }, 120000)) {
        qWarning("the window never ended");
    }
    run.score = QString::fromStdString(window.form().lblScore().Caption);
    run.high = QString::fromStdString(window.form().lblHighScore().Caption);
    return run;
}

// Drives onto the road, fires a missile, switches to mines and lays one,
// pauses and resumes, steers into the verge until the car crashes, starts a
// new game with Enter, drives a little and exits.
class ScriptedPlayer {
  public:
    void operator()(MainWindow& window, uint32_t slot) {
        QWidget* field = &window.playField();
        const Form& form = window.form();
        const auto press = [&](Qt::Key key) { QTest::keyPress(field, key); };
        const auto release = [&](Qt::Key key) { QTest::keyRelease(field, key); };
        // A held key repeats its press; the recording leaves those out.
        if (form.UpHeld == 1 && slot % 4 == 0) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(field, &repeat);
        }
        if (slot == 3 || slot == newGameAt_ + 3) {
            press(Qt::Key_Up);
        } else if (slot == 20) {
            press(Qt::Key_Left);
        } else if (slot > 20 && slot < 60 && form.LeftHeld == 1 && form.picCar().Visible) {
            release(Qt::Key_Left);
        } else if (slot == 60 || slot == 80) {
            QTest::keyClick(field, Qt::Key_Space);
        } else if (slot == 70) {
            QTest::keyClick(field, Qt::Key_2);
        } else if (slot == 90 || slot == 100) {
            QTest::keyClick(field, Qt::Key_Escape);
        } else if (slot == 110) {
            press(Qt::Key_Right);
        } else if (form.GameOver && crashedAt_ == 0) {
            crashedAt_ = slot;
            release(Qt::Key_Right);
            release(Qt::Key_Up);
        } else if (crashedAt_ != 0 && slot == crashedAt_ + 10) {
            QTest::keyClick(field, Qt::Key_Return);
            newGameAt_ = slot;
        } else if (slot == newGameAt_ + 40 || slot == 1500) {
            window.menus().action(&Form::mnuExit)->trigger();
        }
    }
    uint32_t crashedAt_ = 0;
    uint32_t newGameAt_ = 100000;
};

// Watching a replay: the viewer's keys do nothing to the game, and Esc holds
// the replay for a while without a trace of it in the game.
void viewer(MainWindow& window, uint32_t slot) {
    QWidget* field = &window.playField();
    if (slot == 60) {
        QTest::keyClick(field, Qt::Key_Space);
        QTest::keyClick(field, Qt::Key_Escape);
        QTimer::singleShot(300, field, [field] { QTest::keyClick(field, Qt::Key_Escape); });
    }
}

struct Headless {
    QStringList trace; // empty when the program failed
    QString summary;
};

Headless replayHeadless(const QString& input, const QString& scoreDir, const QString& traceFile) {
    QProcess program;
    program.start(QStringLiteral(KESTRADA_PROGRAM),
                  {QStringLiteral("--headless"), QStringLiteral("--input"), input,
                   QStringLiteral("--trace"), traceFile, QStringLiteral("--data-dir"), scoreDir});
    Headless result;
    if (!program.waitForFinished(60000) || program.exitCode() != 0) {
        return result;
    }
    result.summary = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
    for (const QString& record : lines(traceFile)) {
        result.trace << withoutSounds(record);
    }
    return result;
}

} // namespace

class ReplayTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void recordedGameReplaysHeadlessAndInTheWindow() {
        QTemporaryDir scratch;
        const auto dir = [&](const QString& name) {
            QDir(scratch.path()).mkdir(name);
            return scratch.filePath(name);
        };
        const QString recording = scratch.filePath(QStringLiteral("game.txt"));

        kestrada::view::CommandLine live;
        live.seed = 20;
        live.record = recording.toStdString();
        live.dataDir = dir(QStringLiteral("live")).toStdString();
        ScriptedPlayer player;
        const WindowRun recorded =
            playInWindow(live, QString::fromStdString(*live.dataDir), std::ref(player));
        QVERIFY(player.crashedAt_ > 110);
        QVERIFY(player.newGameAt_ < 1500);
        const QStringList file = lines(recording);
        QCOMPARE(file.filter(QStringLiteral(" down Up")).size(), 2);
        QCOMPARE(file.first(), QStringLiteral("# kestrada " KESTRADA_VERSION " seed 20"));
        QCOMPARE(file.last(), QStringLiteral("%1 menu mnuExit").arg(player.newGameAt_ + 41));
        QCOMPARE(lines(QString::fromStdString(*live.dataDir) + QStringLiteral("/last-run.txt")),
                 file);

        const Headless headless = replayHeadless(recording, dir(QStringLiteral("headless")),
                                                 scratch.filePath(QStringLiteral("trace.jsonl")));
        QCOMPARE(headless.trace, recorded.trace);
        QVERIFY2(headless.summary.contains(
                     QStringLiteral(" score=%1 high=%2 ").arg(recorded.score, recorded.high)),
                 qPrintable(headless.summary));

        kestrada::view::CommandLine watch;
        watch.replay = recording.toStdString();
        const WindowRun replayed = playInWindow(watch, dir(QStringLiteral("replay")), viewer);
        QCOMPARE(replayed.trace, headless.trace);
        QCOMPARE(replayed.score, recorded.score);
        QCOMPARE(replayed.high, recorded.high);
        QCOMPARE(replayed.title, QStringLiteral(" Kestrada - replay"));
        // The replay's high score stayed in its own scratch folder.
        QVERIFY(!QFile::exists(scratch.filePath(QStringLiteral("replay/Kestrada.txt"))));

        // A recording killed mid-game keeps every event up to the kill.
        const QString cut = scratch.filePath(QStringLiteral("cut.txt"));
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(KESTRADA_PROGRAM),
                      {QStringLiteral("--replay"), recording, QStringLiteral("--record"), cut,
                       QStringLiteral("--data-dir"), dir(QStringLiteral("cut"))});
        QTRY_VERIFY_WITH_TIMEOUT(lines(cut).size() >= 8, 20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
        const QStringList kept = lines(cut);
        QCOMPARE(kept, file.mid(0, kept.size()));
        const Headless replayCut = replayHeadless(cut, dir(QStringLiteral("cut-headless")),
                                                  scratch.filePath(QStringLiteral("cut.jsonl")));
        QCOMPARE(replayCut.trace, headless.trace.mid(0, replayCut.trace.size()));
        QCOMPARE(replayCut.trace.size(), int(kept.last().section(QLatin1Char(' '), 0, 0).toUInt()));
    }
};

QTEST_MAIN(ReplayTest)
#include "replay_qtest.moc"
