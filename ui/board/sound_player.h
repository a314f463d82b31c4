#pragma once
// Plays WAVE images from memory in the background. The samples are fed to
// the audio output from a thread of the player's own, so that the board's
// animations, which block the interface thread on purpose, never starve a
// click that is still playing. Nothing of the sound system is opened until
// the first sound is near: a program that plays no game never loads the
// sound module (ui/board/audio_output.h), nor the multimedia libraries.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QThread>

#include "ui/board/audio_output.h"

namespace kestrel {

class SoundPlayer {
public:
    using Status = SoundStatus;

    // Opens nothing yet: no module, no audio output, no thread.
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Loads the sound module, finds the system's audio output and starts the
    // player's thread, once. play() opens the player itself; open it where a
    // sound is about to come, so that the sound does not wait for it. False
    // when the program has no sound module (said once on stderr).
    bool open();
    bool isOpen() const { return output_ != nullptr; }

    // Starts a whole RIFF WAVE image and returns at once; a sound still
    // playing is cut off. Returns false, and plays nothing, when the image
    // is missing or not a playable PCM WAVE file, or there is no output.
    bool play(const QByteArray& wave);
    // Cuts off the sound playing, if any.
    void stop();

    Status status() const;

private:
    QThread thread_;
    AudioOutput* output_ = nullptr;
};

// Where the sound module is looked for, in this order: beside the program
// (a build, or a copy unpacked into a folder of its own), then where the
// install puts it, relative to the program and as configured.
QStringList soundModuleCandidates(const QString& programDirectory);
// Looks for the module in this folder first (tests run from the build tree).
void setSoundModuleDirectory(const QString& directory);

} // namespace kestrel
