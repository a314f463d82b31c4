#pragma once
// Plays WAVE images from memory in the background. The samples are fed to
// the audio output from a thread of the player's own, so that the board's
// animations, which block the interface thread on purpose, never starve a
// click that is still playing.

#include <QByteArray>
#include <QThread>

namespace kestrel {

class AudioWorker;

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts a whole RIFF WAVE image and returns at once; a sound still
    // playing is cut off. Returns false, and plays nothing, when the image
    // is missing or not a playable PCM WAVE file.
    bool play(const QByteArray& wave);
    // Cuts off the sound playing, if any.
    void stop();

private:
    QThread thread_;
    AudioWorker* worker_;
};

} // namespace kestrel
