// Cost of putting the main window into a phase, apart from the animations
// the view plays (the fakes record the calls and never pause).
#include <benchmark/benchmark.h>

#include "session/control_states.h"
#include "session/program.h"
#include "tests/support/fake_machine.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "text/cp932.h"

namespace {

using namespace kestrel;

using Machine = testing::FakeMachine;

void BM_resetForNewGame(benchmark::State& state)
{
    Machine m;
    m.program.match.connected = 1;
    m.program.match.opponentName = SJ("はなこ");
    for (auto _ : state) {
        resetForNewGame(m.program);
        m.view.clear();
        benchmark::DoNotOptimize(m.program.match.board);
    }
}
BENCHMARK(BM_resetForNewGame);

void BM_resetToUnconnected(benchmark::State& state)
{
    Machine m;
    for (auto _ : state) {
        m.program.match.connected = 1;
        resetToUnconnected(m.program);
        m.view.clear();
        benchmark::DoNotOptimize(m.program.match.board);
    }
}
BENCHMARK(BM_resetToUnconnected);

} // namespace

BENCHMARK_MAIN();
