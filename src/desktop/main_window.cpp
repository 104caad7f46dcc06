// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/main_window.h"

#include "app/key_codes.h"
#include "desktop/command_line.h"
#include "desktop/frame_pacer.h"
#include "desktop/full_screen.h"
#include "desktop/game_menus.h"
#include "desktop/gamepad.h"
#include "desktop/key_mapping.h"
#include "desktop/play_field.h"
#include "desktop/qt_sound_device.h"
#include "desktop/qt_world_link.h"
#include "desktop/tick_log.h"
#include "desktop/zoom_setting.h"
#include "session/menu_commands.h"
#include "session/recording.h"
#include "sound/clocked_sound_player.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFocusEvent>
#include <QInputDialog>
#include <QLayout>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>

namespace kestrada::desktop {

namespace {
QString pictureDir(const std::filesystem::path& appPath) {
    return QString::fromStdString((appPath / "pictures").string());
}
} // namespace

MainWindow::MainWindow(const std::filesystem::path& appPath, std::optional<uint32_t> seed,
                       QWidget* parent)
    : MainWindow(GameFolders{appPath, appPath}, seed, parent) {}

MainWindow::MainWindow(const GameFolders& folders, std::optional<uint32_t> seed, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      soundOutput_(std::make_unique<SoundOutput>()),
      sndStart_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())),
      sndCrash_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())),
      sndMusic_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())), host_(*this),
      game_({*sndStart_, *sndCrash_, *sndMusic_}, host_, {.folders = folders, .seed = seed}),
      playField_(new PlayField(game_.form(), pictureDir(folders.gameData), this)),
      hallOfFame_(folders.highScore, session::threadedRunChecks()) {
    if (seed) {
        FileHighScoreStore scores(folders.highScore / kHighScoreFileName);
        sessionRecording_ = session::recordingHeader(*seed, session::startingBest(scores)) + "\n";
    }
    playField_->setHallOfFame(&hallOfFame_);
    setWorldServer("");
    hallOfFame_.setOnNamed([this](const HallOfFameLine& line) { world_->entryNamed(line); });
    runner_.setRecorder([this](const session::InputEvent& event) {
        if (!sessionRecording_.empty()) {
            sessionRecording_ += session::inputLine(event) + "\n";
        }
        if (inputListener_) {
            inputListener_(event);
        }
    });

    showRunTitle();
    setWindowIcon(playField_->pictures().windowIcon());
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setCentralWidget(playField_);
    menus_ = std::make_unique<GameMenus>(*menuBar(), form(),
                                         [this](GameMenus::Click click) { onMenuClick(click); });
    // The client area is fixed; the window is as tall as the menu bar needs.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    frames_ = std::make_unique<FramePacer>(*this);
    connect(frames_.get(), &FramePacer::slotDue, this, &MainWindow::onSlot);
    connect(frames_.get(), &FramePacer::frameDue, this, &MainWindow::onFrame);
    connect(playField_, &PlayField::newGameButtonClicked, this,
            [this] { onMenuClick(&Form::cmdNewGame_Click); });
    connect(playField_, &PlayField::hallOfFameClicked, this, &MainWindow::hallOfFameClick);
    // A replay has the music's ends in its file: the runner ignores these.
    sndMusic_->setOnEnded([this] { deliver({.action = session::InputAction::MusicEnded}); });

    // Not play keys and not in any menu: the window's own comfort.
    auto* zoomIn = new QAction(this);
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn, &QAction::triggered, this, [this] { stepZoom(+1); });
    auto* zoomOut = new QAction(this);
    zoomOut->setShortcuts(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, this, [this] { stepZoom(-1); });
    // The hall of fame is the window's, not the form's: Ctrl+H is How to Play.
    auto* hallOfFame = new QAction(this);
    hallOfFame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(hallOfFame, &QAction::triggered, this, [this] { toggleHallOfFame(); });
    // Today's road: Ctrl+D, the day's seed from the world's server.
    auto* road = new QAction(this);
    road->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(road, &QAction::triggered, this, [this] { askForTodaysRoad(); });
    auto* server = new QAction(this);
    server->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(server, &QAction::triggered, this, [this] { askForServer(); });
    addActions({zoomIn, zoomOut, hallOfFame, road, server});
    roadStarter_ = [](uint32_t seed, const std::string& day) {
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--seed"), QString::number(seed),
                                 QStringLiteral("--road"), QString::fromStdString(day)});
    };

    // A controller plays only the game in front: a press behind another
    // window must not unpause or steer.
    gamepads_ = std::make_unique<Gamepads>(
        policy_, [this] { return form().GameOver; }, [this] { return isActiveWindow(); });

    fullScreen_ = std::make_unique<FullScreen>(*this, *playField_);

    // Every key reaches the game first, whichever control has the focus.
    qApp->installEventFilter(this);
    playField_->setFocus();

    // The load plays the jingle: its start is logged too when asked.
    logSoundStartsIfAsked(form());
    runHandler([this] { game_.start(); });
    frames_->start();
}

