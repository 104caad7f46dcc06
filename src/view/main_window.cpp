#include "view/main_window.h"

#include "view/game_menus.h"
#include "view/key_mapping.h"
#include "view/play_field.h"
#include "view/qt_sound_player.h"
#include "view/sound_output.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QLayout>
#include <QMenuBar>

namespace kestrada::view {

namespace {
QString pictureDir(const std::filesystem::path& appPath) {
    return QString::fromStdString((appPath / "pictures").string());
}
} // namespace

MainWindow::MainWindow(const std::filesystem::path& appPath, std::optional<uint32_t> seed,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      soundOutput_(std::make_unique<SoundOutput>()),
      sndStart_(std::make_unique<QtSoundPlayer>(&soundOutput_->mixer())),
      sndCrash_(std::make_unique<QtSoundPlayer>(&soundOutput_->mixer())),
      sndMusic_(std::make_unique<QtSoundPlayer>(&soundOutput_->mixer())),
      host_(*this, [this] { syncView(); }),
      playField_(new PlayField(form_, pictureDir(appPath), this)) {
    form_.appPath = appPath;
    form_.seedOverride = seed;
    form_.sndStart = sndStart_.get();
    form_.sndCrash = sndCrash_.get();
    form_.sndMusic = sndMusic_.get();
    form_.host = &host_;

    setWindowTitle(QStringLiteral(" Kestrada"));
    setWindowIcon(playField_->pictures().windowIcon());
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setCentralWidget(playField_);
    menus_ = std::make_unique<GameMenus>(*menuBar(), form_, [this](GameMenus::Click click) {
        handle([this, click] { (form_.*click)(); });
    });
    // The client area is fixed; the window is as tall as the menu bar needs.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &MainWindow::onFrameTimer);
    connect(playField_, &PlayField::newGameButtonClicked, this,
            [this] { handle([this] { form_.cmdNewGame_Click(); }); });
    sndMusic_->setOnEnded([this] { handle([this] { form_.sndMusic_event9(); }); });
    // Every key reaches the game first, whichever control has the focus.
    qApp->installEventFilter(this);
    playField_->setFocus();

    handle([this] { form_.Form_Load(); });
}

MainWindow::~MainWindow() {
    ended_ = true;
    qApp->removeEventFilter(this);
    frameTimer_.stop();
    sndMusic_->setOnEnded({});
}

void MainWindow::handle(std::function<void()> handler) {
    if (ended_) {
        return;
    }
    if (busy_) {
        waiting_.push_back(std::move(handler));
        return;
    }
    busy_ = true;
    handler();
    while (!waiting_.empty() && !host_.endRequested()) {
        auto next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    waiting_.clear();
    busy_ = false;
    if (host_.endRequested()) {
        endProgram();
        return;
    }
    syncView();
}

void MainWindow::syncView() {
    menus_->sync(form_);
    if (form_.tmrMain.Enabled && !frameTimer_.isActive()) {
        frameTimer_.start(form_.tmrMain.Interval);
    } else if (!form_.tmrMain.Enabled && frameTimer_.isActive()) {
        frameTimer_.stop();
    }
    const Qt::CursorShape shape =
        form_.mousePointer == MousePointer::Transparent ? Qt::BlankCursor : Qt::ArrowCursor;
    if (playField_->cursor().shape() != shape) {
        playField_->setCursor(shape);
    }
    playField_->update();
}

void MainWindow::onFrameTimer() {
    // A tick that falls due while a modal window is open is dropped, not
    // saved up: the game counts ticks, not time.
    if (busy_) {
        return;
    }
    handle([this] { form_.tmrMain_Timer(); });
    playField_->frameTicked();
}

void MainWindow::onGameKey(const GameKey& key) {
    if (isArrow(key.code)) {
        if (key.down) {
            heldArrows_.insert(key.code);
        } else {
            heldArrows_.erase(key.code);
        }
    }
    handle([this, key] {
        if (key.down) {
            form_.Form_KeyDown(key.code, key.shift);
        } else {
            form_.Form_KeyUp(key.code, key.shift);
        }
    });
}

void MainWindow::releaseHeldArrows() {
    const std::set<int16_t> held = std::exchange(heldArrows_, {});
    for (const int16_t code : held) {
        handle([this, code] { form_.Form_KeyUp(code, 0); });
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claim the play keys before any shortcut can take them.
        if (isPlayKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto& keyEvent = *static_cast<QKeyEvent*>(event);
        if (!virtualKeyCode(keyEvent.key(), keyEvent.modifiers())) {
            return false;
        }
        if (const auto key = gameKeyFor(keyEvent)) {
            onGameKey(*key);
        }
        return true;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            releaseHeldArrows();
        }
        return false;
    }
    case QEvent::WindowDeactivate:
        if (watched == this) {
            releaseHeldArrows();
        }
        return false;
    default:
        return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // Closing the window is the Exit command; the window goes once it has
    // saved the high score.
    closing_ = true;
    handle([this] { form_.Form_Unload(); });
    closing_ = false;
    event->setAccepted(ended_);
}

void MainWindow::endProgram() {
    ended_ = true;
    frameTimer_.stop();
    if (!closing_) {
        close();
    }
    Q_EMIT programEnded();
}

} // namespace kestrada::view
