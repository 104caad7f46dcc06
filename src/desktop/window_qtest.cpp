// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the offscreen platform, driven by keys, menus and
// controllers (SDL's virtual ones, plugged in and out) as a player would,
// checked against the model and the pixels on screen. The window's frames
// read a clock each test steps by hand: a slot runs only when a test says.
#include "app/form.h"
#include "app/help_texts.h"
#include "desktop/frame_pacer.h"
#include "desktop/frame_painter.h"
#include "desktop/game_menus.h"
#include "desktop/gamepad.h"
#include "desktop/help_dialog.h"
#include "desktop/main_window.h"
#include "desktop/play_field.h"
#include "desktop/qtest_support.h"
#include "desktop/tick_log.h"
#include "desktop/virtual_pad_test_support.h"
#include "scene/compose.h"
#include "sound/sound_player.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace kestrada;
using namespace kestrada::desktop;
using namespace kestrada::desktop::testing;

namespace {

void sendAutoRepeat(QWidget* to, QEvent::Type type, Qt::Key key) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(to, &event);
}

// A control's rectangle in device pixels, its corner on a whole pixel.
QRect deviceRect(const Control& c, qreal dpr) {
    return QRect(qRound(c.Left * dpr), qRound(c.Top * dpr), qRound(c.Width * dpr),
                 qRound(c.Height * dpr));
}

// Pixels within rect near the given colour (edges are antialiased).
int countPixels(const QImage& image, const QRect& rect, const QColor& colour) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int off = std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green());
            n += off + std::abs(c.blue() - colour.blue()) < 40 ? 1 : 0;
        }
    }
    return n;
}

QColor at(const QImage& frame, double x, double y) {
    return frame.pixelColor(int(x), int(y));
}

