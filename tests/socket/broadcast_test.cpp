#include "net/broadcast.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kestrel {
namespace {

using testing::ip;

InterfaceEntry upEntry(Ipv4 address, Ipv4 netmask)
{
    return {true, false, address, netmask};
}

TEST(BroadcastAddress, IsTheSubnetBroadcastOfTheOnlyActiveInterface)
{
    EXPECT_EQ(broadcastAddressFor({upEntry(ip(10, 1, 2, 3), ip(255, 0, 0, 0))}), "10.255.255.255");
    EXPECT_EQ(broadcastAddressFor({upEntry(ip(192, 168, 1, 23), ip(255, 255, 255, 0))}), "192.168.1.255");
    EXPECT_EQ(broadcastAddressFor({upEntry(ip(172, 16, 5, 77), ip(255, 255, 240, 0))}), "172.16.15.255");
    // A netmask of nothing makes every bit a host bit.
    EXPECT_EQ(broadcastAddressFor({upEntry(ip(10, 0, 0, 1), 0)}), "255.255.255.255");
}

TEST(BroadcastAddress, TakesTheLastActiveNonLoopbackEntry)
{
    const InterfaceEntry loopback{true, true, ip(127, 0, 0, 1), ip(255, 0, 0, 0)};
    const InterfaceEntry down{false, false, ip(10, 9, 9, 9), ip(255, 255, 0, 0)};
    const InterfaceEntry first = upEntry(ip(192, 168, 1, 23), ip(255, 255, 255, 0));
    const InterfaceEntry second = upEntry(ip(10, 1, 2, 3), ip(255, 0, 0, 0));

    EXPECT_EQ(broadcastAddressFor({first, second}), "10.255.255.255");
    EXPECT_EQ(broadcastAddressFor({second, first}), "192.168.1.255");
    EXPECT_EQ(broadcastAddressFor({first, loopback, down}), "192.168.1.255");
    EXPECT_EQ(broadcastAddressFor({loopback, first, down, loopback}), "192.168.1.255");
    // An interface that is up but has no address yet says nothing about its subnet.
    EXPECT_EQ(broadcastAddressFor({first, upEntry(0, ip(255, 255, 255, 0))}), "192.168.1.255");
}

TEST(BroadcastAddress, FallsBackToTheLimitedBroadcastWithoutAnActiveInterface)
{
    EXPECT_EQ(broadcastAddressFor({}), "255.255.255.255");
    EXPECT_EQ(broadcastAddressFor({{true, true, ip(127, 0, 0, 1), ip(255, 0, 0, 0)},
                                   {false, false, ip(192, 168, 1, 23), ip(255, 255, 255, 0)}}),
              "255.255.255.255");
}

} // namespace
} // namespace kestrel
