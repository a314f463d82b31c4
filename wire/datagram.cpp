#include "wire/datagram.h"

#include <limits>

namespace kestrel {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Next token at or after `pos`: leading separators skipped, ending at the
// next separator or the end. Sets `pos` just past the separator that ended
// it, or to npos when the token ran to the end. False when there is none.
bool nextToken(std::string_view text, std::size_t& pos, std::string_view& token)
{
    if (pos == std::string_view::npos)
        return false;
    std::size_t start = text.find_first_not_of('|', pos);
    if (start == std::string_view::npos)
        return false;
    std::size_t end = text.find('|', start);
    if (end == std::string_view::npos) {
        token = text.substr(start);
        pos = std::string_view::npos;
    } else {
        token = text.substr(start, end - start);
        pos = end + 1;
    }
    return true;
}

} // namespace

std::int32_t decimalValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit)
            value = kLimit; // saturated; keep reading the digits
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value >= kLimit ? kLimit - 1 : value);
}

std::string formatDatagram(std::int32_t seq, int type, std::string_view payload)
{
    std::string text = std::to_string(seq);
    text += '|';
    text += std::to_string(type);
    text += '|';
    text += payload;
    return text;
}

bool parseDatagram(std::string_view text, ParsedDatagram& parsed)
{
    text = text.substr(0, text.find('\0'));
    std::size_t pos = 0;
    std::string_view seq;
    std::string_view type;
    if (!nextToken(text, pos, seq) || !nextToken(text, pos, type))
        return false;
    if (pos == std::string_view::npos || pos >= text.size())
        return false; // no payload, or an empty one
    parsed.seq = decimalValue(seq);
    parsed.type = decimalValue(type);
    parsed.payload = text.substr(pos);
    return true;
}

} // namespace kestrel
