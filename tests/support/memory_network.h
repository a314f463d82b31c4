#pragma once
// An in-memory LAN for tests: several program records, each with its own
// recording fakes, joined so that what one sends reaches the others through
// the receive path, in order, with the sender's address as the source.
// Nothing is delivered until deliverAll() pumps the queue, so datagrams that
// handlers send while handling are queued behind the rest.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/program.h"
#include "tests/support/fake_machine.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"

namespace kestrel::testing {

// One machine on the in-memory LAN.
struct Host : FakeMachine {
    explicit Host(Ipv4 address) : address(address) {}

    Ipv4 address;
};

// One datagram on its way.
struct Flight {
    Ipv4 from = 0;
    Ipv4 to = 0;
    std::uint16_t port = 0;
    std::string bytes;
};

class MemoryNetwork {
public:
    // The LAN's network address and prefix length, e.g. 10.0.0.0/24.
    explicit MemoryNetwork(Ipv4 network = ip(10, 0, 0, 0), int prefixLength = 24);
    MemoryNetwork(const MemoryNetwork&) = delete;
    MemoryNetwork& operator=(const MemoryNetwork&) = delete;

    // Adds a machine with the given host number on the LAN, a player name
    // (Shift-JIS) and dial-up flag; its broadcastAddress is the LAN's.
    Host& add(unsigned hostNumber, const std::string& playerName, int dialUp = 0);

    // The LAN's directed broadcast address, e.g. 10.0.0.255.
    Ipv4 broadcast() const { return network_ | ~mask_; }

    // Delivers queued datagrams, and those sent meanwhile, until the queue
    // is empty or `limit` datagrams were taken off it. Returns how many
    // were taken off (delivered or lost).
    int deliverAll(int limit = 100000);
    // Datagrams still on their way.
    std::size_t queued() const { return queue_.size(); }

    // Loss: the next n datagrams taken off the queue are lost.
    void dropNext(int n) { dropNext_ += n; }
    // Loss: every datagram for which this returns true is lost.
    std::function<bool(const Flight&)> dropIf;

    // Every datagram taken off the queue, in order, lost ones included.
    std::vector<Flight> history;

    // The expiry of retry timer id on a host, if it is running.
    static bool expire(Host& host, int id);

private:
    void deliver(const Flight& flight);

    Ipv4 network_;
    Ipv4 mask_;
    std::vector<std::unique_ptr<Host>> hosts_;
    std::deque<Flight> queue_;
    int dropNext_ = 0;
};

} // namespace kestrel::testing
