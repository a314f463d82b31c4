#pragma once
// The host's IPv4 interface entries, read with getifaddrs(): what the
// broadcast addresses are worked out from.

#include <vector>

#include "wire/broadcast.h"

struct ifaddrs;

namespace kestrel {

// One entry per IPv4 address in `list`, in list order (the kernel lists
// them interface by interface); entries of other families, and entries
// without an address, are left out. A missing netmask reads as 0.
std::vector<InterfaceEntry> interfaceEntriesOf(const ifaddrs* list);

// The entries of this host's interfaces now; none when they cannot be read.
std::vector<InterfaceEntry> interfaceEntries();

} // namespace kestrel
