// The sound player without a sound server: it accepts the game's sounds,
// refuses broken ones, and lets each new sound cut off the one before.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/board/sound_player.h"
#include "ui/resources.h"

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
    // only the four game sounds went to the output
    EXPECT_EQ(player.status().started, 4u);
    EXPECT_EQ(player.status().current, 4u);
}

TEST(SoundPlayer, EachSoundCutsOffTheOneStillPlaying)
{
    // Without a sound server nothing reaches the idle state that lets an
    // output go on its own, so every output is held until it is cut off.
    (void)kNoSoundServer;
    SoundPlayer player;
    player.stop(); // nothing to cut off, nothing opened for it
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.status().started, 0u);
    EXPECT_EQ(player.status().current, 0u);

    ASSERT_TRUE(player.play(loadSound(Sound::Win)));
    EXPECT_TRUE(player.isOpen());
    SoundPlayer::Status s = player.status();
    EXPECT_EQ(s.started, 1u);
    EXPECT_EQ(s.current, 1u);
    EXPECT_EQ(s.cutOff, 0u);

    ASSERT_TRUE(player.play(loadSound(Sound::Lose))); // the end sound replaces the phrase
    s = player.status();
    EXPECT_EQ(s.started, 2u);
    EXPECT_EQ(s.current, 2u);
    EXPECT_EQ(s.cutOff, 1u);

    // A refused image leaves the sound playing alone.
    EXPECT_FALSE(player.play(QByteArray("RIFF-not-a-wave")));
    s = player.status();
    EXPECT_EQ(s.started, 2u);
    EXPECT_EQ(s.current, 2u);
    EXPECT_EQ(s.cutOff, 1u);

    player.stop();
    s = player.status();
    EXPECT_EQ(s.current, 0u);
    EXPECT_EQ(s.cutOff, 2u);
    player.stop(); // nothing left to cut off
    EXPECT_EQ(player.status().cutOff, 2u);

    ASSERT_TRUE(player.play(loadSound(Sound::Flip)));
    s = player.status();
    EXPECT_EQ(s.started, 3u);
    EXPECT_EQ(s.current, 3u);
    EXPECT_EQ(s.cutOff, 2u);
}

} // namespace
} // namespace kestrel
