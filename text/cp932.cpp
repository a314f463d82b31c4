#include "text/cp932.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace kestrel {
namespace {

// iconv descriptor for one direction, opened once and kept for the run.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page 932 conversion is not available");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in, replacing each sequence the converter refuses by
    // `replacement` and skipping `skipBytes(in)` input bytes for it.
    template <typename Skip>
    std::string run(std::string_view in, std::string_view replacement, Skip skipBytes) const
    {
        std::string out;
        out.reserve(in.size() * 2);
        char buffer[256];
        const char* src = in.data();
        std::size_t left = in.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (left > 0) {
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            std::size_t r = iconv(cd_, const_cast<char**>(&src), &left, &dst, &room);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                // EILSEQ or EINVAL (truncated sequence at the end): replace and move on.
                out.append(replacement);
                std::size_t skip = skipBytes(std::string_view(src, left));
                src += skip;
                left -= skip;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::size_t utf8SequenceLength(std::string_view s)
{
    unsigned char b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
    return n <= s.size() ? n : s.size();
}

std::size_t cp932SequenceLength(std::string_view s)
{
    bool pair = isLeadByte(static_cast<unsigned char>(s[0])) && s.size() >= 2;
    return pair ? 2 : 1;
}

} // namespace

std::string toCp932(std::string_view utf8)
{
    static const Converter converter("CP932", "UTF-8");
    return converter.run(utf8, "?", utf8SequenceLength);
}

std::string fromCp932(std::string_view cp932)
{
    static const Converter converter("UTF-8", "CP932");
    return converter.run(cp932, "\xEF\xBF\xBD", cp932SequenceLength);
}

std::string cutCp932(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = 0;
    while (end < maxBytes) {
        std::size_t step = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > maxBytes)
            break;
        end += step;
    }
    return std::string(text.substr(0, end));
}

} // namespace kestrel
