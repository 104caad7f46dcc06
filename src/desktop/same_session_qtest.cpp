// SPDX-License-Identifier: GPL-3.0-or-later
// One session through the real window, offscreen, on a clock stepped by
// hand: the steps of tests/web/same_session.txt, which the page plays too.
// Each look must read as the script says; the session's recording, kept as
// last-run.txt and --record have it, must replay headless slot for slot,
// and the hall of fame's entries must verify. With
// KESTRADA_SAME_SESSION_OUT=DIR the recording and a line for each look are
// left in DIR, for tests/web/same_session_test.sh to hold against the
// page's byte for byte.
#include "desktop/frame_pacer.h"
#include "desktop/game_menus.h"
#include "desktop/gamepad.h"
#include "desktop/main_window.h"
#include "desktop/play_field.h"
#include "desktop/qtest_support.h"
#include "desktop/session_recording.h"
#include "desktop/virtual_pad_test_support.h"
#include "session/menu_commands.h"
#include "session/trace_writer.h"
#include "testing/test_game.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <map>
#include <memory>

using namespace kestrada;
using namespace kestrada::desktop;

namespace {

const std::map<QString, std::pair<Qt::Key, QString>> kKeys = {
    {QStringLiteral("Up"), {Qt::Key_Up, {}}},
    {QStringLiteral("Down"), {Qt::Key_Down, {}}},
    {QStringLiteral("Left"), {Qt::Key_Left, {}}},
    {QStringLiteral("Right"), {Qt::Key_Right, {}}},
    {QStringLiteral("Space"), {Qt::Key_Space, QStringLiteral(" ")}},
    {QStringLiteral("Enter"), {Qt::Key_Return, QStringLiteral("\r")}},
    {QStringLiteral("Escape"), {Qt::Key_Escape, QStringLiteral("\x1b")}},
};

class WindowPlayer {
  public:
    WindowPlayer() {
        kestrada::testing::writeFile(scores_.path().toStdString() + "/Kestrada.txt",
                                     "\"3043\"\r\n");
        CommandLine options;
        options.seed = 20;
        options.dataDir = scores_.path().toStdString();
        options.record = file("record.txt").toStdString();
        std::string error;
        [&] { QVERIFY2(files_.prepare(options, folders(), error), error.c_str()); }();
        main_ = std::make_unique<MainWindow>(folders(), 20);
        files_.attach(*main_);
        QObject::connect(main_.get(), &MainWindow::slotEnded, [this](uint32_t slot, bool ticked) {
            std::string record;
            session::appendRecord(record, main_->form(), slot, ticked, {});
            trace << QString::fromStdString(record).trimmed();
        });
        main_->setRunOpener([this](const std::filesystem::path& run) { chosen_ = run; });
        open(*main_);
        other_.resize(100, 100);
    }

    void step(const QStringList& words) {
        const QString& verb = words[0];
        if (verb == u"slots") {
            for (int i = 0; i < words[1].toInt(); ++i) {
                clockMs_ += 40;
                main_->frames().frame();
                if (replay_) {
                    replay_->frames().frame();
                }
            }
        } else if (verb == u"down" || verb == u"up") {
            key(words[1], verb == u"down" ? QEvent::KeyPress : QEvent::KeyRelease, false);
        } else if (verb == u"repeat") {
            for (int i = 0; i < words[2].toInt(); ++i) {
                key(words[1], QEvent::KeyRelease, true);
                key(words[1], QEvent::KeyPress, true);
            }
        } else if (verb == u"type") {
            QTest::keyClicks(&front().playField(), words.mid(1).join(u' '));
        } else if (verb == u"menu") {
            const auto command = session::commandNamed(words[1].toStdString());
            for (const auto& entry : session::menuCommands()) {
                if (command && entry.command == *command) {
                    front().menus().action(entry.item)->trigger();
                }
            }
        } else if (verb == u"ctrl") {
            QTest::keyClick(&front(), Qt::Key_F, Qt::ControlModifier);
        } else if (verb == u"close") {
            QApplication::activeModalWidget()->close();
        } else if (verb == u"pad") {
            pad_.set(SDL_CONTROLLER_BUTTON_A, words[1] == u"down");
            main_->gamepads().poll();
        } else if (verb == u"leave") {
            other_.show();
            activate(other_);
        } else if (verb == u"back") {
            activate(*main_);
        } else if (verb == u"look") {
            look(words.mid(1).join(u' '));
        }
        settle();
    }

    MainWindow& main() { return *main_; }
    QString file(const char* name) const { return scores_.filePath(QLatin1String(name)); }
    QStringList looks;
    QStringList trace; // the player's game, a record a slot

  private:
    GameFolders folders() const { return {data_.fsPath(), scores_.path().toStdString()}; }
    MainWindow& front() { return replay_ ? *replay_ : *main_; }