MainWindow::~MainWindow() {
    ended_ = true;
    qApp->removeEventFilter(this);
    frames_->stop();
    sndMusic_->setOnEnded({});
}

bool MainWindow::frameTimerActive() const {
    return frames_->active() && form().tmrMain.Enabled;
}

void MainWindow::setZoom(int zoom) {
    fullScreen_->setWindowedZoom(zoom);
    if (!fullScreen_->active()) {
        playField_->setZoom(zoom);
    }
}

void MainWindow::stepZoom(int step) {
    if (fullScreen_->active()) {
        return; // the screen decides
    }
    const int zoom = std::clamp(playField_->zoom() + step, kMinZoom, kMaxZoom);
    if (zoom != playField_->zoom()) {
        setZoom(zoom);
        saveZoom(zoom);
    }
}

void MainWindow::runHandler(std::function<void()> handler) {
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
    menus_->sync(form());
    if (form().GameOver != crashShown_) {
        crashShown_ = form().GameOver;
        if (crashShown_) {
            gamepads_->rumble();
            if (hallOfFame_.gameEnded(form(), false, runner_.replaying(), sessionRecording_)) {
                world_->gameEnded(hallOfFame_, form().lblScore().Caption, sessionRecording_,
                                  session::localTimeNow());
            }
        }
    }
    hallOfFame_.follow(form());
    const Qt::CursorShape shape =
        form().mousePointer == MousePointer::Transparent ? Qt::BlankCursor : Qt::ArrowCursor;
    if (playField_->cursor().shape() != shape) {
        playField_->setCursor(shape);
    }
    playField_->update();
}

void MainWindow::setInputListener(std::function<void(const session::InputEvent&)> listener) {
    inputListener_ = std::move(listener);
}

void MainWindow::showRunTitle() {
    setWindowTitle(QString::fromStdString(" " + session::runTitle(runner_)));
}

void MainWindow::replay(std::vector<session::InputEvent> events) {
    runner_.replay(std::move(events));
    host_.setReplaying();
    showRunTitle();
}

void MainWindow::endReplay() {
    frames_->stop();
    sndStart_->stop();
    sndMusic_->stop();
    sndCrash_->stop();
    showRunTitle();
}

void MainWindow::onSlot(double slotMs) {
    // Handlers never wait on a dialog, so none is running here; were one
    // to, its slot would wait for it rather than run inside it.
    if (busy_) {
        return;
    }
    slotMs_ = slotMs;
    session::SlotRunner::Slot slot;
    runHandler([this, &slot] {
        slot = runner_.runSlot();
        if (slot.ticked) {
            playField_->frameTicked(slotMs_);
        }
    });
    if (slot.replayEnded) {
        endReplay();
    }
    if (hallOfFame_.poll()) {
        playField_->update();
    }
    world_->follow(hallOfFame_);
    worldLink_->pump();
    replayDownloadedRun();
    startTodaysRoad();
    if (ended_ || !slot.ran) {
        return;
    }
    Q_EMIT slotEnded(static_cast<uint32_t>(slot.number), slot.ticked);
}

void MainWindow::onFrame(double nowMs) {
    // Nothing is drawn where nobody can see it.
    if (isVisible() && !isMinimized()) {
        playField_->showFrame(nowMs);
    }
}

void MainWindow::deliver(const session::InputEvent& event) {
    runHandler([this, event] { runner_.input(event); });
}

void MainWindow::onMenuClick(void (Form::*click)()) {
    // Every click the menus and the play field offer is a command.
    if (const auto command = session::commandOf(click)) {
        deliver({.action = session::InputAction::Menu, .command = *command});
    }
}

void MainWindow::onGameKey(const session::InputEvent& event) {
    deliver(event);
    if (runner_.replaying()) { // Esc holds or resumes it
        playField_->setReplayHeld(runner_.held());
        showRunTitle();
    }
}

