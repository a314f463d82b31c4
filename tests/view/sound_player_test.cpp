// The sound player without a sound server: it accepts the game's sounds,
// refuses broken ones, and never holds up the caller.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdlib>

#include "app/view/board_resources.h"
#include "app/view/sound_player.h"

namespace kestrel {
namespace {

const bool kNoSoundServer = (setenv("PULSE_SERVER", "unix:/nonexistent/kestrel-view-test", 1), true);

TEST(SoundPlayer, PlaysTheGameSoundsAndRefusesBrokenOnes)
{
    (void)kNoSoundServer;
    SoundPlayer player;
    for (Sound s : {Sound::Place, Sound::Flip, Sound::Win, Sound::Lose})
        EXPECT_TRUE(player.play(loadSound(s)));
    EXPECT_FALSE(player.play(QByteArray()));
    EXPECT_FALSE(player.play(QByteArray("RIFF\x04\0\0\0WAVE", 12)));
    QByteArray cut = loadSound(Sound::Place).left(40); // header without samples
    EXPECT_FALSE(player.play(cut));
}

TEST(SoundPlayer, ReturnsAtOnceAndCutsOffTheSoundStillPlaying)
{
    // Starting the two long phrases one after another must not wait for either
    // (2.2 s + 1.7 s if it did), nor must ending the player.
    QElapsedTimer timer;
    timer.start();
    {
        SoundPlayer player;
        EXPECT_TRUE(player.play(loadSound(Sound::Win)));
        EXPECT_TRUE(player.play(loadSound(Sound::Lose)));
        player.stop();
        EXPECT_TRUE(player.play(loadSound(Sound::Flip)));
    }
    EXPECT_LT(timer.elapsed(), 1500);
}

} // namespace
} // namespace kestrel
