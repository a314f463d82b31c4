#include "ui/board/wave_file.h"

#include <cstdint>

namespace kestrel {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 8;
constexpr int kMaxSampleRate = 768000;

std::uint32_t read32(std::string_view s, std::size_t at)
{
    auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i])); };
    return b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
}

std::uint16_t read16(std::string_view s, std::size_t at)
{
    auto b = [&](std::size_t i) { return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at + i])); };
    return static_cast<std::uint16_t>(b(0) | (b(1) << 8));
}

struct FmtChunk {
    std::uint16_t tag = 0;
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
    int bits = 0;
};

std::optional<FmtChunk> readFmt(std::string_view body)
{
    if (body.size() < 16)
        return std::nullopt;
    FmtChunk f;
    f.tag = read16(body, 0);
    f.channels = read16(body, 2);
    const std::uint32_t rate = read32(body, 4);
    f.blockAlign = read16(body, 12);
    f.bits = read16(body, 14);
    if (f.tag == kFormatExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID whose first two bytes are the tag
        if (body.size() < 40 || read16(body, 16) < 22)
            return std::nullopt;
        f.tag = read16(body, 24);
    }
    if (rate == 0 || rate > kMaxSampleRate)
        return std::nullopt;
    f.sampleRate = static_cast<int>(rate);
    return f;
}

std::optional<SampleFormat> sampleFormatOf(const FmtChunk& f)
{
    if (f.tag == kFormatPcm) {
        switch (f.bits) {
        case 8:
            return SampleFormat::UInt8;
        case 16:
            return SampleFormat::Int16;
        case 32:
            return SampleFormat::Int32;
        default:
            return std::nullopt;
        }
    }
    if (f.tag == kFormatFloat && f.bits == 32)
        return SampleFormat::Float;
    return std::nullopt;
}

} // namespace

std::optional<WaveClip> parseWave(std::string_view image)
{
    if (image.size() < 12 || image.substr(0, 4) != "RIFF" || image.substr(8, 4) != "WAVE")
        return std::nullopt;
    // Bytes after the RIFF chunk are ignored. A RIFF size larger than the image
    // (left unfinished by a streaming writer) ends at the end of the image.
    const std::size_t riffEnd = 8 + static_cast<std::size_t>(read32(image, 4));
    if (riffEnd < 12)
        return std::nullopt;
    const std::string_view riff = image.substr(0, riffEnd);

    std::optional<FmtChunk> fmt;
    std::size_t dataOffset = 0, dataSize = 0;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= riff.size() && !(fmt && haveData)) {
        const std::string_view id = riff.substr(at, 4);
        const std::size_t size = read32(riff, at + 4);
        const std::size_t bodyAt = at + 8;
        const std::size_t available = riff.size() - bodyAt;
        if (id == "data") {
            haveData = true;
            dataOffset = bodyAt;
            dataSize = size <= available ? size : available;
        } else if (size > available) {
            return std::nullopt;
        } else if (id == "fmt ") {
            if (fmt)
                return std::nullopt;
            fmt = readFmt(riff.substr(bodyAt, size));
            if (!fmt)
                return std::nullopt;
        }
        if (size > available)
            break;
        at = bodyAt + size + (size & 1); // chunks are padded to even length
    }
    if (!fmt || !haveData)
        return std::nullopt;

    const std::optional<SampleFormat> format = sampleFormatOf(*fmt);
    if (!format || fmt->channels < 1 || fmt->channels > kMaxChannels ||
        fmt->blockAlign != fmt->channels * fmt->bits / 8)
        return std::nullopt;

    WaveClip clip;
    clip.channels = fmt->channels;
    clip.sampleRate = fmt->sampleRate;
    clip.bitsPerSample = fmt->bits;
    clip.format = *format;
    clip.dataOffset = dataOffset;
    clip.dataSize = dataSize - dataSize % static_cast<std::size_t>(fmt->blockAlign);
    if (clip.dataSize == 0)
        return std::nullopt;
    return clip;
}

} // namespace kestrel
