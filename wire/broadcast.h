#pragma once
// The directed broadcast addresses that announcements go to, worked out from
// the host's interface list.

#include <string>
#include <vector>

#include "wire/address.h"

namespace kestrel {

// One IPv4 address of one interface, as the interface list reports it.
struct InterfaceEntry {
    bool up = false;      // switched on
    bool running = false; // and has a carrier: something can hear it
    bool loopback = false;
    Ipv4 address = 0;
    Ipv4 netmask = 0;
};

// Where announcements go before the extra addresses: `first` is the
// program's broadcastAddress, `others` are the further networks this host
// is on, in interface order.
struct BroadcastAddresses {
    std::string first;
    std::vector<std::string> others;
};

// "%d.%d.%d.%d" of address OR NOT netmask: the subnet's directed broadcast.
std::string directedBroadcast(Ipv4 address, Ipv4 netmask);

// first: the directed broadcast of the last entry that is up, running, not
// loopback and has an address, or "255.255.255.255" when there is none.
// others: the directed broadcast of every other such entry whose subnet has
// room for a second host, each once and never the same as first.
BroadcastAddresses broadcastAddressesFor(const std::vector<InterfaceEntry>& entries);

// The broadcast address of a socket bound to one address: the subnet of the
// interface entry that is up and holds that very address; failing that, of
// the first entry that is up and whose subnet holds it; failing that,
// "255.255.255.255".
std::string broadcastAddressForBound(const std::vector<InterfaceEntry>& entries, Ipv4 bound);

} // namespace kestrel
