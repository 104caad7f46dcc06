// The real main window on the offscreen platform, driven by key presses and
// menu commands as a player would, checked against the model.
#include "app/form.h"
#include "app/sound_player.h"
#include "view/game_menus.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qt_sound_player.h"
#include "view/qtest_support.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

namespace {
void sendAutoRepeat(QWidget* to, QEvent::Type type, Qt::Key key) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(to, &event);
}

QRect physicalRect(const kestrada::Control& c, qreal dpr) {
    return QRect(qRound(c.Left * dpr), qRound(c.Top * dpr), qRound(c.Width * dpr),
                 qRound(c.Height * dpr));
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& w() { return *window_; }
    const Form& form() { return window_->form(); }
    QWidget* field() { return &window_->playField(); }
    QAction* action(kestrada::MenuItem Form::*item) { return window_->menus().action(item); }

    // Holds Up and Left until the car leaves the verge for the road.
    void driveOntoTheRoad() {
        QTest::keyPress(field(), Qt::Key_Up);
        QTRY_VERIFY(form().Speed >= 3);
        QTest::keyPress(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().picCar().Visible, 3000);
        QTest::keyRelease(field(), Qt::Key_Left);
        QTest::keyRelease(field(), Qt::Key_Up);
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 7);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        window_.reset();
        data_.reset();
    }

    void windowHasTheGamesShape() {
        QCOMPARE(w().windowTitle(), QStringLiteral(" Kestrada"));
        QCOMPARE(field()->size(), QSize(590, 477));
        QCOMPARE(w().size(), QSize(590, 477 + w().menuBar()->height()));
        QCOMPARE(w().minimumSize(), w().maximumSize());
        QVERIFY(!(w().windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!w().windowIcon().isNull());
        QVERIFY(form().tmrMain.Enabled);
        QVERIFY(w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
    }

    void carDrivesOntoTheRoadAndIsPaintedThere() {
        QCOMPARE(form().picCar().Left, 386.0f);
        QCOMPARE(form().picCar().Top, 360.0f);
        const QImage atStart = field()->grab().toImage();
        saveScreenshot(atStart, QStringLiteral("start.png"));

        driveOntoTheRoad();
        QVERIFY(!form().GameOver);
        QVERIFY(form().picCar().Left < 386.0f);
        QVERIFY(form().picCar().Top < 360.0f);

        const QImage driving = field()->grab().toImage();
        saveScreenshot(driving, QStringLiteral("driving.png"));
        QCOMPARE(driving.size(), QSize(590, 477));
        const QRect car = physicalRect(form().picCar(), 1.0);
        const QImage expected =
            expectedCarBox(w().playField().pictures(), car.size(), driving.devicePixelRatio());
        QCOMPARE(largestDifference(driving.copy(car), expected), 0);
        // Where the car now is, the first frame showed the road.
        QVERIFY(largestDifference(atStart.copy(car), driving.copy(car)) > 0);
    }

    void heldArrowSurvivesAutoRepeatAndIsReleasedOnDeactivation() {
        QTest::keyPress(field(), Qt::Key_Up);
        QCOMPARE(form().UpHeld, 1);
        // A held key repeats as release/press pairs; the flag must hold.
        for (int i = 0; i < 3; ++i) {
            sendAutoRepeat(field(), QEvent::KeyRelease, Qt::Key_Up);
            QCOMPARE(form().UpHeld, 1);
            sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
            QCOMPARE(form().UpHeld, 1);
        }
        // Paused, a repeated press is ignored; once resumed the next repeat
        // arms the flag again.
        QTest::keyRelease(field(), Qt::Key_Up);
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(form().lblPaused().Visible);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QCOMPARE(form().UpHeld, 0);
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!form().lblPaused().Visible);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QCOMPARE(form().UpHeld, 1);

        QTest::keyPress(field(), Qt::Key_Left);
        QCOMPARE(form().LeftHeld, 1);
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&w(), &deactivate);
        QCOMPARE(form().UpHeld, 0);
        QCOMPARE(form().LeftHeld, 0);
    }

    void playKeysReachTheGameWhateverHasFocus() {
        // A window shortcut on Esc must not swallow the pause key.
        QAction stealer(QStringLiteral("steals Esc"), &w());
        stealer.setShortcut(Qt::Key_Escape);
        w().addAction(&stealer);
        QSignalSpy stolen(&stealer, &QAction::triggered);

        w().menuBar()->setFocus();
        QTest::keyClick(w().menuBar(), Qt::Key_2);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_Space);
        QCOMPARE(form().MissileInFlight, int16_t(1));

        field()->setFocus();
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(form().lblPaused().Visible);
        QCOMPARE(stolen.count(), 0);
    }

    void pauseMenuMirrorsTheModel() {
        QAction* pause = action(&Form::mnuPause);
        QCOMPARE(pause->text(), QStringLiteral("&Pause"));
        QCOMPARE(pause->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));

        pause->trigger();
        QVERIFY(form().lblPaused().Visible);
        QCOMPARE(pause->text(), QStringLiteral("Un&pause"));
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::ArrowCursor);
        saveScreenshot(field()->grab().toImage(), QStringLiteral("paused.png"));

        // Holding Esc repeats it; the pause must not flicker.
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Escape);
        QVERIFY(form().lblPaused().Visible);

        const int ticks = form().TickCount;
        QTest::qWait(200);
        QCOMPARE(form().TickCount, ticks);

        QTest::keyClick(&w(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!form().lblPaused().Visible);
        QCOMPARE(pause->text(), QStringLiteral("&Pause"));
        QVERIFY(w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
        QTRY_VERIFY(form().TickCount > ticks);
    }

    void soundSwitchesAndTheHiddenScoresMenu() {
        QAction* music = action(&Form::mnuMusic);
        QAction* effects = action(&Form::mnuEffects);
        QVERIFY(music->isChecked());
        QVERIFY(effects->isChecked());
        music->trigger();
        QVERIFY(!form().mnuMusic.Checked);
        QVERIFY(!music->isChecked());
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form().mnuEffects.Checked);
        QVERIFY(!effects->isChecked());
        QTest::keyClick(&w(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(form().mnuMusic.Checked);
        QVERIFY(music->isChecked());

        QVERIFY(!action(&Form::mnuScores)->isVisible());
        QVERIFY(action(&Form::mnuLine)->isSeparator());
        // The hidden menu's command is out of reach: it would clear the
        // held keys.
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyClick(&w(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(form().UpHeld, 1);
        QTest::keyRelease(field(), Qt::Key_Up);
    }

    void crashDisablesPauseAndEnterStartsANewGame() {
        QTest::keyClick(field(), Qt::Key_Return);
        QVERIFY(!form().GameOver); // Enter does nothing in a running game
        // Off the right-hand edge of the road.
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyPress(field(), Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 3000);
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
        saveScreenshot(field()->grab().toImage(), QStringLiteral("crash.png"));

        QVERIFY(!action(&Form::mnuPause)->isEnabled());
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::ArrowCursor);
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!form().lblPaused().Visible);

        QTest::keyClick(field(), Qt::Key_Return);
        QVERIFY(!form().GameOver);
        QVERIFY(action(&Form::mnuPause)->isEnabled());
        QVERIFY(w().frameTimerActive());
        QCOMPARE(form().picCar().Left, 386.0f);
    }

    void roadMusicLoopsWhenAPlaybackEnds() {
        // A window of its own, with short road music beside it.
        ScratchDataDir data;
        QVERIFY(writeWave(data.filePath(QStringLiteral("Kestrada.wav")), 500));
        MainWindow window(data.fsPath(), 5);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const Form& f = window.form();
        auto* music = dynamic_cast<kestrada::view::QtSoundPlayer*>(f.sndMusic);
        QVERIFY(music != nullptr);
        // Without the start jingle the music may start at once.
        window.menus().action(&Form::mnuEffects)->trigger();
        window.menus().action(&Form::mnuMusic)->trigger();
        window.menus().action(&Form::mnuMusic)->trigger();
        QVERIFY(f.TickCount < 75);
        QVERIFY(f.MusicPlaying);
        // It plays to near its end, then starts over.
        QTRY_VERIFY_WITH_TIMEOUT(music->positionMs() >= 400, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(music->positionMs() < 300, 5000);
        QCOMPARE(f.sndMusic->mode(), kestrada::kModePlaying);

        // Switched off, it stays off.
        window.menus().action(&Form::mnuMusic)->trigger();
        QCOMPARE(f.sndMusic->mode(), kestrada::kModeStopped);
        QTest::qWait(700);
        QCOMPARE(f.sndMusic->mode(), kestrada::kModeStopped);
    }

    void closingSavesABeatenHighScoreAndEndsOnce() {
        QSignalSpy ended(&w(), &MainWindow::programEnded);
        // On the verge the car gathers speed without leaving its lane.
        QTest::keyPress(field(), Qt::Key_Up);
        QTRY_VERIFY(form().Score >= 5);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QString score = QString::fromStdString(form().lblScore().Caption);

        QVERIFY(w().close());
        QCOMPARE(ended.count(), 1);
        QVERIFY(!w().isVisible());
        QVERIFY(!w().frameTimerActive());
        QFile file(data_->filePath(QStringLiteral("Kestrada.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.readAll()), u'"' + score + QStringLiteral("\"\r\n"));

        // Whatever arrives afterwards is not handled again.
        w().close();
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form().lblPaused().Visible);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
