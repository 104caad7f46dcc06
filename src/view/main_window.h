// frmKestrada on screen: owns the model, the sound players and the frame
// timer, feeds keys, menu commands and ticks to the model's handlers and
// brings the window up to date after each of them.
#pragma once

#include "app/form.h"
#include "view/window_host.h"

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace kestrada::view {

class GameMenus;
class PlayField;
class QtSoundPlayer;
class SoundOutput;
struct GameKey;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // appPath: the folder of the wave files, the pictures and the high score.
    MainWindow(const std::filesystem::path& appPath, std::optional<uint32_t> seed,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    const Form& form() const { return form_; }
    PlayField& playField() const { return *playField_; }
    GameMenus& menus() const { return *menus_; }
    bool frameTimerActive() const { return frameTimer_.isActive(); }
    const QTimer& frameTimer() const { return frameTimer_; }

  Q_SIGNALS:
    // Exit has run: the program should end.
    void programEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Runs one handler of the model, then brings the window up to date.
    // Handlers never run inside one another: one that arrives while another
    // runs (from a modal window's event loop) waits until it returns.
    void handle(std::function<void()> handler);
    void syncView();
    void onFrameTimer();
    void onGameKey(const GameKey& key);
    // A key released while another window has focus never reaches us.
    void releaseHeldArrows();
    void endProgram();

    std::unique_ptr<SoundOutput> soundOutput_;
    std::unique_ptr<QtSoundPlayer> sndStart_;
    std::unique_ptr<QtSoundPlayer> sndCrash_;
    std::unique_ptr<QtSoundPlayer> sndMusic_;
    Form form_;
    WindowHost host_;
    PlayField* playField_;
    std::unique_ptr<GameMenus> menus_;
    QTimer frameTimer_;
    std::set<int16_t> heldArrows_;
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
    bool ended_ = false;
    bool closing_ = false; // inside closeEvent, which closes by accepting
};

} // namespace kestrada::view
