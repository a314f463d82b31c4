#include "app/view/sound_player.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/view/wave_file.h"

namespace kestrel {

// Lives in the player's thread; owns the output of the sound playing.
class AudioWorker : public QObject {
public:
    static constexpr int kReleaseAfterIdleMs = 2000;
    static constexpr qint64 kMaxBufferUs = 4000000;

    void play(const QAudioFormat& format, const QByteArray& samples)
    {
        cutOff();
        const quint64 playing = ++generation_;
        samples_ = samples;
        buffer_ = std::make_unique<QBuffer>(&samples_);
        buffer_->open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
        // The whole sound in one buffer: it goes to the server at once, and the
        // server starts it as soon as that buffer is full. With the default
        // buffer a click shorter than it waits for the end-of-data handling,
        // and a longer sound depends on this thread topping it up in time.
        sink_->setBufferSize(std::min<qsizetype>(samples_.size(), format.bytesForDuration(kMaxBufferUs)));
        QAudioSink* sink = sink_.get();
        QObject::connect(sink, &QAudioSink::stateChanged, this, [this, playing](QAudio::State state) {
            // Idle means every sample has been handed to the sound server, not
            // that it has been heard: stopping now would cut off the end that
            // the server still holds. Let go of the output a while later.
            // An output that failed plays nothing and is let go with the next
            // sound or stop().
            if (state == QAudio::IdleState)
                QTimer::singleShot(kReleaseAfterIdleMs, this, [this, playing] { release(playing); });
        });
        sink->start(buffer_.get());
    }

    // Lets go of the output if it still plays the sound given, not one started since.
    void release(quint64 playing)
    {
        if (generation_ == playing)
            close();
    }

    // Stops the sound that holds the output, if any, before its time.
    void cutOff()
    {
        if (sink_)
            ++cutOff_;
        close();
    }

    void close()
    {
        if (sink_) {
            sink_->disconnect(this);
            sink_->stop();
        }
        sink_.reset();
        buffer_.reset();
        samples_.clear();
    }

    SoundPlayer::Status status() const { return {generation_, sink_ ? generation_ : 0, cutOff_}; }

private:
    quint64 generation_ = 0; // counts the sounds started
    quint64 cutOff_ = 0;
    QByteArray samples_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

namespace {

QAudioFormat::SampleFormat toQt(SampleFormat format)
{
    switch (format) {
    case SampleFormat::UInt8:
        return QAudioFormat::UInt8;
    case SampleFormat::Int16:
        return QAudioFormat::Int16;
    case SampleFormat::Int32:
        return QAudioFormat::Int32;
    case SampleFormat::Float:
        return QAudioFormat::Float;
    }
    return QAudioFormat::Unknown;
}

} // namespace

SoundPlayer::SoundPlayer() = default;

void SoundPlayer::open()
{
    if (worker_ != nullptr)
        return;
    // The multimedia back end keeps process-wide objects; create them here,
    // on the interface thread that outlives every player.
    QMediaDevices::defaultAudioOutput();
    worker_ = new AudioWorker;
    thread_.setObjectName(QStringLiteral("sound"));
    worker_->moveToThread(&thread_);
    thread_.start();
}

SoundPlayer::~SoundPlayer()
{
    if (worker_ == nullptr)
        return;
    AudioWorker* worker = worker_;
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->close();
            delete worker;
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

bool SoundPlayer::play(const QByteArray& wave)
{
    const std::optional<WaveClip> clip =
        parseWave(std::string_view(wave.constData(), static_cast<std::size_t>(wave.size())));
    if (!clip)
        return false;
    QAudioFormat format;
    format.setSampleRate(clip->sampleRate);
    format.setChannelCount(clip->channels);
    format.setSampleFormat(toQt(clip->format));
    const QByteArray samples =
        wave.mid(static_cast<qsizetype>(clip->dataOffset), static_cast<qsizetype>(clip->dataSize));
    open();
    AudioWorker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker, format, samples] { worker->play(format, samples); }, Qt::QueuedConnection);
    return true;
}

void SoundPlayer::stop()
{
    if (worker_ == nullptr)
        return; // nothing has played
    AudioWorker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->cutOff(); }, Qt::QueuedConnection);
}

SoundPlayer::Status SoundPlayer::status() const
{
    // Queued behind every earlier play() and stop(), so it sees their effect.
    Status status;
    if (worker_ == nullptr)
        return status;
    AudioWorker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker, &status] { status = worker->status(); }, Qt::BlockingQueuedConnection);
    return status;
}

} // namespace kestrel
