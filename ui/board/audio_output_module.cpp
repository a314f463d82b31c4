// The sound module: the audio output on Qt Multimedia, loaded by the sound
// player at the program's first sound.

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "ui/board/audio_output.h"

namespace kestrel {
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

// Owns the output of the sound playing.
class SinkOutput final : public AudioOutput {
public:
    static constexpr int kReleaseAfterIdleMs = 2000;
    static constexpr qint64 kMaxBufferUs = 4000000;

    ~SinkOutput() override { close(); }

    void play(const SoundSamples& sound) override
    {
        cutOff();
        const quint64 playing = ++generation_;
        QAudioFormat format;
        format.setSampleRate(sound.sampleRate);
        format.setChannelCount(sound.channels);
        format.setSampleFormat(toQt(sound.format));
        samples_ = sound.bytes;
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

    void cutOff() override
    {
        if (sink_)
            ++cutOff_;
        close();
    }

    void close() override
    {
        if (sink_) {
            sink_->disconnect(this);
            sink_->stop();
        }
        sink_.reset();
        buffer_.reset();
        samples_.clear();
    }

    SoundStatus status() const override { return {generation_, sink_ ? generation_ : 0, cutOff_}; }

private:
    // Lets go of the output if it still plays the sound given, not one started since.
    void release(quint64 playing)
    {
        if (generation_ == playing)
            close();
    }

    quint64 generation_ = 0; // counts the sounds started
    quint64 cutOff_ = 0;
    QByteArray samples_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace
} // namespace kestrel

extern "C" Q_DECL_EXPORT kestrel::AudioOutput* kestrelbay_create_audio_output()
{
    // The multimedia back end keeps process-wide objects; they are made here,
    // on the interface thread that outlives every player.
    QMediaDevices::defaultAudioOutput();
    return new kestrel::SinkOutput;
}
