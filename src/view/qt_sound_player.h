// A sound player over Qt Multimedia. The game's stop keeps the position
// (unpausing resumes the music where it stopped), so it pauses the media
// player rather than stopping it, which would rewind.
//
// The media framework takes several times longer to start than the window
// itself; a player made with Start::Later keeps what the game asks of it
// until startMedia(), so that the window can show its first frame first.
#pragma once

#include "app/sound_player.h"

#include <QObject>
#include <functional>
#include <vector>

class QAudioOutput;
class QMediaPlayer;

namespace kestrada::view {

class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT

  public:
    enum class Start { Now, Later };

    explicit QtSoundPlayer(QObject* parent = nullptr, Start start = Start::Now);
    ~QtSoundPlayer() override;

    // Creates the media player and carries out, in order, what was asked
    // of it so far. Until then the player reports itself stopped at 0.
    void startMedia();
    bool mediaStarted() const { return player_ != nullptr; }

    void load(const std::string& path) override;
    void play() override;
    void stop() override;
    void setPosition(long position) override;
    int mode() const override;

    // Milliseconds into the sound.
    qint64 positionMs() const;

    // Called when a playback runs to its end by itself (not on stop).
    void setOnEnded(std::function<void()> onEnded) { onEnded_ = std::move(onEnded); }

  Q_SIGNALS:
    // The file given to load() has been opened, or has failed to open, or
    // none was given. Opening a file while another player is still opening
    // one can deadlock the media framework, so players are started in turn.
    void settled();

  private:
    // Runs the request now, or once the media player exists.
    void whenStarted(std::function<void()> request);
    void settle();

    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    std::vector<std::function<void()>> waiting_;
    std::function<void()> onEnded_;
    bool loading_ = false;
};

} // namespace kestrada::view
