#include "wire/broadcast.h"

#include <gtest/gtest.h>

#include "tests/support/fake_ports.h"

namespace kestrel {
namespace {

using testing::ip;

InterfaceEntry live(Ipv4 address, Ipv4 netmask)
{
    return {true, true, false, address, netmask};
}

TEST(BroadcastAddress, IsTheSubnetBroadcastOfTheOnlyActiveInterface)
{
    const std::vector<std::pair<InterfaceEntry, std::string>> cases = {
        {live(ip(10, 1, 2, 3), ip(255, 0, 0, 0)), "10.255.255.255"},
        {live(ip(192, 168, 1, 23), ip(255, 255, 255, 0)), "192.168.1.255"},
        {live(ip(172, 16, 5, 77), ip(255, 255, 240, 0)), "172.16.15.255"},
        {live(ip(10, 0, 0, 1), 0), "255.255.255.255"}, // a netmask of nothing makes every bit a host bit
    };
    for (const auto& [entry, expected] : cases) {
        const BroadcastAddresses result = broadcastAddressesFor({entry});
        EXPECT_EQ(result.first, expected);
        EXPECT_TRUE(result.others.empty()) << expected;
    }
}

TEST(BroadcastAddress, TheLastRunningNetworkComesFirstAndEveryOtherRunningOneFollows)
{
    const InterfaceEntry loopback{true, true, true, ip(127, 0, 0, 1), ip(255, 0, 0, 0)};
    const InterfaceEntry down{false, false, false, ip(10, 9, 9, 9), ip(255, 255, 0, 0)};
    // Up without a carrier: a container bridge with nothing running, a Wi-Fi out of reach.
    const InterfaceEntry docker{true, false, false, ip(172, 17, 0, 1), ip(255, 255, 0, 0)};
    const InterfaceEntry ethernet = live(ip(192, 168, 1, 23), ip(255, 255, 255, 0));
    const InterfaceEntry wifi = live(ip(10, 1, 2, 3), ip(255, 0, 0, 0));
    const InterfaceEntry sameSubnet = live(ip(192, 168, 1, 40), ip(255, 255, 255, 0));
    const InterfaceEntry tunnel = live(ip(10, 8, 0, 6), ip(255, 255, 255, 255));
    const InterfaceEntry noAddress = live(0, ip(255, 255, 255, 0));
    const InterfaceEntry vpn = live(ip(10, 8, 1, 6), ip(255, 255, 255, 0));

    struct Case {
        std::vector<InterfaceEntry> entries;
        std::string first;
        std::vector<std::string> others;
    };
    const std::vector<Case> cases = {
        {{ethernet, docker}, "192.168.1.255", {}},
        {{ethernet, wifi}, "10.255.255.255", {"192.168.1.255"}},
        {{wifi, ethernet}, "192.168.1.255", {"10.255.255.255"}},
        {{loopback, ethernet, down, loopback}, "192.168.1.255", {}},
        {{ethernet, noAddress}, "192.168.1.255", {}},
        // One subnet on two entries is announced to once; a /32 tunnel has nobody else to hear.
        {{ethernet, tunnel, sameSubnet, docker, vpn, wifi, docker},
         "10.255.255.255",
         {"192.168.1.255", "10.8.1.255"}},
        {{wifi, sameSubnet, ethernet}, "192.168.1.255", {"10.255.255.255"}},
        {{}, "255.255.255.255", {}},
        {{loopback, down, docker}, "255.255.255.255", {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const BroadcastAddresses result = broadcastAddressesFor(cases[i].entries);
        EXPECT_EQ(result.first, cases[i].first) << "case " << i;
        EXPECT_EQ(result.others, cases[i].others) << "case " << i;
    }
}

} // namespace
} // namespace kestrel
