#pragma once
// The sound output as the sound module (kestrelbay-sound.so) provides it.
// The module holds everything that needs the multimedia libraries; the
// program loads it at its first sound, so that a start, and a program that
// plays no game, load none of them.

#include <QByteArray>
#include <QObject>

#include "ui/board/wave_file.h"

namespace kestrel {

// What the output is doing once every earlier call has taken effect.
struct SoundStatus {
    quint64 started = 0; // sounds handed to an output since the player was made
    quint64 current = 0; // which of them (1, 2, ...) holds the output now; 0 for none
    quint64 cutOff = 0;  // outputs stopped by a newer sound or by stop()
};

// The samples of one sound and their format.
struct SoundSamples {
    int sampleRate = 0;
    int channels = 0;
    SampleFormat format = SampleFormat::Int16;
    QByteArray bytes;
};

// Lives in the sound player's thread; every call is made there.
class AudioOutput : public QObject {
public:
    // Starts the sound; a sound still playing is cut off.
    virtual void play(const SoundSamples& samples) = 0;
    // Stops the sound that holds the output, if any, before its time.
    virtual void cutOff() = 0;
    // Lets go of the output without counting a cut-off.
    virtual void close() = 0;
    virtual SoundStatus status() const = 0;
};

// The module's one entry point. Call it on the interface thread: it sets up
// the multimedia back end's process-wide objects there. Returns nullptr when
// no output can be made.
using CreateAudioOutput = AudioOutput* (*)();
inline constexpr char kCreateAudioOutputSymbol[] = "kestrelbay_create_audio_output";

} // namespace kestrel
