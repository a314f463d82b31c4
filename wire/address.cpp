#include "wire/address.h"

#include <algorithm>
#include <cstdio>

namespace kestrel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

std::string addressText(Ipv4 address)
{
    char text[kMaxAddressTextBytes + 1];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

bool parseDottedAddress(std::string_view text, Ipv4& address)
{
    Ipv4 result = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        std::size_t start = pos;
        unsigned value = 0;
        while (pos < text.size() && isDigit(text[pos]) && pos - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
        }
        // No leading zeros: "010" would be octal to some readers.
        bool leadingZero = pos - start > 1 && text[start] == '0';
        if (pos == start || value > 255 || leadingZero || (pos < text.size() && isDigit(text[pos])))
            return false;
        result = (result << 8) | value;
    }
    if (pos != text.size())
        return false;
    address = result;
    return true;
}

bool isNumericHostText(std::string_view text)
{
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1); // a fully qualified name's final dot
    const std::size_t dot = text.rfind('.');
    const std::string_view label = dot == std::string_view::npos ? text : text.substr(dot + 1);
    if (label.size() >= 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X'))
        return std::all_of(label.begin() + 2, label.end(), isHexDigit);
    return !label.empty() && std::all_of(label.begin(), label.end(), isDigit);
}

} // namespace kestrel
