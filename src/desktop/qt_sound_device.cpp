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
#include <functional>
#include <pthread.h>
#include <vector>

namespace kestrada::desktop {

namespace {

// The stream's room, kept full: a play call is heard within about that.
// Measured on a null sink, asked for 40 ms (Pulse made it 30), a stream
// ran dry some fifty times in 12 s with both cores busy; asked for 80 ms, a
// play call took 42 ms to be heard. A larger room kept only partly full
// ran dry again and again even on an idle machine.
constexpr int kBufferMs = 50;
constexpr int kFeedMs = 10;
// A stream that takes nothing for this long has stopped: the clock takes
// over until it takes frames again.
constexpr std::chrono::milliseconds kStuckAfter{1000};

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
    SinkFeeder(sound::SoundMixer& mixer, std::function<void(bool)> settled)
        : mixer_(mixer), settled_(std::move(settled)) {}

    void open() {
        // Ahead of ordinary work when the system allows it (as it does for
        // audio on many desktops), as sound servers' own threads are; Qt's
        // thread priorities do nothing on Linux. Refused, it runs as before.
        sched_param realtime{};
        realtime.sched_priority = 10;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, &SinkFeeder::tick);
        timer_.start(kFeedMs);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            fail("no sound device");
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
                fail("the sound device failed");
            }
        });
        stream_ = sink_->start();
        if (stream_ == nullptr) {
            fail("the sound device failed");
            return;
        }
        tick();
    }

  private:
    void fail(const char* what) {
        sayOnce(what);
        stream_ = nullptr;
        mixer_.deviceStopped();
        running_ = false;
        settled_(false);
    }

    void tick() {
        const auto now = std::chrono::steady_clock::now();
        if (stream_ != nullptr && feed() > 0) {
            lastFed_ = now;
            if (!running_) {
                running_ = true;
                settled_(true);
            }
            return;
        }
        if (running_ && now - lastFed_ > kStuckAfter) {
            sayOnce("the sound device stopped taking sound");
            mixer_.deviceStopped();
            running_ = false;
        }
        if (!running_) {
            mixer_.followClock();
        }
    }

    // The frames the stream took; none when it is full or has gone.
    std::size_t feed() {
        // A stream whose server has gone reports nonsense for its room.
        const qsizetype room = sink_->bytesFree();
        if (room <= 0 || room > sink_->bufferSize() || sink_->state() == QAudio::StoppedState) {
            return 0;
        }
        const auto frames = static_cast<std::size_t>(room) / sizeof(std::int16_t);
        buffer_.resize(frames);
        mixer_.render(buffer_.data(), frames);
        stream_->write(reinterpret_cast<const char*>(buffer_.data()),
                       static_cast<qint64>(frames * sizeof(std::int16_t)));
        return frames;
    }

    sound::SoundMixer& mixer_;
    std::function<void(bool)> settled_;
    QAudioSink* sink_ = nullptr;
    QIODevice* stream_ = nullptr;
    QTimer timer_{this};
    std::vector<std::int16_t> buffer_;
    bool running_ = false;
    std::chrono::steady_clock::time_point lastFed_{};
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

QtSoundDevice::QtSoundDevice(sound::SoundMixer& mixer) : mixer_(mixer) {
    static const QtMessageHandler previous = qInstallMessageHandler(dropAudioLayerWarnings);
    passOn = previous;
}

QtSoundDevice::~QtSoundDevice() {
    thread_.quit();
    thread_.wait();
}

void QtSoundDevice::start() {
    auto* feeder = new SinkFeeder(mixer_, [this](bool running) { settled(running); });
    feeder->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, feeder, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("sound output"));
    thread_.start(QThread::TimeCriticalPriority);
    QMetaObject::invokeMethod(
        feeder, [feeder] { feeder->open(); }, Qt::QueuedConnection);
}

void QtSoundDevice::settled(bool running) {
    const std::lock_guard hold(lock_);
    settled_ = true;
    running_ = running;
    settledChanged_.notify_all();
}

bool QtSoundDevice::waitUntilRunning(std::chrono::milliseconds limit) {
    std::unique_lock hold(lock_);
    settledChanged_.wait_for(hold, limit, [this] { return settled_; });
    return running_;
}

SoundOutput::SoundOutput()
    : mixer_([this](std::function<void()> call) {
          QMetaObject::invokeMethod(&delivery_, std::move(call), Qt::QueuedConnection);
      }),
      device_(mixer_) {
    device_.start();
    device_.waitUntilRunning(std::chrono::seconds(2));
}

} // namespace kestrada::desktop