QImage paint(const Form& form, const SpritePictures& pictures) {
    const scene::ExplosionEffect none(form.imgBoom());
    QImage frame(QSize(590, 477), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&frame);
    paintScene(painter, scene::composeScene(form, none), pictures);
    return frame;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;
    qreal dpr_ = 1;
    double clockMs_ = 0; // the window's clock, stepped by the tests

    MainWindow& w() { // opened at first use: not every test needs it
        if (!window_) {
            window_ = std::make_unique<MainWindow>(data_->fsPath(), 7);
            window_->frames().setClock([this] { return clockMs_; });
            window_->show();
            [&] { QVERIFY(activate(*window_)); }(); // QVERIFY returns void
            dpr_ = field()->devicePixelRatioF();
            window_->frames().frame(); // the clock starts, if no frame has started it yet
            // The first frame is up and every picture rendered after it, as
            // the event loop would have it before the player's first look.
            field()->repaint();
            QCoreApplication::processEvents();
        }
        return *window_;
    }
    const Form& form() { return w().form(); }
    QWidget* field() { return &w().playField(); }
    QAction* action(MenuItem Form::*item) { return w().menus().action(item); }
    QImage grab(const QString& stem) {
        const QImage frame = field()->grab().toImage();
        saveScreenshot(frame, stem + QStringLiteral(".png"));
        return frame;
    }
    bool paused() { return form().lblPaused().Visible; }
    std::array<int, 4> held() {
        return {form().LeftHeld, form().UpHeld, form().RightHeld, form().DownHeld};
    }
    void press(VirtualPad& pad, int button) {
        for (const bool down : {true, false}) {
            pad.set(button, down);
            w().gamepads().poll(); // sees a controller's change at once
        }
    }
    // A frame ms after the last, as the screen would call for it.
    void frame(double ms) {
        clockMs_ += ms;
        w().frames().frame();
    }
    // One 40 ms slot after another until done() or the limit.
    template <class Done> bool slotsUntil(Done done, int limit = 2000) {
        for (int i = 0; i < limit && !done(); ++i) {
            frame(40);
        }
        return done();
    }
    void slots(int n) {
        slotsUntil([] { return false; }, n);
    }
    // Off the verge onto the road, then up to the given speed.
    bool driveTo(int speed) {
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyPress(field(), Qt::Key_Left);
        const bool onRoad = slotsUntil([&] { return form().picCar().Visible; });
        QTest::keyRelease(field(), Qt::Key_Left);
        return onRoad && slotsUntil([&] { return form().Speed >= speed; });
    }
    static bool activate(QWidget& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); } // keeps settings to itself
    void init() { data_ = std::make_unique<ScratchDataDir>(); }
    void cleanup() {
        window_.reset();
        data_.reset();
        qunsetenv("KESTRADA_TICK_LOG");
    }

    // Play keys reach the game from the menu bar.
    void playKeysReachTheGameWhereverTheFocusIs() {
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
        w().menuBar()->setFocus();
        QTest::keyClick(w().menuBar(), Qt::Key_2);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_Space);
        QCOMPARE(form().MissileInFlight, int16_t(1));
    }

    // A held key repeats as release and press pairs: the flag holds, and
    // the car speeds up slot by slot.
    void aHeldKeyDrivesThroughItsRepeats() {
        QTest::keyPress(field(), Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyRelease, Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QCOMPARE(form().UpHeld, int16_t(1));
        QVERIFY(slotsUntil([&] { return form().Speed >= 3; }, 200));
        // A click where the hidden hall of fame's button would be does nothing.
        const Control& panel = form().fraScores();
        const Control& button = form().cmdNewGame();
        QTest::mouseClick(
            field(), Qt::LeftButton, {},
            QPoint(int(panel.Left + button.Left) + 10, int(panel.Top + button.Top) + 3));
        QVERIFY(form().Speed >= 3);
    }

    // Paused: the car in its box and the label in red; a repeated Up is
    // ignored, Ctrl+P resumes.
    void pausingShowsTheSignAndHoldsTheGame() {
        QVERIFY(driveTo(3));
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(paused());
        const QImage shot = grab(QStringLiteral("paused"));
        const QRect car = deviceRect(form().picCar(), dpr_);
        QVERIFY(samePixels(shot.copy(car),
                           expectedCarBox(w().playField().pictures(), QSize(25, 44), dpr_)));
        const QRect label = deviceRect(form().lblPaused(), dpr_);
        QVERIFY2(countPixels(shot, label, QColor(255, 0, 0)) > 400, "no red label");
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::ArrowCursor);
        const int32_t ticks = form().TickCount;
        slots(5);
        QCOMPARE(form().TickCount, ticks);
        QTest::keyRelease(field(), Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QVERIFY(paused());
        QCOMPARE(form().UpHeld, int16_t(0));
        QTest::keyClick(&w(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!paused());
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
    }

    // Effects has a check mark; the hidden Scores menu's items are out of
    // reach; a menu shortcut leaves a held arrow held.
    void menuShortcutsLeaveTheKeysAlone() {
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form().mnuEffects.Checked);
        QVERIFY(!action(&Form::mnuEffects)->isChecked());
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(action(&Form::mnuEffects)->isChecked());
        QVERIFY(!action(&Form::mnuHighScores)->isVisible());
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyClick(&w(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(form().UpHeld, int16_t(1));
    }

    // Off the right-hand edge: the wreck and the cracked dashboard, and the
    // opt-in tick log has a line for each tick, written after it ran.
    void aCrashShowsTheWreckAndEndsTheTickLog() {
        const QString tickLog = data_->filePath(QStringLiteral("ticks"));
        qputenv("KESTRADA_TICK_LOG", QFile::encodeName(tickLog));
        logTicksIfAsked(w());
        const QImage start = grab(QStringLiteral("start"));
        QVERIFY(driveTo(8));
        QTest::keyPress(field(), Qt::Key_Right);
        QVERIFY(slotsUntil([&] { return form().GameOver; }));
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QImage crash = grab(QStringLiteral("crash"));
        QVERIFY(!action(&Form::mnuPause)->isEnabled());
        QVERIFY(!w().frameTimerActive());
        const QRect wreck = deviceRect(form().imgWreck(), dpr_);
        QVERIFY(!samePixels(start.copy(wreck), crash.copy(wreck)));
        const QRect dash = deviceRect(form().imgDash(), dpr_);
        QVERIFY(!samePixels(start.copy(dash), crash.copy(dash)));
        QFile log(tickLog);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> ticks = log.readAll().trimmed().split('\n');
        QCOMPARE(ticks.last().split(' ').mid(1),
                 QList<QByteArray>(
                     {QByteArray::number(form().TickCount), QByteArray::number(form().Speed)}));
        QCOMPARE(ticks.first().split(' ')[1].toInt() + ticks.size() - 1, form().TickCount);
    }

    // After a crash Esc and a held Enter do nothing; a fresh Enter starts
    // over; closing the window ends the program through the game's unload.
    void enterStartsOverAndClosingEnds() {
        QVERIFY(driveTo(3));
        QTest::keyPress(field(), Qt::Key_Right);
        QVERIFY(slotsUntil([&] { return form().GameOver; }));
        QTest::keyClick(field(), Qt::Key_Escape);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Return);
        QVERIFY(form().GameOver);
        QVERIFY(!paused());
        QTest::keyClick(field(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!form().GameOver);
        QVERIFY(w().frameTimerActive());
        QSignalSpy ended(&w(), &MainWindow::programEnded);
        QVERIFY(w().close());
        QCOMPARE(ended.count(), 1);
        QVERIFY(!w().frameTimerActive());
    }

    // Half way between two ticks a road dash is drawn half way from where
    // the last but one tick left it to where the last one did.
    void motionIsDrawnBetweenTicks() {
        QVERIFY(driveTo(10));
        const auto drawnTop = [&] {
            for (const scene::Item& item : w().playField().scene()) {
                if (item.key == scene::sceneKey(ControlId::imgMarker3)) {
                    return item.rect.top;
                }
            }
            return -1.0;
        };
        const double from = drawnTop(); // the frame of the tick itself
        frame(20);
        QCOMPARE(drawnTop(), (from + form().imgMarker(3).Top) / 2);
    }

    // Help pauses the game, shows its words black on white even under a
    // dark desktop theme, closes with OK and leaves the game paused.
    void helpPausesAndClosesWithOk() {
        const QPalette desktop = QApplication::palette(&w());
        QApplication::setPalette(QPalette(QColor(30, 30, 30), QColor(30, 30, 30)));
        QString seen;
        QImage shot;
        QRect words;
        QTimer poll; // looks at the dialog from inside its event loop
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* help = qobject_cast<HelpDialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                const QLabel* text = help->lblInstructions();
                seen = help->windowTitle() + QString::number(w().frameTimerActive()) +
                       text->text() + QString::number(text->font().pixelSize());
                shot = help->grab().toImage();
                words = text->geometry();
                QTest::mouseClick(help->cmdOK(), Qt::LeftButton);
                seen += help->isVisible() ? QStringLiteral(" OK did not close it") : QString();
                QTimer::singleShot(500, help, &QWidget::close); // so a failure cannot hang
            }
        });
        poll.start(20);
        action(&Form::mnuHowToPlay)->trigger(); // opens the window and returns at once
        // Paused by the command itself: the window has not yet seen its focus go.
        QVERIFY(form().lblPaused().Visible);
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), 5000);
        QApplication::setPalette(desktop);
        saveScreenshot(shot, QStringLiteral("help_dark_theme.png"));
        const QString text = QString::fromStdString(helpInstructions()).remove(u'\r');
        QCOMPARE(seen, u" How to Play Kestrada...0" + text + u"15");
        QCOMPARE(shot.pixelColor(words.topLeft()), QColor(Qt::white));
        QVERIFY(countPixels(shot, words, Qt::black) > 500);
    }

    // The painter alone, with no artwork: placeholders show which picture
    // lands where, so layers, order and hidden controls show.
    void paintingFollowsTheModel() {
        // A broken picture and missing ones become plain placeholders.
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("car.svg")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        QVERIFY(broken.write("<svg this is not") > 0);
        broken.close();
        SpritePictures pictures(dir.path());
        QVERIFY(!pictures.hasArtwork(Picture::Car));
        Form f;
        pictures.prepare(1.0, pictureUses(scene::picturesUsedBy(f)));
        f.linSpeed = Line{536, 182, 536, 150, true};
        QImage frame = paint(f, pictures);
        QCOMPARE(at(frame, 536, 165), QColor(255, 0, 0));
        // The car picture over its wreck until the wreck is brought forward;
        // the median's box above every picture, the car's box above it.
        const auto put = [](Control& c, float x, float y) {
            c.Left = x;
            c.Top = y;
            c.Visible = true;
        };
        put(f.imgCar(), 100, 100);
        put(f.imgWreck(), 100, 100);
        put(f.imgMdead(), 300, 400);
        put(f.picCar(), 500, 260);
        frame = paint(f, pictures);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Car));
        QCOMPARE(at(frame, 510, 280), placeholderColour(Picture::Car)); // over the dashboard
        QCOMPARE(at(frame, 305, 405), placeholderColour(Picture::MotoWreck));
        f.bringToFront(ControlId::imgWreck);
        QCOMPARE(at(paint(f, pictures), 110, 110), placeholderColour(Picture::CarWreck));
        put(f.picSplit(), 90, 0);
        put(f.picCar(), 120, 200);
        frame = paint(f, pictures);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Median));
        QCOMPARE(at(frame, 130, 210), placeholderColour(Picture::Car));
        // The hall of fame's children sit inside it and show only with it.
        const Control& panel = f.fraScores();
        const QPointF button(panel.Left + f.cmdNewGame().Left + 10,
                             panel.Top + f.cmdNewGame().Top + 3);
        QCOMPARE(at(frame, button.x(), button.y()), placeholderColour(Picture::Road)); // hidden
        f.fraScores().Visible = true;
        frame = paint(f, pictures);
        QCOMPARE(at(frame, button.x(), button.y()), QColor(255, 128, 0));
        // The title is centred in the panel, not placed from the window's corner.
        const Control& title = f.lblScoreTitle();
        const QRect titleEnd(int(title.Left + title.Width), int(panel.Top + title.Top),
                             int(panel.Left), int(title.Height));
        QVERIFY(countPixels(frame, titleEnd, QColor(255, 255, 255)) > 50);
    }

    // Minimised is left too (another window in front is in the session's
    // script, tests/web/same_session.txt).
    void minimisingPauses() {
        QTest::keyPress(field(), Qt::Key_Left);
        w().showMinimized();
        QTRY_VERIFY(paused());
        QCOMPARE(form().LeftHeld, int16_t(0));
    }

    // xkb key codes: the top-row 1 is 10 and 2 is 11 whatever the layout
    // and Shift make of them; the keypad's digits stay ignored.
    void weaponKeysAreTheTopRowKeysOnAnyLayout() {
        const std::tuple<int, Qt::KeyboardModifiers, quint32, int> presses[] = {
            {Qt::Key_Exclam, Qt::ShiftModifier, 10, 1}, // US Shift+1 "!"
            {Qt::Key_At, Qt::ShiftModifier, 11, 2},     // US Shift+2 "@"
            {Qt::Key_Ampersand, Qt::NoModifier, 10, 1}, // AZERTY "&"
            {Qt::Key_2, Qt::KeypadModifier, 88, 1},     // keypad 2
            {Qt::Key_Eacute, Qt::NoModifier, 11, 2},    // AZERTY "é"
        };
        QTest::keyClick(field(), Qt::Key_2);
        for (const auto& [key, modifiers, scanCode, weapon] : presses) {
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, modifiers, scanCode, 0, 0);
                QApplication::sendEvent(field(), &event);
            }
            QCOMPARE(form().WeaponChoice, weapon);
        }
    }

    // A controller's buttons and axes reach the input policy (each of them:
    // input_policy_test); two controllers share the arrows; pulling one out
    // lets go of what only it held. A crash shakes the controller; then
    // Start or South starts a new game.
    void controllersAreKeysAndComeAndGo() {
        VirtualPad pad;
        VirtualPad other;
        QTRY_COMPARE(w().gamepads().connected(), 2);
        const std::tuple<VirtualPad*, int, int, int, std::array<int, 4>> steps[] = {
            {&pad, SDL_CONTROLLER_BUTTON_DPAD_UP, -1, 1, {0, 1, 0, 0}},
            {&other, SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 1, {1, 1, 0, 0}},
            {&pad, SDL_CONTROLLER_BUTTON_DPAD_UP, -1, 0, {1, 0, 0, 0}},
            {&other, SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 0, {0, 0, 0, 0}},
            {&pad, -1, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, {0, 0, 0, 1}},
            {&other, -1, SDL_CONTROLLER_AXIS_LEFTY, 20000, {0, 0, 0, 1}},
        };
        for (const auto& [which, button, axis, value, arrows] : steps) {
            if (axis < 0) {
                which->set(button, value);
            } else {
                which->tilt(axis, value);
            }
            w().gamepads().poll();
            QVERIFY2(held() == arrows, qPrintable(QString::number(value)));
        }
        pad.unplug();
        QTRY_COMPARE(w().gamepads().connected(), 1);
        QCOMPARE(held(), (std::array{0, 0, 0, 1})); // the other's stick still holds Down
        other.tilt(SDL_CONTROLLER_AXIS_LEFTY, 0);
        VirtualPad third;
        QTRY_COMPARE(w().gamepads().connected(), 2);
        press(third, SDL_CONTROLLER_BUTTON_Y);
        press(third, SDL_CONTROLLER_BUTTON_START);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QVERIFY(paused());
        press(third, SDL_CONTROLLER_BUTTON_START);
        press(third, SDL_CONTROLLER_BUTTON_A);
        QVERIFY(!paused());
        QCOMPARE(form().MissileInFlight, int16_t(1));
        for (const int button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_A}) {
            const int rumbles = third.rumbles;
            third.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
            third.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); // off the road
            w().gamepads().poll();
            QVERIFY(slotsUntil([&] { return form().GameOver; }));
            third.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
            third.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
            QCOMPARE(third.rumbles, rumbles + 1);
            QTRY_COMPARE(third.stillnesses, third.rumbles); // over before the next
            press(third, button);
            QVERIFY(!form().GameOver);
            QVERIFY(!paused());
            QCOMPARE(form().MissileInFlight, int16_t(0)); // a new game, not a shot
        }
    }
};

QTEST_MAIN(WindowTest)

#include "window_qtest.moc"
