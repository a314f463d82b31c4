// Cost of the match logic alone: two bots play whole games against each other
// on the in-memory LAN (handlers, turn flow, the computer player's choices,
// the recording fakes), one datagram at a time as the headless peer takes them.

#include <benchmark/benchmark.h>

#include "session/control_states.h"
#include "session/peers.h"
#include "tests/support/memory_network.h"
#include "tools/peer/bot.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

using testing::Host;
using testing::MemoryNetwork;

void BM_BotMatch(benchmark::State& state)
{
    const int games = static_cast<int>(state.range(0));
    std::size_t datagrams = 0;
    for (auto _ : state) {
        MemoryNetwork lan;
        Host& alpha = lan.add(1, "alpha");
        Host& beta = lan.add(2, "beta");
        BotOptions waits;
        waits.order = BotOptions::Order::Wait;
        BotOptions asks;
        asks.request = "10.0.0.1";
        asks.games = games;
        asks.restart = true;
        Bot a(alpha.program, waits, [](const std::string&) {});
        Bot b(beta.program, asks, [](const std::string&) {});
        for (Host* host : {&alpha, &beta}) {
            host->dialog.answerQuestion = [](const std::string&) { return true; };
            applyInitialControlStates(host->program);
            sendToAll(host->program, MSG_HELLO, announcementPayload(host->program.settings));
        }
        do {
            a.act();
            b.act();
        } while (lan.deliverAll(1) == 1);
        if (!b.finished() || b.gamesPlayed() != games)
            state.SkipWithError("the match did not end");
        datagrams += lan.history.size();
    }
    state.counters["datagrams/match"] =
        benchmark::Counter(static_cast<double>(datagrams), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BotMatch)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel

BENCHMARK_MAIN();
