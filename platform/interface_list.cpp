#include "platform/interface_list.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace kestrel {

namespace {

Ipv4 ipv4Of(const sockaddr* address)
{
    if (address == nullptr || address->sa_family != AF_INET)
        return 0;
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

} // namespace

std::vector<InterfaceEntry> interfaceEntriesOf(const ifaddrs* list)
{
    std::vector<InterfaceEntry> entries;
    for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
        if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET)
            continue;
        const unsigned flags = item->ifa_flags;
        // IFF_UP is only "switched on"; IFF_RUNNING says a carrier is there.
        entries.push_back({(flags & IFF_UP) != 0, (flags & IFF_RUNNING) != 0, (flags & IFF_LOOPBACK) != 0,
                           ipv4Of(item->ifa_addr), ipv4Of(item->ifa_netmask)});
    }
    return entries;
}

std::vector<InterfaceEntry> interfaceEntries()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return {};
    std::vector<InterfaceEntry> entries = interfaceEntriesOf(list);
    ::freeifaddrs(list);
    return entries;
}

} // namespace kestrel
