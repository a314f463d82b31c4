#include "tests/support/memory_network.h"

#include "session/pending.h"
#include "session/receive.h"
#include "wire/address.h"

namespace kestrel::testing {

MemoryNetwork::MemoryNetwork(Ipv4 network, int prefixLength)
    : mask_(prefixLength <= 0 ? 0u : ~Ipv4{0} << (32 - prefixLength))
{
    network_ = network & mask_;
}

Host& MemoryNetwork::add(unsigned hostNumber, const std::string& playerName, int dialUp)
{
    hosts_.push_back(std::make_unique<Host>(network_ | (hostNumber & ~mask_)));
    Host& host = *hosts_.back();
    host.program.settings.playerName = playerName;
    host.program.settings.dialUp = dialUp;
    host.program.match.broadcastAddress = addressText(broadcast());
    host.transport.onSend = [this, &host](const FakeTransport::Sent& sent) {
        queue_.push_back(Flight{host.address, sent.address, sent.port, sent.bytes});
    };
    return host;
}

int MemoryNetwork::deliverAll(int limit)
{
    int taken = 0;
    while (!queue_.empty() && taken < limit) {
        Flight flight = std::move(queue_.front());
        queue_.pop_front();
        ++taken;
        history.push_back(flight);
        if (dropNext_ > 0) {
            --dropNext_;
            continue;
        }
        if (dropIf && dropIf(flight))
            continue;
        deliver(flight);
    }
    return taken;
}

void MemoryNetwork::deliver(const Flight& flight)
{
    const bool toAll = flight.to == 0xFFFFFFFFu || flight.to == broadcast();
    // Indexes, not iterators: a handler may add nothing, but it may send.
    for (std::size_t i = 0; i < hosts_.size(); ++i) {
        Host& host = *hosts_[i];
        if (!toAll && host.address != flight.to)
            continue;
        if (host.program.settings.port != flight.port)
            continue; // nobody listens on that port there
        receiveDatagram(host.program, flight.bytes, flight.from);
    }
}

bool MemoryNetwork::expire(Host& host, int id)
{
    if (!host.timers.isRunning(id))
        return false;
    onRetryTimer(host.program, id);
    return true;
}

} // namespace kestrel::testing
