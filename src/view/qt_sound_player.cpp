#include "view/qt_sound_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace kestrada::view {

QtSoundPlayer::QtSoundPlayer(QObject* parent, Start start) : QObject(parent) {
    if (start == Start::Now) {
        startMedia();
    }
}

void QtSoundPlayer::startMedia() {
    if (player_ != nullptr) {
        return;
    }
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status != QMediaPlayer::LoadingMedia) {
                    settle();
                }
                if (status == QMediaPlayer::EndOfMedia && onEnded_) {
                    onEnded_();
                }
            });
    // A file that cannot be played would otherwise leave the player
    // claiming to play it forever.
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] {
        player_->stop();
        settle();
    });
    for (auto& request : std::exchange(waiting_, {})) {
        request();
    }
    if (!loading_) {
        QMetaObject::invokeMethod(this, &QtSoundPlayer::settled, Qt::QueuedConnection);
    } else {
        // A framework that never answers must not keep the other players silent.
        QTimer::singleShot(3000, this, &QtSoundPlayer::settle);
    }
}

void QtSoundPlayer::settle() {
    if (loading_) {
        loading_ = false;
        Q_EMIT settled();
    }
}

// The media player outlives this object's members by a moment; it must not
// report an end to a callback that is gone.
QtSoundPlayer::~QtSoundPlayer() {
    if (player_ != nullptr) {
        disconnect(player_, nullptr, this, nullptr);
    }
}

void QtSoundPlayer::whenStarted(std::function<void()> request) {
    if (player_ != nullptr) {
        request();
    } else {
        waiting_.push_back(std::move(request));
    }
}

void QtSoundPlayer::load(const std::string& path) {
    whenStarted([this, path] {
        loading_ = true;
        player_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
        if (player_->mediaStatus() != QMediaPlayer::LoadingMedia) {
            QMetaObject::invokeMethod(this, &QtSoundPlayer::settle, Qt::QueuedConnection);
        }
    });
}

void QtSoundPlayer::play() {
    whenStarted([this] { player_->play(); });
}

void QtSoundPlayer::stop() {
    whenStarted([this] {
        if (player_->playbackState() == QMediaPlayer::PlayingState) {
            player_->pause();
        }
    });
}

void QtSoundPlayer::setPosition(long position) {
    whenStarted([this, position] { player_->setPosition(position); });
}

qint64 QtSoundPlayer::positionMs() const {
    return player_ != nullptr ? player_->position() : 0;
}

int QtSoundPlayer::mode() const {
    const bool playing = player_ != nullptr &&
                         player_->playbackState() == QMediaPlayer::PlayingState &&
                         player_->error() == QMediaPlayer::NoError;
    return playing ? kModePlaying : kModeStopped;
}

} // namespace kestrada::view
