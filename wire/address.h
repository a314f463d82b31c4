#pragma once
// IPv4 addresses as the protocol writes and reads them.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// IPv4 address in host byte order: a.b.c.d is (a << 24) | (b << 16) | (c << 8) | d.
using Ipv4 = std::uint32_t;

// Every IPv4 address of the host (INADDR_ANY), for a socket to listen on.
constexpr Ipv4 kAnyIpv4 = 0;

// The limited broadcast: every host of the local network hears it.
constexpr Ipv4 kLimitedBroadcast = 0xFFFFFFFFu;
inline constexpr std::string_view kLimitedBroadcastText = "255.255.255.255";

// Longest dotted decimal text of an address ("255.255.255.255").
constexpr std::size_t kMaxAddressTextBytes = kLimitedBroadcastText.size();

// "%d.%d.%d.%d" of an address in host byte order.
std::string addressText(Ipv4 address);

// Reads strict dotted decimal text (four numbers 0-255); false otherwise.
bool parseDottedAddress(std::string_view text, Ipv4& address);

// True for text that no host name can be, because its last label is a
// number (decimal, or hexadecimal after "0x"): an address in a looser form
// than dotted decimal ("010.0.0.1", "10.1", "0x0a.0.0.1", "167772161") or a
// mistyped one ("10.0.0.256").
bool isNumericHostText(std::string_view text);

} // namespace kestrel
