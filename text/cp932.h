#pragma once
// The one place where text changes between code page 932 (Shift-JIS as the
// program stores and sends it) and Unicode (UTF-8, as the user interface
// and the source code hold it).

#include <string>
#include <string_view>

namespace kestrel {

// UTF-8 to code page 932. A character that has no code page 932 form becomes "?".
std::string toCp932(std::string_view utf8);

// Code page 932 to UTF-8. A byte sequence that is not valid code page 932
// becomes U+FFFD; a lead byte at the very end is dropped the same way.
std::string fromCp932(std::string_view cp932);

// True when byte b starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Cuts text to at most maxBytes bytes without splitting a double-byte character.
std::string cutCp932(std::string_view text, std::size_t maxBytes);

// Shorthand for literal texts written in UTF-8 in the source: the code page
// 932 bytes, converted once per call site.
#define SJ(utf8)                                                                                             \
    ([]() -> const std::string& {                                                                            \
        static const std::string s = ::kestrel::toCp932(utf8);                                               \
        return s;                                                                                            \
    }())

} // namespace kestrel
