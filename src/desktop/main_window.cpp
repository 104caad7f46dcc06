// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/main_window.h"

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
#include "scene/scene.h"
#include "session/menu_commands.h"
#include "sound/clocked_sound_player.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QInputDialog>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QLayout>
#include <QMenuBar>
#include <QProcess>
#include <QTime>
#include <algorithm>

namespace kestrada::desktop {

namespace {
QString pictureDir(const std::filesystem::path& appPath) {
    return QString::fromStdString((appPath / "pictures").string());
}

// The windows this one opens keep its folder for the player's files, so
// their tables and runs are the ones this window shows and sends.
void startWindow(const std::filesystem::path& scores, QStringList arguments) {
    std::error_code ec;
    if (std::filesystem::is_directory(scores, ec)) {
        arguments << QStringLiteral("--data-dir") << QString::fromStdString(scores.string());
    }
    QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
}

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

MainWindow::MainWindow(const std::filesystem::path& appPath, std::optional<uint32_t> seed,
                       QWidget* parent)
    : MainWindow(GameFolders{appPath, appPath}, seed, std::nullopt, std::nullopt, parent) {}

MainWindow::MainWindow(const GameFolders& folders, std::optional<uint32_t> seed,
                       std::optional<session::Replay> replay, std::optional<session::Race> race,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      soundOutput_(std::make_unique<SoundOutput>()),
      sndStart_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())),
      sndCrash_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())),
      sndMusic_(std::make_unique<sound::ClockedSoundPlayer>(soundOutput_->mixer())), host_(*this),
      scoreFolder_(folders.highScore) {
    setRunOpener([scores = folders.highScore](const std::filesystem::path& run) {
        startWindow(scores, {QStringLiteral("--replay"), QString::fromStdString(run.string())});
    });
    play_ = std::make_unique<session::Play>(
        host_, session::PlaySetup{
                   .folders = folders,
                   .seed = seed ? *seed : host_.millisecondsSinceMidnight(),
                   .players = session::SoundPlayers{*sndStart_, *sndCrash_, *sndMusic_},
                   .soundCalls = {},
                   .checks = session::threadedRunChecks(),
                   .chosenRuns = session::ChosenRuns::OwnWindow,
                   .replay = std::move(replay),
                   .race = std::move(race),
               });
    playField_ = new PlayField(*play_, pictureDir(folders.gameData), this);
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
    connect(playField_, &PlayField::hallOfFameClicked, this,
            [this](double x, double y) { runHandler([this, x, y] { play_->click(x, y); }); });
    sndMusic_->setOnEnded([this] { runHandler([this] { play_->musicEnded(); }); });

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
    connect(hallOfFame, &QAction::triggered, this,
            [this] { runHandler([this] { play_->toggleHallOfFame(); }); });
    // Today's road beside it: Ctrl+D, the day's seed from the world's server.
    auto* road = new QAction(this);
    road->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(road, &QAction::triggered, this,
            [this] { runHandler([this] { play_->askForTodaysRoad(); }); });
    auto* server = new QAction(this);
    server->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(server, &QAction::triggered, this, [this] { askForServer(); });
    addActions({zoomIn, zoomOut, hallOfFame, road, server});
    roadStarter_ = [this](uint32_t seed, const std::string& day) {
        QStringList arguments{QStringLiteral("--seed"), QString::number(seed),
                              QStringLiteral("--road"), QString::fromStdString(day)};
        if (const auto& leader = play_->roadRace()) {
            arguments << QStringLiteral("--race")
                      << QString::fromStdString(play_->chosenRun().string())
                      << QStringLiteral("--race-name") << QString::fromStdString(leader->name);
        }
        startWindow(scoreFolder_, arguments);
    };
    setWorldServer("");

    gamepads_ = std::make_unique<Gamepads>(
        *play_, [this] { return isActiveWindow(); }, [this] { runHandler([] {}); });
    fullScreen_ = std::make_unique<FullScreen>(*this, *playField_);

    // Every key reaches the game first, whichever control has the focus.
    qApp->installEventFilter(this);
    playField_->setFocus();

    // The load plays the jingle: its start is logged too when asked.
    logSoundStartsIfAsked(form());
    runHandler([this] { play_->start([this](session::PlayEvent event) { onEvent(event); }); });
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
    const int zoom = std::clamp(playField_->zoom() + step, scene::kMinZoom, scene::kMaxZoom);
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
    while (!waiting_.empty() && !exited_) {
        auto next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    waiting_.clear();
    busy_ = false;
    if (exited_) {
        endProgram();
        return;
    }
    syncView();
}

void MainWindow::onEvent(session::PlayEvent event) {
    switch (event) {
    case session::PlayEvent::Crashed:
        gamepads_->rumble();
        break;
    case session::PlayEvent::Exited:
        exited_ = true;
        break;
    case session::PlayEvent::ReplayChosen:
        openRun_(play_->chosenRun());
        break;
    case session::PlayEvent::Stored:
        break;
    case session::PlayEvent::RoadChosen:
        roadStarter_(play_->roadSeed(), play_->roadDay());
        break;
    case session::PlayEvent::RaceChosen:
        // A window of its own races it, as a chosen run replays in one.
        startWindow(scoreFolder_,
                    {QStringLiteral("--race"), QString::fromStdString(play_->chosenRun().string()),
                     QStringLiteral("--race-name"),
                     QString::fromStdString(play_->chosenRace()->name)});
        break;
    }
}

void MainWindow::setRunOpener(std::function<void(const std::filesystem::path&)> opener) {
    openRun_ = std::move(opener);
}

void MainWindow::syncView() {
    menus_->sync(form());
    setWindowTitle(QString::fromStdString(" " + play_->title()));
    const Qt::CursorShape shape =
        form().mousePointer == MousePointer::Transparent ? Qt::BlankCursor : Qt::ArrowCursor;
    if (playField_->cursor().shape() != shape) {
        playField_->setCursor(shape);
    }
    // The input method is on only while the name field takes the keys.
    const bool naming = play_->tableShown() && play_->hallOfFame().editing();
    if (playField_->testAttribute(Qt::WA_InputMethodEnabled) != naming) {
        playField_->setAttribute(Qt::WA_InputMethodEnabled, naming);
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }
    playField_->update();
}

void MainWindow::onSlot(double slotMs) {
    // Handlers never wait on a dialog, so none is running here; were one
    // to, its slot would wait for it rather than run inside it.
    if (busy_) {
        return;
    }
    session::SlotRunner::Slot slot;
    runHandler([this, &slot, slotMs] { slot = play_->runSlot(slotMs); });
    worldLink_->pump();
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

void MainWindow::onMenuClick(void (Form::*click)()) {
    // Every click the menus and the play field offer is a command.
    if (const auto command = session::commandOf(click)) {
        runHandler([this, command] { play_->menu(*command); });
    }
}

void MainWindow::leave() {
    // A modal help or About window deactivates us too, but its command has
    // paused the game before opening it.
    runHandler([this] { play_->leave(); });
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
        const auto key = gameKeyFor(keyEvent);
        if (!key) {
            return false;
        }
        runHandler([this, key] { play_->key(key->code, key->down, key->repeat); });
        return true;
    }
    case QEvent::InputMethod: {
        // What an input method commits (how Chinese, Japanese or Korean is
        // typed) is the name field's typed text; the game takes none.
        const QString text = static_cast<QInputMethodEvent*>(event)->commitString();
        if (!text.isEmpty() && play_->tableShown()) {
            play_->panelKey(std::nullopt, text.toStdString(), true, false);
            syncView();
        }
        return true;
    }
    case QEvent::FocusOut: {
        // A key released while another window has focus never reaches us.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            play_->releaseKeys();
        }
        return false;
    }
    case QEvent::WindowDeactivate:
        if (watched == this) {
            leave();
        }
        return false;
    case QEvent::WindowStateChange:
        if (watched == this && isMinimized()) {
            leave();
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
    runHandler([this] { play_->menu(session::MenuCommand::mnuExit); });
    closing_ = false;
    event->setAccepted(ended_);
}

void MainWindow::endProgram() {
    ended_ = true;
    frames_->stop();
    if (!closing_) {
        close();
    }
    Q_EMIT programEnded();
}

bool MainWindow::hallOfFameKey(const QKeyEvent& event) {
    if (!play_->tableShown()) {
        return false;
    }
    const bool taken = play_->panelKey(panelKey(event.key()), event.text().toStdString(),
                                       event.type() != QEvent::KeyRelease, event.isAutoRepeat());
    syncView();
    return taken;
}

void MainWindow::setWorldServer(const std::string& url) {
    worldLink_.reset();
    play_->setWorldServer(url);
    worldLink_ = std::make_unique<QtWorldLink>(play_->world(), [this] { return frames_->now(); });
    connect(worldLink_.get(), &QtWorldLink::answered, playField_, [this] { playField_->update(); });
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
    dialog->setTextValue(QString::fromStdString(play_->world().server()));
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
