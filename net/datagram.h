#pragma once
// The datagram text "%d|%d|%s" (seq, type, payload): sending and dispatching.

#include <cstdint>
#include <string>
#include <string_view>

#include "net/platform.h"

namespace kestrel {

struct Program;

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

// "%d.%d.%d.%d" of an address in host byte order.
std::string addressText(Ipv4 address);

// Reads strict dotted decimal text (four numbers 0-255); false otherwise.
bool parseDottedAddress(std::string_view text, Ipv4& address);

// True for text that no host name can be, because its last label is a
// number (decimal, or hexadecimal after "0x"): an address in a looser form
// than dotted decimal ("010.0.0.1", "10.1", "0x0a.0.0.1", "167772161") or a
// mistyped one ("10.0.0.256").
bool isNumericHostText(std::string_view text);

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

// Sends one message to a destination given as dotted text,
// "255.255.255.255" or a host name, to the port of the settings. Shows the
// error box on failure. Reliable types are tracked for retransmission.
bool sendDatagram(Program& program, const std::string& destination, int type, const std::string& payload);

// Answers a request: `type` to its sender, with the request's seq in decimal
// as the payload.
bool answerRequest(Program& program, const std::string& sender, int type, std::int32_t seq);

// Splits a received text and calls the handler of its type; malformed
// datagrams are dropped without a word.
void dispatchDatagram(Program& program, std::string_view text, Ipv4 source);

} // namespace kestrel
