#include "wire/broadcast.h"

#include <algorithm>

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
    return addressText(address | ~netmask);
}

BroadcastAddresses broadcastAddressesFor(const std::vector<InterfaceEntry>& entries)
{
    BroadcastAddresses result;
    const auto last = std::find_if(entries.rbegin(), entries.rend(), isLive);
    if (last == entries.rend()) {
        result.first = kLimitedBroadcastText;
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

std::string broadcastAddressForBound(const std::vector<InterfaceEntry>& entries, Ipv4 bound)
{
    for (const InterfaceEntry& entry : entries) {
        if (entry.up && entry.address == bound)
            return directedBroadcast(bound, entry.netmask);
    }
    // No entry holds the address itself (say 127.0.0.2, which loopback
    // answers without listing it): the subnet that contains it. An entry
    // without a netmask says nothing about its subnet.
    for (const InterfaceEntry& entry : entries) {
        if (entry.up && entry.netmask != 0 && ((entry.address ^ bound) & entry.netmask) == 0)
            return directedBroadcast(bound, entry.netmask);
    }
    return std::string(kLimitedBroadcastText);
}

} // namespace kestrel
