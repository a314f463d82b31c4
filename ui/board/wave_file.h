#pragma once
// Reads the header of a RIFF WAVE image held in memory, so that the sound
// player knows the sample format and where the samples are. Plain C++.

#include <cstddef>
#include <optional>
#include <string_view>

namespace kestrel {

enum class SampleFormat { UInt8, Int16, Int32, Float };

struct WaveClip {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    SampleFormat format = SampleFormat::Int16;
    std::size_t dataOffset = 0; // first byte of the samples in the image
    std::size_t dataSize = 0;   // whole frames only

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    std::size_t frames() const { return dataSize / static_cast<std::size_t>(bytesPerFrame()); }
    double seconds() const { return static_cast<double>(frames()) / sampleRate; }
};

// The format and the sample data of a PCM (or 32-bit float) WAVE image, or
// nothing when the image is not one that can be played: wrong magic, no
// "fmt " or "data" chunk, a chunk that claims more bytes than there are, an
// unsupported encoding, or no whole frame of samples. A data chunk cut short
// by the end of the image keeps the whole frames that are there.
std::optional<WaveClip> parseWave(std::string_view image);

} // namespace kestrel
