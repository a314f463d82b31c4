#pragma once
// The datagram text "%d|%d|%s" (seq, type, payload).

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Longest datagram text the receive path accepts; a longer one is dropped.
constexpr std::size_t kMaxDatagramBytes = 1159;
// Longest payload a handler or a pending slot holds.
constexpr std::size_t kMaxPayloadBytes = 999;

// Decimal value of the leading digits, read like atoi: optional leading white
// space and sign; text without digits gives 0. Values beyond the 32-bit range
// saturate at its ends.
std::int32_t decimalValue(std::string_view text);

// "%d|%d|%s" without a terminating zero.
std::string formatDatagram(std::int32_t seq, int type, std::string_view payload);

// The parts of a received datagram text.
struct ParsedDatagram {
    std::int32_t seq = 0;
    std::int32_t type = 0;
    std::string_view payload; // points into the text
};

// Splits a received text the way strtok on "|" would: leading "|" before a
// token skipped, seq and type read like atoi, the payload everything after
// the "|" that ended the type. False when a token or the payload is missing
// or the payload is empty. The text ends at its first zero byte.
bool parseDatagram(std::string_view text, ParsedDatagram& parsed);

} // namespace kestrel
