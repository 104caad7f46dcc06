// A sound player over Qt Multimedia. The game's stop keeps the position
// (unpausing resumes the music where it stopped), so it pauses the media
// player rather than stopping it, which would rewind.
#pragma once

#include "app/sound_player.h"

#include <QObject>
#include <functional>

class QAudioOutput;
class QMediaPlayer;

namespace kestrada::view {

class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT

  public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void load(const std::string& path) override;
    void play() override;
    void stop() override;
    void setPosition(long position) override;
    int mode() const override;

    // Milliseconds into the sound.
    qint64 positionMs() const;

    // Called when a playback runs to its end by itself (not on stop).
    void setOnEnded(std::function<void()> onEnded) { onEnded_ = std::move(onEnded); }

  private:
    QMediaPlayer* player_;
    QAudioOutput* output_;
    std::function<void()> onEnded_;
};

} // namespace kestrada::view
