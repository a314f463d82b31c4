#include "net/broadcast.h"

#include <cstdio>

namespace kestrel {

std::string directedBroadcast(Ipv4 address, Ipv4 netmask)
{
    const Ipv4 b = address | ~netmask;
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (b >> 24) & 0xFFu, (b >> 16) & 0xFFu, (b >> 8) & 0xFFu,
                  b & 0xFFu);
    return text;
}

std::string broadcastAddressFor(const std::vector<InterfaceEntry>& entries)
{
    const InterfaceEntry* chosen = nullptr;
    for (const auto& entry : entries) {
        // An interface without an address yet (0.0.0.0) cannot tell us its subnet.
        if (entry.up && !entry.loopback && entry.address != 0)
            chosen = &entry;
    }
    if (chosen == nullptr)
        return "255.255.255.255";
    return directedBroadcast(chosen->address, chosen->netmask);
}

} // namespace kestrel
