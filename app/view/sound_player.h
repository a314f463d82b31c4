#pragma once
// Plays WAVE images from memory in the background. The samples are fed to
// the audio output from a thread of the player's own, so that the board's
// animations, which block the interface thread on purpose, never starve a
// click that is still playing. Nothing of the sound system is opened until
// the first sound is near: a program that plays no game never opens it.

#include <QByteArray>
#include <QThread>

namespace kestrel {

class AudioWorker;

class SoundPlayer {
public:
    // Opens nothing yet: no audio output, no thread.
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Finds the system's audio output and starts the player's thread, once.
    // play() opens the player itself; open it where a sound is about to
    // come, so that the sound does not wait for it.
    void open();
    bool isOpen() const { return worker_ != nullptr; }

    // Starts a whole RIFF WAVE image and returns at once; a sound still
    // playing is cut off. Returns false, and plays nothing, when the image
    // is missing or not a playable PCM WAVE file.
    bool play(const QByteArray& wave);
    // Cuts off the sound playing, if any.
    void stop();

    // What the output is doing once every earlier call has taken effect.
    struct Status {
        quint64 started = 0; // sounds handed to an output since the player was made
        quint64 current = 0; // which of them (1, 2, ...) holds the output now; 0 for none
        quint64 cutOff = 0;  // outputs stopped by a newer sound or by stop()
    };
    Status status() const;

private:
    QThread thread_;
    AudioWorker* worker_ = nullptr;
};

} // namespace kestrel
