// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/qt_sound_device.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <vector>

namespace kestrada::desktop {

namespace {

// Short, so that a play call is heard within one buffer; long enough to
// ride out a busy moment of a loaded machine.
constexpr int kBufferMs = 40;
constexpr int kFeedMs = 10;

void sayOnce(const char* what) {
    static bool said = false;
    if (!said) {
        said = true;
        std::fprintf(stderr, "kestrada: %s; the game plays on without sound\n", what);
    }
}

// Lives on the output thread, which creates the sink and keeps its buffer
// topped up from the mixer every 10 ms. Pushing rather than letting the
// sink pull: Qt's pull reads one 20 ms period per 20 ms timer tick, and a
// play call took about 100 ms to be heard that way, against 15 ms pushed.
class SinkFeeder : public QObject {
  public:
    explicit SinkFeeder(sound::SoundMixer& mixer) : mixer_(mixer) {}

    void open() {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            sayOnce("no sound device");
            return;
        }
        QAudioFormat format;
        format.setSampleRate(sound::kOutputRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = new QAudioSink(device, format, this);
        sink_->setBufferSize(sound::kOutputRate * kBufferMs / 1000 * 2);
        QObject::connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
                sayOnce("the sound device failed");
                timer_.stop();
            }
        });
        stream_ = sink_->start();
        if (stream_ == nullptr) {
            sayOnce("the sound device failed");
            return;
        }
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, &SinkFeeder::feed);
        timer_.start(kFeedMs);
        feed();
    }

  private:
    void feed() {
        // A stream whose server has gone reports nonsense for its room.
        const qsizetype room = sink_->bytesFree();
        if (room <= 0 || room > sink_->bufferSize() || sink_->state() == QAudio::StoppedState) {
            return;
        }
        const auto frames = static_cast<std::size_t>(room) / sizeof(std::int16_t);
        buffer_.resize(frames);
        mixer_.render(buffer_.data(), frames, std::chrono::steady_clock::now());
        stream_->write(reinterpret_cast<const char*>(buffer_.data()),
                       static_cast<qint64>(frames * sizeof(std::int16_t)));
    }

    sound::SoundMixer& mixer_;
    QAudioSink* sink_ = nullptr;
    QIODevice* stream_ = nullptr;
    QTimer timer_{this};
    std::vector<std::int16_t> buffer_;
};

// Qt's audio layer reports a missing or lost sound server in words of its
// own, several lines of them; the player hears of it once, from us.
QtMessageHandler passOn = nullptr;
void dropAudioLayerWarnings(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    const QString text = message.startsWith(QLatin1Char('"')) ? message.mid(1) : message;
    for (const char* prefix : {"PulseAudioService", "QPulseAudio", "QAudioSink", "Stream error"}) {
        if (text.startsWith(QLatin1String(prefix))) {
            return;
        }
    }
    if (passOn != nullptr) {
        passOn(type, context, message);
    }
}

} // namespace

SoundOutput::SoundOutput() {
    static const QtMessageHandler previous = qInstallMessageHandler(dropAudioLayerWarnings);
    passOn = previous;
    auto* feeder = new SinkFeeder(mixer_);
    feeder->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, feeder, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("sound output"));
    thread_.start(QThread::TimeCriticalPriority);
    QMetaObject::invokeMethod(
        feeder, [feeder] { feeder->open(); }, Qt::QueuedConnection);
}

SoundOutput::~SoundOutput() {
    thread_.quit();
    thread_.wait();
}

} // namespace kestrada::desktop
