#include "net/broadcast.h"

#include <algorithm>
#include <cstdio>

namespace kestrel {

namespace {

// An interface without an address yet (0.0.0.0) cannot tell us its subnet,
// and one without a carrier (a disconnected cable or Wi-Fi, a bridge for
// containers that are not running) reaches nobody.
bool isLive(const InterfaceEntry& entry)
{
    return entry.up && entry.running && !entry.loopback && entry.address != 0;
}

} // namespace

std::string directedBroadcast(Ipv4 address, Ipv4 netmask)
{
    const Ipv4 b = address | ~netmask;
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (b >> 24) & 0xFFu, (b >> 16) & 0xFFu, (b >> 8) & 0xFFu,
                  b & 0xFFu);
    return text;
}

BroadcastAddresses broadcastAddressesFor(const std::vector<InterfaceEntry>& entries)
{
    BroadcastAddresses result;
    const auto last = std::find_if(entries.rbegin(), entries.rend(), isLive);
    if (last == entries.rend()) {
        result.first = "255.255.255.255";
        return result;
    }
    result.first = directedBroadcast(last->address, last->netmask);
    for (const InterfaceEntry& entry : entries) {
        // A single-host subnet (a tunnel's /32) would only send to this host itself.
        if (&entry == &*last || !isLive(entry) || entry.netmask == 0xFFFFFFFFu)
            continue;
        std::string address = directedBroadcast(entry.address, entry.netmask);
        const bool known = address == result.first || std::find(result.others.begin(), result.others.end(),
                                                                address) != result.others.end();
        if (!known)
            result.others.push_back(std::move(address));
    }
    return result;
}

} // namespace kestrel
