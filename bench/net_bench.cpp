// Speed of the datagram codec, the dispatch of the common messages and the
// announcement fan-out, over fakes that only count.

#include <benchmark/benchmark.h>

#include "session/peers.h"
#include "session/pending.h"
#include "session/program.h"
#include "session/receive.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

using testing::ip;

class CountingTransport : public Transport {
public:
    std::size_t datagrams = 0;
    std::size_t bytes = 0;
    int sendTo(Ipv4, std::uint16_t, std::string_view text) override
    {
        ++datagrams;
        bytes += text.size();
        return 0;
    }
    bool resolve(const std::string&, Ipv4&) override { return false; }
};

class NullTimers : public Timers {
public:
    void start(int, int) override {}
    void stop(int) override {}
};

struct Bench {
    Bench()
    {
        program.settings.playerName = "taro";
        program.match.broadcastAddress = "10.0.0.255";
    }
    testing::FakeView view;
    testing::FakeDialog dialog;
    CountingTransport transport;
    NullTimers timers;
    Program program{view, dialog, transport, timers};
};

void BM_FormatDatagram(benchmark::State& state)
{
    std::int32_t seq = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatDatagram(++seq, MSG_HELLO, "hanako$1"));
}
BENCHMARK(BM_FormatDatagram);

void BM_ParseDatagram(benchmark::State& state)
{
    const std::string text = "123456|9|a line of chat with a | in it\r\n";
    for (auto _ : state) {
        ParsedDatagram parsed;
        benchmark::DoNotOptimize(parseDatagram(text, parsed));
        benchmark::DoNotOptimize(parsed);
    }
}
BENCHMARK(BM_ParseDatagram);

// A hello from a known peer: the row found, updated, and a reply sent.
// The argument is the peer's row, so the linear search is measured too.
void BM_DispatchHello(benchmark::State& state)
{
    Bench b;
    const int row = static_cast<int>(state.range(0));
    for (int i = 0; i <= row; ++i)
        onHello(b.program, MSG_HELLO_REPLY, addressText(ip(10, 1, 0, 0) + static_cast<Ipv4>(i)), "p$0");
    const Ipv4 sender = ip(10, 1, 0, 0) + static_cast<Ipv4>(row);
    for (auto _ : state)
        receiveDatagram(b.program, "1|1|hanako$1", sender);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchHello)->Arg(0)->Arg(999);

// A chat answer that frees its slot; the argument is the number of other
// messages pending before it, which the slot search passes over.
void BM_DispatchChatAck(benchmark::State& state)
{
    Bench b;
    const int before = static_cast<int>(state.range(0));
    for (int i = 0; i < before; ++i)
        trackPending(b.program, 1000000 + i, MSG_CHAT, "older");
    std::int32_t seq = 1;
    std::string ack;
    for (auto _ : state) {
        ++seq;
        trackPending(b.program, seq, MSG_CHAT, "hello");
        ack = "7|10|" + std::to_string(seq);
        receiveDatagram(b.program, ack, ip(10, 0, 0, 2));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchChatAck)->Arg(0)->Arg(998);

// The broadcast, N extra addresses and N dial-up peers.
void BM_SendToAll(benchmark::State& state)
{
    Bench b;
    const int n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i) {
        b.program.settings.extraAddresses.push_back(addressText(ip(172, 16, 0, 1) + static_cast<Ipv4>(i)));
        onHello(b.program, MSG_HELLO_REPLY, addressText(ip(10, 2, 0, 1) + static_cast<Ipv4>(i)), "d$1");
    }
    const std::string payload = announcementPayload(b.program.settings);
    for (auto _ : state)
        sendToAll(b.program, MSG_HELLO, payload);
    state.SetItemsProcessed(static_cast<std::int64_t>(b.transport.datagrams));
}
BENCHMARK(BM_SendToAll)->Arg(0)->Arg(2)->Arg(100);

} // namespace
} // namespace kestrel

BENCHMARK_MAIN();
