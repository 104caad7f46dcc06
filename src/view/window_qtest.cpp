// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the offscreen platform, each test one whole
// scenario driven by keys, menus and mouse as a player would, checked
// against the model and against the pixels on screen.
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
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
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

bool pureRed(const QColor& c) {
    return c.red() >= 235 && c.green() <= 30 && c.blue() <= 30;
}

// Runs inspect on the modal window once it is up, from inside its event
// loop; closes it anyway if inspect did not, so a failure cannot hang.
void whenModalOpens(const std::function<void(QWidget*)>& inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        inspect(modal);
        if (modal->isVisible()) {
            modal->close();
        }
    });
    poll->start(20);
}

QString plain(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage paint(const Form& form, const SpritePictures& pictures, const ExplosionEffect& explosion) {
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
    QImage carBox() { return expectedCarBox(w().playField().pictures(), QSize(25, 44), dpr_); }

    void open(const std::filesystem::path& folder, uint32_t seed) {
        window_ = std::make_unique<MainWindow>(folder, seed);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        dpr_ = field()->devicePixelRatioF();
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        open(data_->fsPath(), 7);
    }
    void cleanup() {
        window_.reset();
        data_.reset();
        qunsetenv("KESTRADA_TICK_LOG");
    }

    // Start, keys from wherever the focus is, driving, pause, the sound
    // switches, a crash, Enter, and closing with a beaten high score.
    void aGameFromStartToCrashToClose() {
        QCOMPARE(w().windowTitle(), QStringLiteral(" Kestrada"));
        QCOMPARE(field()->size(), QSize(590, 477));
        QCOMPARE(w().minimumSize(), w().maximumSize());
        QVERIFY(!(w().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
        QCOMPARE(form().imgCar().Left, 386.0f);
        for (int i = 0; i < kPictureCount; ++i) {
            QVERIFY(w().playField().pictures().hasArtwork(Picture(i)));
        }
        const QImage start = grab(QStringLiteral("start"));
        QCOMPARE(start.size(), QSize(590, 477) * dpr_);

        // Play keys reach the game from the menu bar, past a shortcut on Esc;
        // the keypad's digits are not the weapon keys.
        QAction stealer(QStringLiteral("steals Esc"), &w());
        stealer.setShortcut(Qt::Key_Escape);
        w().addAction(&stealer);
        QSignalSpy stolen(&stealer, &QAction::triggered);
        w().menuBar()->setFocus();
        QTest::keyClick(w().menuBar(), Qt::Key_2);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        QTest::keyClick(w().menuBar(), Qt::Key_1);
        QTest::keyClick(w().menuBar(), Qt::Key_Space);
        QCOMPARE(form().MissileInFlight, int16_t(1));
        field()->setFocus();

        // A held key repeats as release and press pairs: the flag holds.
        QTest::keyPress(field(), Qt::Key_Up);
        for (int i = 0; i < 3; ++i) {
            sendAutoRepeat(field(), QEvent::KeyRelease, Qt::Key_Up);
            sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
            QCOMPARE(form().UpHeld, int16_t(1));
        }
        QTRY_VERIFY(form().Speed >= 3);
        QTest::keyPress(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().picCar().Visible, 3000);
        QTest::keyRelease(field(), Qt::Key_Left);
        QTRY_VERIFY_WITH_TIMEOUT(form().Speed >= 8, 3000);
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(stolen.count(), 0);
        QVERIFY(form().lblPaused().Visible);

        // Paused: the car in its box and the label in red.
        const QImage paused = grab(QStringLiteral("paused"));
        const QRect car = deviceRect(form().picCar(), dpr_);
        QVERIFY(samePixels(paused.copy(car), carBox()));
        QVERIFY(!samePixels(start.copy(car), paused.copy(car)));
        const QRect label = deviceRect(form().lblPaused(), dpr_);
        int red = 0;
        for (int y = label.top(); y < label.bottom(); y += 2) {
            for (int x = label.left(); x < label.right(); x += 2) {
                red += pureRed(paused.pixelColor(x, y)) ? 1 : 0;
            }
        }
        QVERIFY2(red > 100, qPrintable(QString::number(red)));
        QCOMPARE(action(&Form::mnuPause)->text(), QStringLiteral("Un&pause"));
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::ArrowCursor);
        // A held Esc does not flicker the pause; a repeated Up is ignored.
        QTest::keyRelease(field(), Qt::Key_Up);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Escape);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Up);
        QVERIFY(form().lblPaused().Visible);
        QCOMPARE(form().UpHeld, int16_t(0));
        const int ticks = form().TickCount;
        QTest::qWait(120);
        QCOMPARE(form().TickCount, ticks);
        QTest::keyClick(&w(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!form().lblPaused().Visible);
        QCOMPARE(action(&Form::mnuPause)->text(), QStringLiteral("&Pause"));
        QCOMPARE(field()->cursor().shape(), Qt::BlankCursor);
        QTRY_VERIFY(form().TickCount > ticks);

        // The sound switches carry check marks; the hidden Scores menu's
        // shortcut is out of reach (it would release the held keys).
        action(&Form::mnuMusic)->trigger();
        QVERIFY(!form().mnuMusic.Checked && !action(&Form::mnuMusic)->isChecked());
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form().mnuEffects.Checked && !action(&Form::mnuEffects)->isChecked());
        QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(action(&Form::mnuEffects)->isChecked());
        QVERIFY(!action(&Form::mnuScores)->isVisible());
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyClick(&w(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(form().UpHeld, int16_t(1));

        // Off the right-hand edge: the wreck and the cracked dashboard.
        QTest::keyPress(field(), Qt::Key_Up);
        QTest::keyPress(field(), Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 3000);
        QTest::keyRelease(field(), Qt::Key_Right);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QImage crash = grab(QStringLiteral("crash"));
        QVERIFY(!action(&Form::mnuPause)->isEnabled());
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(field()->cursor().shape(), Qt::ArrowCursor);
        const QRect wreck = deviceRect(form().imgWreck(), dpr_);
        QVERIFY(!samePixels(crash.copy(wreck), carBox()));
        QVERIFY(!samePixels(start.copy(wreck), crash.copy(wreck)));
        const QRect dash = deviceRect(form().imgDash(), dpr_);
        QVERIFY(!samePixels(start.copy(dash), crash.copy(dash)));
        // Esc and a held Enter do nothing now; a fresh Enter starts over.
        QTest::keyClick(field(), Qt::Key_Escape);
        sendAutoRepeat(field(), QEvent::KeyPress, Qt::Key_Return);
        QVERIFY(form().GameOver && !form().lblPaused().Visible);
        QTest::keyClick(field(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!form().GameOver);
        QVERIFY(action(&Form::mnuPause)->isEnabled());
        QVERIFY(w().frameTimerActive());

        // On the verge the car gathers points; closing saves a beaten best.
        QSignalSpy ended(&w(), &MainWindow::programEnded);
        const double best = std::stod(form().lblHighScore().Caption);
        QVERIFY(best > 0);
        QTest::keyPress(field(), Qt::Key_Up);
        QTRY_VERIFY_WITH_TIMEOUT(form().Score > best + 1, 15000);
        QTest::keyRelease(field(), Qt::Key_Up);
        const QString score = QString::fromStdString(form().lblScore().Caption);
        QVERIFY(w().close());
        QCOMPARE(ended.count(), 1);
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(QString::fromLatin1(contentOf(data_->filePath(QStringLiteral("Kestrada.txt")))),
                 u'"' + score + QStringLiteral("\"\r\n"));
        w().close();
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form().lblPaused().Visible);
    }

    // Help and About pause the game, show their words, close with OK and
    // leave it paused; opened while paused, they leave the pause alone.
    void helpAndAboutPauseAndCloseWithOk() {
        QString seen;
        const auto inspect = [&](QWidget* modal) {
            seen = modal->windowTitle() + u'|' + QString::number(w().frameTimerActive()) + u'|';
            if (auto* help = qobject_cast<HelpDialog*>(modal)) {
                seen += help->lblInstructions()->text() + u'|' +
                        QString::number(help->lblInstructions()->font().pixelSize());
                saveScreenshot(help->grab().toImage(), QStringLiteral("help.png"));
                QTest::mouseClick(help->cmdOK(), Qt::LeftButton);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen += box->text() + u'|' + QString::number(box->buttons().size());
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
            seen += modal->isVisible() ? QStringLiteral("|open") : QStringLiteral("|closed");
        };
        whenModalOpens(inspect);
        action(&Form::mnuHowToPlay)->trigger(); // returns when the window closes
        QCOMPARE(seen, QStringLiteral(" How to Play Kestrada...|0|") + plain(helpInstructions()) +
                           QStringLiteral("|15|closed"));
        QVERIFY(form().lblPaused().Visible);
        whenModalOpens(inspect);
        action(&Form::mnuAbout)->trigger();
        QCOMPARE(seen, QStringLiteral("About Kestrada...|0|") + plain(aboutText()) +
                           QStringLiteral("|1|closed"));
        QVERIFY(form().lblPaused().Visible);
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!form().lblPaused().Visible && w().frameTimerActive());
    }

    // The painter alone, with no artwork: placeholders show which picture
    // lands where, so layers, order and hidden controls show.
    void paintingFollowsTheModel() {
        // A broken picture and missing ones become plain placeholders.
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("pictures"));
        QFile broken(dir.filePath(QStringLiteral("pictures/car.svg")));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("<svg this is not") > 0);
        broken.close();
        SpritePictures pictures(dir.filePath(QStringLiteral("pictures")));
        QVERIFY(!pictures.hasArtwork(Picture::Car));
        Form f;
        pictures.prepare(1.0, picturesUsedBy(f));
        const ExplosionEffect none(f.imgBoom());
        const auto at = [](const QImage& frame, double x, double y) {
            return frame.pixelColor(int(x), int(y));
        };
        f.linSpeed = Line{536, 182, 536, 150, true};
        QImage frame = paint(f, pictures, none);
        QCOMPARE(at(frame, f.imgHog().Left + 5, f.imgHog().Top + 5),
                 placeholderColour(Picture::Road)); // hidden
        QCOMPARE(at(frame, 536, 165), QColor(255, 0, 0));
        // The car picture over its wreck until the wreck is brought forward;
        // the median's box above every picture, the car's box above it.
        const auto put = [](Control& c, float left, float top) {
            c.Left = left;
            c.Top = top;
            c.Visible = true;
        };
        put(f.imgCar(), 100, 100);
        put(f.imgWreck(), 100, 100);
        put(f.imgMdead(), 300, 400);
        put(f.picCar(), 500, 260);
        frame = paint(f, pictures, none);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Car));
        QCOMPARE(at(frame, 510, 280), placeholderColour(Picture::Car)); // over the dashboard
        QCOMPARE(at(frame, 305, 405), placeholderColour(Picture::MotoWreck));
        f.bringToFront(ControlId::imgWreck);
        QCOMPARE(at(paint(f, pictures, none), 110, 110), placeholderColour(Picture::CarWreck));
        put(f.picSplit(), 90, 0);
        put(f.picCar(), 120, 200);
        frame = paint(f, pictures, none);
        QCOMPARE(at(frame, 110, 110), placeholderColour(Picture::Median));
        QCOMPARE(at(frame, 130, 210), placeholderColour(Picture::Car));
        // The hall of fame's children sit inside it and show only with it.
        const Control& panel = f.fraScores();
        const QPointF button(panel.Left + f.cmdNewGame().Left + 10,
                             panel.Top + f.cmdNewGame().Top + 3);
        QCOMPARE(at(frame, button.x(), button.y()), placeholderColour(Picture::Road));
        f.fraScores().Visible = true;
        f.linSpeed.Visible = false;
        frame = paint(f, pictures, none);
        QCOMPARE(at(frame, button.x(), button.y()), QColor(255, 128, 0));
        QVERIFY(at(frame, 536, 165) != QColor(255, 0, 0));
        // The title is centred in the panel: its right end lies beyond where
        // it would end if it were placed from the window's corner instead.
        const Control& title = f.lblScoreTitle();
        const QRect titleEnd(int(title.Left + title.Width), int(panel.Top + title.Top),
                             int(panel.Left), int(title.Height));
        int white = 0;
        for (int y = titleEnd.top(); y <= titleEnd.bottom(); ++y) {
            for (int x = titleEnd.left(); x <= titleEnd.right(); ++x) {
                white += frame.pixelColor(x, y) == QColor(255, 255, 255) ? 1 : 0;
            }
        }
        QVERIFY2(white > 50, qPrintable(QString::number(white)));
    }

    // The opt-in tick log: one line per tick, after the tick ran.
    void tickLogWritesALinePerTick() {
        window_.reset();
        const QString path = data_->filePath(QStringLiteral("ticks"));
        qputenv("KESTRADA_TICK_LOG", QFile::encodeName(path));
        Form f;
        f.TickCount = 41;
        f.Speed = 7;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&f] { ++f.TickCount; });
        logTicksIfAsked(timer, f);
        timer.start(5);
        QTRY_VERIFY(f.TickCount >= 44);
        timer.stop();
        const QList<QByteArray> lines = contentOf(path).split('\n');
        QCOMPARE(lines.size(), f.TickCount - 41 + 1);
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            QCOMPARE(fields.size(), 3);
            QCOMPARE(fields[1].toInt(), 42 + i);
            QCOMPARE(fields[2].toInt(), 7);
        }
    }
};

QTEST_MAIN(WindowTest)

#include "window_qtest.moc"