void MainWindow::pauseOnFocusLoss() {
    // As Esc does, once. A modal help or About window deactivates us too,
    // but its command has paused the game before opening it.
    // It goes through deliver() like any pause, so a recording holds it; a
    // replay has its own pauses in the file and must not gain one.
    if (runner_.replaying()) {
        return;
    }
    runHandler([this] {
        if (!form().GameOver && !form().lblPaused().Visible) {
            deliver(
                {.action = session::InputAction::Menu, .command = session::MenuCommand::mnuPause});
        }
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    if (fullScreen_->handle(watched, event)) {
        return true;
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
        if (hallOfFameKey(keyEvent)) {
            return true;
        }
        if (!gameKeyCode(keyEvent)) {
            return false;
        }
        if (const auto key = gameKeyFor(keyEvent)) {
            policy_.key(key->code, key->down);
        }
        return true;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            policy_.releaseKeyboard();
        }
        return false;
    }
    case QEvent::WindowDeactivate:
        if (watched == this) {
            policy_.releaseKeyboard();
            pauseOnFocusLoss();
        }
        return false;
    case QEvent::WindowStateChange:
        if (watched == this && isMinimized()) {
            policy_.releaseKeyboard();
            pauseOnFocusLoss();
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
    deliver({.action = session::InputAction::Menu, .command = session::MenuCommand::mnuExit});
    closing_ = false;
    event->setAccepted(ended_);
}

void MainWindow::endProgram() {
    if (hallOfFame_.gameEnded(form(), true, runner_.replaying(), sessionRecording_)) {
        world_->gameEnded(hallOfFame_, form().lblScore().Caption, sessionRecording_,
                          session::localTimeNow());
    }
    ended_ = true;
    frames_->stop();
    if (!closing_) {
        close();
    }
    Q_EMIT programEnded();
}

void MainWindow::toggleHallOfFame() {
    if (hallOfFame_.toggle(form())) {
        // As help does: the game waits while the table is looked at.
        deliver({.action = session::InputAction::Menu, .command = session::MenuCommand::mnuPause});
    }
    playField_->update();
}

namespace {
std::optional<session::HallOfFamePanel::Key> panelKey(int key) {
    using Key = session::HallOfFamePanel::Key;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Escape:
        return Key::Esc;
    case Qt::Key_Backspace:
        return Key::Backspace;
    case Qt::Key_Delete:
        return Key::Delete;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    default:
        return std::nullopt;
    }
}
} // namespace

bool MainWindow::hallOfFameKey(const QKeyEvent& event) {
    if (!hallOfFame_.shown()) {
        return false;
    }
    const bool taken = world_->press(hallOfFame_, panelKey(event.key()), event.text().toStdString(),
                                     event.type() != QEvent::KeyRelease, event.isAutoRepeat());
    replayChosenRun();
    playField_->update();
    return taken;
}

void MainWindow::hallOfFameClick(double x, double y) {
    if (world_->click(hallOfFame_, form(), x, y) == session::HallOfFamePanel::Click::NewGame) {
        onMenuClick(&Form::cmdNewGame_Click);
    }
    replayChosenRun();
    playField_->update();
}

void MainWindow::replayChosenRun() {
    const auto run = hallOfFame_.takeChosen();
    if (!run) {
        return;
    }
    // A run replays as --replay does, in a window of its own.
    QProcess::startDetached(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--replay"), QString::fromStdString(run->string())});
}

void MainWindow::setWorldServer(const std::string& url) {
    worldLink_.reset();
    world_ = std::make_unique<session::HallOfFameWorld>(hallOfFame_.folder(), url);
    worldLink_ = std::make_unique<QtWorldLink>(*world_, [this] { return frames_->now(); });
    connect(worldLink_.get(), &QtWorldLink::answered, playField_, [this] { playField_->update(); });
    playField_->setHallOfFameWorld(world_.get());
}

void MainWindow::replayDownloadedRun() {
    const auto run = world_->takeDownloadedRun();
    if (!run) {
        return;
    }
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/kestrada-world-run-XXXXXX.txt"));
    file.setAutoRemove(false);
    if (file.open() && file.write(run->data(), static_cast<qint64>(run->size())) ==
                           static_cast<qint64>(run->size())) {
        file.close();
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--replay"), file.fileName()});
    }
}

void MainWindow::askForTodaysRoad() {
    world_->askRoad();
    // The panel says what became of it.
    if (!hallOfFame_.shown()) {
        toggleHallOfFame();
    }
    playField_->update();
}

void MainWindow::startTodaysRoad() {
    if (const auto seed = world_->takeRoadSeed()) {
        roadStarter_(*seed, world_->roadDay());
    }
}

void MainWindow::askForServer() {
    // Not modal to the game's loop: the window's frames go on, and leaving
    // the window for the dialog pauses a running game as any other window does.
    auto* dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("World server"));
    dialog->setLabelText(QStringLiteral(
        "The kestrada-server your hall-of-fame runs are sent to (the name, the run,\n"
        "and your address as the server sees it). Empty: none, nothing is sent."));
    dialog->setTextValue(QString::fromStdString(world_->server()));
    connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString& text) {
        const QString url = text.trimmed();
        if (!url.isEmpty() && !isServerAddress(url)) {
            return; // not an address: the one kept stays
        }
        saveServer(url.toStdString());
        setWorldServer(url.toStdString());
    });
    dialog->open();
}

} // namespace kestrada::desktop
