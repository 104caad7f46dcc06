// The help window and the About box, opened from the real main window: they
// pause the game, show their words, and close with their OK button.
#include "app/form.h"
#include "app/help_texts.h"
#include "view/game_menus.h"
#include "view/help_dialog.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

namespace {
QString plain(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Runs inspect on the modal window once it is up, from inside its own event
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
} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;

    const Form& form() { return window_->form(); }
    QAction* action(kestrada::MenuItem Form::*item) { return window_->menus().action(item); }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 3);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        window_.reset();
        data_.reset();
    }

    void helpWindowPausesShowsTheInstructionsAndClosesWithOk() {
        QString title;
        QString text;
        QString buttonCaption;
        QSize clientSize;
        QRect labelGeometry;
        QRect buttonGeometry;
        int labelPixelSize = 0;
        bool pausedWhileOpen = false;
        bool tickingWhileOpen = true;
        bool closedByOk = false;
        whenModalOpens([&](QWidget* modal) {
            auto* help = qobject_cast<kestrada::view::HelpDialog*>(modal);
            if (help == nullptr) {
                return;
            }
            title = help->windowTitle();
            clientSize = help->size();
            text = help->lblInstructions()->text();
            labelGeometry = help->lblInstructions()->geometry();
            labelPixelSize = help->lblInstructions()->font().pixelSize();
            buttonCaption = help->cmdOK()->text();
            buttonGeometry = help->cmdOK()->geometry();
            pausedWhileOpen = form().lblPaused().Visible;
            tickingWhileOpen = window_->frameTimerActive();
            saveScreenshot(help->grab().toImage(), QStringLiteral("help.png"));
            QTest::mouseClick(help->cmdOK(), Qt::LeftButton);
            closedByOk = !help->isVisible();
        });
        action(&Form::mnuHowToPlay)->trigger(); // returns when the window closes

        QCOMPARE(title, QStringLiteral(" How to Play Kestrada..."));
        QCOMPARE(clientSize, QSize(520, 412));
        QCOMPARE(text, plain(kestrada::helpInstructions()));
        QVERIFY(text.endsWith(QStringLiteral("ENTER starts a new game; ESC pauses.")));
        QCOMPARE(labelGeometry, QRect(8, 16, 505, 337));
        QCOMPARE(labelPixelSize, 15);
        QCOMPARE(buttonCaption, QStringLiteral("&OK"));
        QCOMPARE(buttonGeometry, QRect(215, 360, 89, 33));
        QVERIFY(pausedWhileOpen);
        QVERIFY(!tickingWhileOpen);
        QVERIFY(closedByOk);
        // The game stays paused until the player resumes it.
        QVERIFY(form().lblPaused().Visible);
        QVERIFY(!window_->frameTimerActive());
        QCOMPARE(action(&Form::mnuPause)->text(), QStringLiteral("Un&pause"));
    }

    void helpWhilePausedLeavesThePauseAlone() {
        action(&Form::mnuPause)->trigger();
        QVERIFY(form().lblPaused().Visible);
        whenModalOpens([](QWidget*) {});
        QTest::keyClick(window_.get(), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(form().lblPaused().Visible);
        QTest::keyClick(&window_->playField(), Qt::Key_Escape);
        QVERIFY(!form().lblPaused().Visible);
        QVERIFY(window_->frameTimerActive());
    }

    void aboutBoxShowsTheCreditsWithOnlyAnOkButton() {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        int buttonCount = 0;
        bool hasOk = false;
        bool pausedWhileOpen = false;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return;
            }
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttonCount = int(box->buttons().size());
            hasOk = box->button(QMessageBox::Ok) != nullptr;
            pausedWhileOpen = form().lblPaused().Visible;
            saveScreenshot(box->grab().toImage(), QStringLiteral("about.png"));
            if (hasOk) {
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        action(&Form::mnuAbout)->trigger();

        QCOMPARE(title, QStringLiteral("About Kestrada..."));
        QCOMPARE(text, plain(kestrada::aboutText()));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttonCount, 1);
        QVERIFY(hasOk);
        QVERIFY(pausedWhileOpen);
        QVERIFY(form().lblPaused().Visible);
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_qtest.moc"
