// Reading WAVE headers: the formats the sounds use, and damaged images.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "ui/board/wave_file.h"

namespace kestrel {
namespace {

void put16(std::string& s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::string chunk(const std::string& id, const std::string& body)
{
    std::string s = id;
    put32(s, static_cast<std::uint32_t>(body.size()));
    s += body;
    if (body.size() % 2)
        s += '\0';
    return s;
}

std::string fmtBody(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits)
{
    std::string s;
    put16(s, tag);
    put16(s, channels);
    put32(s, rate);
    put32(s, rate * channels * bits / 8);
    put16(s, channels * bits / 8);
    put16(s, bits);
    return s;
}

std::string riff(const std::string& chunks)
{
    std::string s = "RIFF";
    put32(s, static_cast<std::uint32_t>(4 + chunks.size()));
    return s + "WAVE" + chunks;
}

TEST(WaveFile, ReadsTheFormatsOfTheGameSounds)
{
    // 16-bit stereo 44100 Hz: 441 frames = 0.01 s
    const std::string stereo =
        riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("data", std::string(1764, '\1')));
    auto clip = parseWave(stereo);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->channels, 2);
    EXPECT_EQ(clip->sampleRate, 44100);
    EXPECT_EQ(clip->format, SampleFormat::Int16);
    EXPECT_EQ(clip->dataOffset, 44u);
    EXPECT_EQ(clip->dataSize, 1764u);
    EXPECT_EQ(clip->frames(), 441u);
    EXPECT_DOUBLE_EQ(clip->seconds(), 0.01);

    // 8-bit mono 22050 Hz is unsigned
    const std::string mono =
        riff(chunk("fmt ", fmtBody(1, 1, 22050, 8)) + chunk("data", std::string(2205, '\x80')));
    clip = parseWave(mono);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->format, SampleFormat::UInt8);
    EXPECT_EQ(clip->channels, 1);
    EXPECT_EQ(clip->frames(), 2205u);
}

TEST(WaveFile, WalksOtherChunksPaddingAndOrder)
{
    // An odd-sized chunk is padded to even length; data may come before fmt.
    const std::string image = riff(chunk("LIST", "abc") + chunk("data", std::string(8, '\2')) +
                                   chunk("fmt ", fmtBody(1, 2, 44100, 16)));
    const auto clip = parseWave(image);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->dataOffset, 12u + 8 + 4 + 8);
    EXPECT_EQ(image.substr(clip->dataOffset, clip->dataSize), std::string(8, '\2'));

    // Float and extensible PCM are understood.
    EXPECT_EQ(
        parseWave(riff(chunk("fmt ", fmtBody(3, 1, 48000, 32)) + chunk("data", std::string(8, 0))))->format,
        SampleFormat::Float);
    std::string extensible = fmtBody(0xFFFE, 2, 44100, 16);
    put16(extensible, 22);
    put16(extensible, 16);
    put32(extensible, 3);
    put16(extensible, 1); // sub-format: PCM
    extensible += std::string(14, '\0');
    const auto ext = parseWave(riff(chunk("fmt ", extensible) + chunk("data", std::string(8, 0))));
    ASSERT_TRUE(ext);
    EXPECT_EQ(ext->format, SampleFormat::Int16);
}

TEST(WaveFile, KeepsTheWholeFramesOfAShortDataChunk)
{
    std::string image = riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("data", std::string(400, '\3')));
    image.resize(image.size() - 10); // cut inside the last frames; the sizes still claim 400
    const auto clip = parseWave(image);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->dataSize, 388u); // 390 bytes left, 97 whole frames
    EXPECT_LE(clip->dataOffset + clip->dataSize, image.size());
}

TEST(WaveFile, RefusesWhatCannotBePlayed)
{
    const std::string fmt = chunk("fmt ", fmtBody(1, 2, 44100, 16));
    const std::string data = chunk("data", std::string(16, '\0'));
    EXPECT_FALSE(parseWave(""));
    EXPECT_FALSE(parseWave("RIFF"));
    EXPECT_FALSE(parseWave("RIFX" + riff(fmt + data).substr(4)));
    EXPECT_FALSE(parseWave(riff(fmt + data).replace(8, 4, "AVI ")));
    EXPECT_FALSE(parseWave(riff(fmt)));                                            // no samples
    EXPECT_FALSE(parseWave(riff(data)));                                           // no format
    EXPECT_FALSE(parseWave(riff(fmt + chunk("data", ""))));                        // not one frame
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", fmtBody(2, 2, 44100, 4)) + data)));  // ADPCM
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + data))); // 24-bit
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", fmtBody(1, 0, 44100, 16)) + data))); // no channels
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", fmtBody(1, 2, 0, 16)) + data)));     // no rate
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", fmtBody(1, 2, 44100, 16).substr(0, 14)) + data))); // short fmt
    std::string badAlign = fmtBody(1, 2, 44100, 16);
    badAlign[12] = 3;
    EXPECT_FALSE(parseWave(riff(chunk("fmt ", badAlign) + data)));
    // A chunk before the samples that claims more bytes than there are
    std::string huge = "LIST";
    put32(huge, 0xFFFFFFF0u);
    EXPECT_FALSE(parseWave(riff(fmt + huge + data)));
    // Two format chunks contradict each other
    EXPECT_FALSE(parseWave(riff(fmt + chunk("fmt ", fmtBody(1, 1, 8000, 8)) + data)));
}

TEST(WaveFile, DamagedImagesNeverPointOutsideThemselves)
{
    const std::string good = riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("LIST", "info") +
                                  chunk("data", std::string(64, '\5')));
    std::mt19937 random(932);
    for (int round = 0; round < 20000; ++round) {
        std::string image = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            image[random() % image.size()] = static_cast<char>(random());
        if (random() % 4 == 0)
            image.resize(random() % image.size());
        const auto clip = parseWave(image);
        if (!clip)
            continue;
        ASSERT_GT(clip->dataSize, 0u);
        ASSERT_LE(clip->dataOffset + clip->dataSize, image.size());
        ASSERT_EQ(clip->dataSize % static_cast<std::size_t>(clip->bytesPerFrame()), 0u);
    }
}

} // namespace
} // namespace kestrel
