// Any bytes through the text codec. Decoding gives valid UTF-8; text that
// decodes without a replacement character comes back the same from a second
// round; a cut is a prefix that ends on a character boundary and is the
// longest such prefix that fits.
//
// Input: byte 0 is the cut's limit, the rest the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "text/cp932.h"

namespace {

using namespace kestrel;
using fuzzing::check;

bool isUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80           ? 1
                              : (b >> 5) == 0x6  ? 2
                              : (b >> 4) == 0xE  ? 3
                              : (b >> 3) == 0x1E ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t limit = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::string utf8 = fromCp932(text);
    check(isUtf8(utf8), "decoding gives UTF-8");
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
        const std::string encoded = toCp932(utf8);
        check(fromCp932(encoded) == utf8, "a decoded text comes back the same");
        check(cutCp932(encoded, encoded.size()) == encoded, "a text that fits is not cut");
    }
    const std::string asUtf8 = toCp932(text); // the bytes read as UTF-8, as the window hands them over
    check(isUtf8(fromCp932(asUtf8)), "encoding gives code page 932");

    // The cut: the longest prefix of whole characters within the limit.
    const std::string cut = cutCp932(text, limit);
    check(cut.size() <= limit || cut.size() == text.size(), "the cut fits");
    check(text.substr(0, cut.size()) == cut, "the cut is a prefix");
    std::size_t boundary = 0;
    while (boundary < text.size()) {
        const std::size_t step = isLeadByte(static_cast<unsigned char>(text[boundary])) ? 2 : 1;
        if (boundary + step > limit && text.size() > limit)
            break;
        boundary += step;
    }
    check(cut.size() == std::min(boundary, text.size()), "the cut ends on the last boundary that fits");
    return 0;
}
