#include "view/qt_sound_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace kestrada::view {

QtSoundPlayer::QtSoundPlayer(QObject* parent)
    : QObject(parent), player_(new QMediaPlayer(this)), output_(new QAudioOutput(this)) {
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia && onEnded_) {
                    onEnded_();
                }
            });
    // A file that cannot be played would otherwise leave the player
    // claiming to play it forever.
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] { player_->stop(); });
}

// The media player outlives this object's members by a moment; it must not
// report an end to a callback that is gone.
QtSoundPlayer::~QtSoundPlayer() {
    disconnect(player_, nullptr, this, nullptr);
}

void QtSoundPlayer::load(const std::string& path) {
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtSoundPlayer::play() {
    player_->play();
}

void QtSoundPlayer::stop() {
    if (player_->playbackState() == QMediaPlayer::PlayingState) {
        player_->pause();
    }
}

void QtSoundPlayer::setPosition(long position) {
    player_->setPosition(position);
}

qint64 QtSoundPlayer::positionMs() const {
    return player_->position();
}

int QtSoundPlayer::mode() const {
    const bool playing = player_->playbackState() == QMediaPlayer::PlayingState &&
                         player_->error() == QMediaPlayer::NoError;
    return playing ? kModePlaying : kModeStopped;
}

} // namespace kestrada::view
