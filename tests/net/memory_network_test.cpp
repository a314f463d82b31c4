#include <gtest/gtest.h>

#include "net/datagram.h"
#include "net/message_type.h"
#include "support/memory_network.h"

namespace kestrel::testing {
namespace {

// MSG_RESULT is neither answered nor tracked, so what arrives is exactly what was sent.
void result(Host& from, const std::string& to, const std::string& text)
{
    sendDatagram(from.program, to, MSG_RESULT, text);
}

TEST(MemoryNetwork, DeliversInOrderToTheAddressedHostOnly)
{
    MemoryNetwork lan;
    Host& a = lan.add(1, "a");
    lan.add(2, "b");
    lan.add(3, "c");
    result(a, "10.0.0.2", "one");
    result(a, "10.0.0.3", "two");
    result(a, "10.0.0.2", "three");
    result(a, "10.0.0.99", "nobody");
    result(a, "10.0.1.2", "other lan");
    EXPECT_EQ(lan.queued(), 5u);
    EXPECT_EQ(lan.deliverAll(), 5);
    ASSERT_EQ(lan.history.size(), 5u);
    EXPECT_EQ(lan.history[0].from, ip(10, 0, 0, 1));
    EXPECT_EQ(lan.history[2].bytes, "3|19|three");
    EXPECT_EQ(lan.queued(), 0u);
}

TEST(MemoryNetwork, BroadcastsReachEveryHostIncludingTheSender)
{
    MemoryNetwork lan;
    Host& a = lan.add(1, "a");
    Host& b = lan.add(2, "b");
    Host& c = lan.add(3, "c");
    c.program.settings.port = 20001; // not listening on the port everyone uses
    EXPECT_EQ(addressText(lan.broadcast()), "10.0.0.255");
    EXPECT_EQ(a.program.match.broadcastAddress, "10.0.0.255");
    sendDatagram(a.program, "10.0.0.255", MSG_HELLO, "a$0");
    sendDatagram(b.program, "255.255.255.255", MSG_HELLO, "b$0");
    lan.deliverAll();
    // Each hears both announcements (its own included) and the replies of both.
    EXPECT_EQ(a.program.peers.count, 2);
    EXPECT_EQ(b.program.peers.count, 2);
    EXPECT_EQ(c.program.peers.count, 0);
    EXPECT_EQ(lan.history.size(), 2u + 4u);
}

TEST(MemoryNetwork, LosesWhatItIsToldToLose)
{
    MemoryNetwork lan(ip(192, 168, 7, 0), 24);
    Host& a = lan.add(10, "a");
    Host& b = lan.add(20, "b");
    lan.dropNext(1);
    sendDatagram(a.program, "192.168.7.20", MSG_HELLO, "a$0");
    sendDatagram(a.program, "192.168.7.20", MSG_HELLO, "a2$0");
    // The second arrives, and its answer is lost by the predicate.
    lan.dropIf = [](const Flight& f) { return f.from == ip(192, 168, 7, 20); };
    lan.deliverAll();
    EXPECT_EQ(b.program.peers.count, 1);
    EXPECT_EQ(b.program.peers.rows[0].name, "a2");
    EXPECT_EQ(a.program.peers.count, 0);
    EXPECT_EQ(lan.history.size(), 3u);
}

TEST(MemoryNetwork, DeliversWhileABoxIsOpen)
{
    MemoryNetwork lan;
    Host& a = lan.add(1, "a");
    Host& b = lan.add(2, "b");
    sendDatagram(a.program, "10.0.0.2", MSG_HELLO, "a$0");
    // As in the program, datagrams keep arriving while a box is open.
    int listedWhileOpen = -1;
    a.dialog.whileOpen = [&](const FakeDialog::Box&) {
        lan.deliverAll();
        listedWhileOpen = a.program.peers.count;
    };
    sendDatagram(a.program, "nowhere", MSG_HELLO, "a$0");
    EXPECT_EQ(listedWhileOpen, 1); // b's reply arrived before the box closed
    EXPECT_EQ(b.program.peers.count, 1);
    EXPECT_EQ(lan.queued(), 0u);
}

TEST(MemoryNetwork, DeliverAllStopsAtItsLimit)
{
    MemoryNetwork lan;
    Host& a = lan.add(1, "a");
    // The limit keeps a test whose hosts answer each other forever finite.
    for (int i = 0; i < 5; ++i)
        result(a, "10.0.0.1", "x");
    EXPECT_EQ(lan.deliverAll(3), 3);
    EXPECT_EQ(lan.queued(), 2u);
    EXPECT_EQ(lan.deliverAll(), 2);
}

} // namespace
} // namespace kestrel::testing
