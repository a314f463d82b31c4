#pragma once
// The directed broadcast address that announcements go to, worked out from
// the host's interface list.

#include <string>
#include <vector>

#include "net/platform.h"

namespace kestrel {

// One IPv4 address of one interface, as the interface list reports it.
struct InterfaceEntry {
    bool up = false;
    bool loopback = false;
    Ipv4 address = 0;
    Ipv4 netmask = 0;
};

// "%d.%d.%d.%d" of address OR NOT netmask: the subnet's directed broadcast.
std::string directedBroadcast(Ipv4 address, Ipv4 netmask);

// The directed broadcast of the last entry that is up, not loopback and has
// an address; "255.255.255.255" when there is no such entry.
std::string broadcastAddressFor(const std::vector<InterfaceEntry>& entries);

} // namespace kestrel
