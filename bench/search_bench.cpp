// Speed of the search engine on one core:
//  - perft(10) and perft(11) from the start (leaves and leaves per second);
//  - the exact solves of the public endgame positions FFO #40-#44, each and in all;
//  - the depth the strongest level completes within its second in the middle game.
//   cmake --build build --target search_bench && build/bench/search_bench

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "engine/search/engine.h"
#include "engine/search/evaluation.h"
#include "engine/search/levels.h"
#include "engine/search/perft.h"
#include "engine/search/position_text.h"
#include "tests/support/ffo_positions.h"

namespace kestrel::search {
namespace {

void BM_Perft(benchmark::State& state)
{
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0, each = 0;
    for (auto _ : state) {
        each = perft(startPosition(), depth);
        leaves += each;
    }
    state.counters["leaves"] = static_cast<double>(each);
    state.counters["leaves/s"] = benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->Arg(10)->Arg(11)->Unit(benchmark::kMillisecond);

Position positionFromLine(std::string_view text)
{
    const PositionLine line = readPositionLine(text);
    return positionOf(line.board, line.side);
}

// All five in one run: the total is the benchmark's time (wall and processor),
// each solve's processor time a counter.
void BM_SolveFfo40To44(benchmark::State& state)
{
    Engine engine;
    for (auto _ : state) {
        std::uint64_t nodes = 0;
        for (const testing::SolvedPosition& solved : testing::kFfoPositions) {
            const std::clock_t start = std::clock();
            const Thought thought = engine.solve(positionFromLine(solved.line));
            const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
            if (thought.score != solved.score * kDiscScale) {
                state.SkipWithError(("wrong score for FFO #" + std::to_string(solved.number)).c_str());
                return;
            }
            state.counters["ffo" + std::to_string(solved.number) + "_cpu_s"] = cpuSeconds;
            nodes += thought.nodes;
        }
        state.counters["nodes/s"] =
            benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    }
}
BENCHMARK(BM_SolveFfo40To44)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Positions 20-31 plies into games (random openings, then level 2), 30-39 empty cells.
constexpr std::string_view kMidgame[] = {
    "-----------------OOO-OX-OOOOOOX---XXXOXX---XXOX----XOO------O--- X",
    "---O------XO------XOOOX---XOOO----XOOO----XOXO----OOOO----OOOO-- X",
    "---OOX----OOOO--X-OXOO--OOOOOO---XXXXO----XXXO----XXX----------- X",
    "------------------OOX-----OOOOOO--OXXOOO---XXXOO---XXOXO-OOOOOOO X",
    "------------X----XXXXO----OOOOOO---OOOOO--XOOOXO--OOOOOO---OOOXO X",
    "---X----OXX-----OXXOO---OXOOO-X--XOOOX---XX-XXX----------------- O",
    "-X-OO-----XOOO---XXXXOOO-XXXXOO---XXXO------OO------O----------- O",
    "--------------------OXX----OOXXX--OOOOXX-OOOXX-X--OOXX----XXXXX- O",
    "--O-OX----OOXX---XXXOXXXOOXOXXX-OOOXXX--OOOO-------------------- O",
    "---OOO-----OOX---XOOXXXX-OOOXXX---OXOXX---OOXX-----OO-------XXX- O",
};

// The strongest level thinks its second on each position; the depth of its
// last complete iteration is recorded.
void BM_StrongestLevelDepth(benchmark::State& state)
{
    Engine engine;
    const SearchLimits limits = levelAt(kStrongestLevel).limits;
    for (auto _ : state) {
        int sum = 0, least = 99, most = 0;
        std::uint64_t nodes = 0;
        for (std::string_view line : kMidgame) {
            const Thought thought = engine.think(positionFromLine(line), limits);
            sum += thought.depth;
            least = std::min(least, thought.depth);
            most = std::max(most, thought.depth);
            nodes += thought.nodes;
        }
        const double count = std::size(kMidgame);
        state.counters["depth_mean"] = sum / count;
        state.counters["depth_min"] = least;
        state.counters["depth_max"] = most;
        state.counters["nodes/s"] =
            benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    }
}
BENCHMARK(BM_StrongestLevelDepth)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace kestrel::search

BENCHMARK_MAIN();
