// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the offscreen platform, driven by keys and menus
// as a player would, checked against the model and the pixels on screen.
#include "app/form.h"
#include "app/help_texts.h"
#include "view/frame_painter.h"
#include "view/game_menus.h"
#include "view/help_dialog.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"
#include "view/tick_log.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace kestrada;
using namespace kestrada::view;
using namespace kestrada::view::testing;

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
    const ExplosionEffect explosion(form.imgBoom());
    QImage frame(QSize(590, 477), QImage::Format_ARGB32_Premultiplied);
    frame.fill(QColor(192, 192, 192));
    QPainter painter(&frame);
    paintFrame(painter, form, pictures, explosion);
    return frame;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;
    qreal dpr_ = 1;

    MainWindow& w() { return *window_; }
    const Form& form() { return window_->form(); }
    QWidget* field() { return &window_->playField(); }
    QAction* action(MenuItem Form::*item) { return window_->menus().action(item); }
    QImage grab(const QString& stem) {
        const QImage frame = field()->grab().toImage();
        saveScreenshot(frame, stem + QStringLiteral(".png"));
        return frame;
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 7);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        dpr_ = field()->devicePixelRatioF();
    }
    void cleanup() {
        window_.reset();
        data_.reset();
        qunsetenv("KESTRADA_TICK_LOG");
    }

    // Start, keys from wherever the focus is, driving, pause, the sound
    // switches, a crash, Enter, and closing with a beaten high score.
    void aGameFromStartToCrashToClose() {
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
        const QImage start = grab(QStringLiteral("start"));

        // Play keys reach the game from the menu bar; the keypad's digits are
        // not the weapon keys.
        w().menuBar()->setFocus();
        QTest::keyClick(w().menuBar(), Qt::Key_2);
        QTest::keyClick(w().menuBar(), Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_Space);
        QCOMPARE(form().MissileInFlight, int16_t(1));
        field()->setFocus();

        // A held key repeats as release and press pairs: the flag holds.
        QTest::keyPress(field(), Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyRelease, Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QCOMPARE(form().UpHeld, int16_t(1));
        QTRY_VERIFY(form().Speed >= 3);
        QTest::keyPress(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().picCar().Visible, 3000);
        QTest::keyRelease(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().Speed >= 8, 3000);
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(form().lblPaused().Visible);

        // Paused: the car in its box and the label in red.
        const QImage paused = grab(QStringLiteral("paused"));
        const QRect car = deviceRect(form().picCar(), dpr_);
        QVERIFY(samePixels(paused.copy(car),
                           expectedCarBox(w().playField().pictures(), QSize(25, 44), dpr_)));
        const QRect label = deviceRect(form().lblPaused(), dpr_);
        QVERIFY2(countPixels(paused, label, QColor(255, 0, 0)) > 400, "no red label");
        QVERIFY(!w().frameTimerActive() && field()->cursor().shape() == Qt::ArrowCursor);
        // A held Esc does not flicker the pause; a repeated Up is ignored.
        QTest::keyRelease(field(), Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Escape);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QVERIFY(form().lblPaused().Visible && form().UpHeld == 0);
        QTest::keyClick(&w(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!form().lblPaused().Visible && field()->cursor().shape() == Qt::BlankCursor);

        // Effects has a check mark; the hidden Scores menu's items are out of reach.
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form().mnuEffects.Checked && !action(&Form::mnuEffects)->isChecked());
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(action(&Form::mnuEffects)->isChecked() &&
                !action(&Form::mnuHighScores)->isVisible());
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyClick(&w(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(form().UpHeld, int16_t(1));

        // Off the right-hand edge: the wreck and the cracked dashboard.
        QTest::keyPress(field(), Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 3000);
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QImage crash = grab(QStringLiteral("crash"));
        QVERIFY(!action(&Form::mnuPause)->isEnabled() && !w().frameTimerActive());
        const QRect wreck = deviceRect(form().imgWreck(), dpr_);
        QVERIFY(!samePixels(start.copy(wreck), crash.copy(wreck)));
        const QRect dash = deviceRect(form().imgDash(), dpr_);
        QVERIFY(!samePixels(start.copy(dash), crash.copy(dash)));
        // Esc and a held Enter do nothing now; a fresh Enter starts over.
        QTest::keyClick(field(), Qt::Key_Escape);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Return);
        QVERIFY(form().GameOver && !form().lblPaused().Visible);
        QTest::keyClick(field(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!form().GameOver && w().frameTimerActive());

        // Closing the window ends the program through the game's unload.
        QSignalSpy ended(&w(), &MainWindow::programEnded);
        QVERIFY(w().close());
        QVERIFY(ended.count() == 1 && !w().frameTimerActive());
    }

    // Help pauses the game, shows its words, closes with OK and leaves it paused.
    void helpPausesAndClosesWithOk() {
        QString seen;
        QTimer poll; // looks at the dialog from inside its event loop
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* help = qobject_cast<HelpDialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                const QLabel* text = help->lblInstructions();
                seen = help->windowTitle() + QString::number(w().frameTimerActive()) +
                       text->text() + QString::number(text->font().pixelSize());
                QTest::mouseClick(help->cmdOK(), Qt::LeftButton);
                seen += help->isVisible() ? QStringLiteral(" OK did not close it") : QString();
                QTimer::singleShot(500, help, &QWidget::close); // so a failure cannot hang
            }
        });
        poll.start(20);
        action(&Form::mnuHowToPlay)->trigger(); // returns when the window closes
        const QString words = QString::fromStdString(helpInstructions()).remove(u'\r');
        QCOMPARE(seen, u" How to Play Kestrada...0" + words + u"15");
        QVERIFY(form().lblPaused().Visible);
    }

    // The painter alone, with no artwork: placeholders show which picture
    // lands where, so layers, order and hidden controls show.
    void paintingFollowsTheModel() {
        // A broken picture and missing ones become plain placeholders.
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("car.svg")));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("<svg this is not") > 0);
        broken.close();
        SpritePictures pictures(dir.path());
        QVERIFY(!pictures.hasArtwork(Picture::Car));
        Form f;
        pictures.prepare(1.0, picturesUsedBy(f));
        f.linSpeed = Line{536, 182, 536, 150, true};
        QImage frame = paint(f, pictures);
        QCOMPARE(at(frame, 536, 165), QColor(255, 0, 0));
        // The car picture over its wreck until the wreck is brought forward;
        // the median's box above every picture, the car's box above it.
        const auto put = [](Control& c, float x, float y) {
            c.Left = x, c.Top = y, c.Visible = true;
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

    // The opt-in tick log: one line per tick, after the tick ran.
    void tickLogWritesALinePerTick() {
        const QString path = data_->filePath(QStringLiteral("ticks"));
        qputenv("KESTRADA_TICK_LOG", QFile::encodeName(path));
        Form f;
        f.TickCount = 41, f.Speed = 7;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&f] { ++f.TickCount; });
        logTicksIfAsked(timer, f);
        timer.start(5);
        QTRY_VERIFY(f.TickCount >= 44);
        timer.stop();
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        QCOMPARE(lines.size(), f.TickCount - 41 + 1);
        QCOMPARE(lines[0].split(' ').mid(1), QList<QByteArray>({"42", "7"}));
    }
};

QTEST_MAIN(WindowTest)

#include "window_qtest.moc"