    void open(MainWindow& window) {
        window.frames().setClock([this] { return clockMs_; });
        window.show();
        activate(window);
        window.frames().frame(); // the clock starts
    }
    static void activate(QWidget& window) {
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }

    void key(const QString& name, QEvent::Type type, bool repeat) {
        const auto& [code, text] = kKeys.at(name);
        QKeyEvent event(type, code, Qt::NoModifier, text, repeat);
        QApplication::sendEvent(&front().playField(), &event);
    }

    // A run chosen in the hall of fame opens a window of its own, as the
    // program does with --replay; its Exit closes it.
    void settle() {
        if (chosen_) {
            CommandLine options;
            options.replay = chosen_->string();
            chosen_.reset();
            SessionRecording session;
            std::string error;
            QVERIFY2(session.prepare(options, folders(), error), error.c_str());
            replay_ = std::make_unique<MainWindow>(folders(), session.seed(), session.takeReplay());
            open(*replay_);
        }
        if (replay_ && replay_->play().ended()) {
            replay_.reset();
            activate(*main_);
        }
    }

    void look(const QString& expected) {
        const Form& form = front().form();
        const auto& panel = front().hallOfFame();
        const bool shown = front().play().tableShown();
        looks << QStringLiteral("%1 | over=%2 paused=%3 panel=%4 dialog=%5")
                     .arg(front().windowTitle().trimmed())
                     .arg(form.GameOver ? 1 : 0)
                     .arg(form.lblPaused().Visible ? 1 : 0)
                     .arg(shown ? QString::number(panel.rows().size()) : QStringLiteral("-"))
                     .arg(QApplication::activeModalWidget() != nullptr ? 1 : 0);
        QCOMPARE(looks.last(), expected);
    }

    desktop::testing::ScratchDataDir data_;
    QTemporaryDir scores_;
    SessionRecording files_;
    double clockMs_ = 0;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<MainWindow> replay_;
    std::optional<std::filesystem::path> chosen_;
    QWidget other_;
    desktop::testing::VirtualPad pad_;
};

QString text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// What the program prints for these arguments.
QString program(const QStringList& arguments) {
    QProcess kestrada;
    kestrada.start(QStringLiteral(KESTRADA_PROGRAM), arguments);
    (void)kestrada.waitForFinished(60000); // a failed run prints nothing to compare
    return QString::fromUtf8(kestrada.readAllStandardOutput());
}

// The trace of a headless run of the recording, a record a slot; only the
// headless players note their sound calls.
QStringList headlessTrace(const QString& recording, const QString& trace) {
    program({QStringLiteral("--headless"), QStringLiteral("--input"), recording,
             QStringLiteral("--trace"), trace});
    static const QRegularExpression sounds(QStringLiteral(R"("sound":\[[^\]]*\])"));
    return text(trace)
        .split(u'\n', Qt::SkipEmptyParts)
        .replaceInStrings(sounds, QStringLiteral(R"("sound":[])"));
}

void writeOut(const QString& name, const QByteArray& bytes) {
    const QString folder = qEnvironmentVariable("KESTRADA_SAME_SESSION_OUT");
    if (folder.isEmpty()) {
        return;
    }
    QFile file(folder + u'/' + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class SameSessionTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void theScriptPlaysInTheWindow() {
        QFile script(QStringLiteral(KESTRADA_SOURCE_DIR "/tests/web/same_session.txt"));
        QVERIFY(script.open(QIODevice::ReadOnly));
        WindowPlayer player;
        QTRY_COMPARE(player.main().gamepads().connected(), 1);
        for (const QString& line : QString::fromUtf8(script.readAll()).split(u'\n')) {
            if (!line.isEmpty() && !line.startsWith(u'#')) {
                player.step(line.split(u' '));
            }
        }
        const session::Play& play = player.main().play();
        QVERIFY(play.ended());
        const QString recording = QString::fromStdString(play.recording());
        QCOMPARE(text(player.file("record.txt")), recording);
        QCOMPARE(text(player.file("last-run.txt")), recording);
        QCOMPARE(headlessTrace(player.file("record.txt"), player.file("trace.jsonl")),
                 player.trace);
        const QStringList entries =
            program({QStringLiteral("--scores"), QStringLiteral("--data-dir"), player.file(".")})
                .split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(entries.size(), 2); // the crash and the game ended by Exit
        QCOMPARE(entries.filter(QStringLiteral("  verified")).size(), 2);
        writeOut(QStringLiteral("window-recording.txt"),
                 QByteArray::fromStdString(play.recording()));
        writeOut(QStringLiteral("window-looks.txt"), player.looks.join(u'\n').toUtf8() + '\n');
    }
};

QTEST_MAIN(SameSessionTest)
#include "same_session_qtest.moc"
