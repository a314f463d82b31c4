// Speed of the move rules and of a whole game against the computer with a
// view that shows nothing and never pauses.
//   cmake --build build --target engine_bench && build/bench/engine_bench

#include <benchmark/benchmark.h>

#include "engine/board.h"
#include "engine/computer_player.h"
#include "engine/turn_flow.h"
#include "tests/support/board_builder.h"
#include "tests/support/recording_link.h"

namespace kestrel {
namespace {

using testing::boardFromPicture;
using testing::legalCells;
using testing::NullLink;
using testing::NullView;
using testing::startingBoard;

Board positionNamed(int which)
{
    switch (which) {
    case 1: // midgame, 30 pieces
        return boardFromPicture("..ooox.o"
                                "..ooxxo."
                                "..o.ooo."
                                ".xoooooo"
                                "..ooo..x"
                                "..o.x..."
                                "....xx.."
                                "....x...");
    case 2: // near the end, 56 pieces
        return boardFromPicture("oooooooo"
                                "x.oxxxxx"
                                "oooxooxo"
                                "ooxoxxoo"
                                ".oooxooo"
                                "xxoxxoxo"
                                "..xooxxo"
                                "..xox..o");
    default:
        return startingBoard();
    }
}

const char* kPositionNames[] = {"start", "midgame", "near-full"};

// countFlips over every empty cell of the position, for black.
void BM_CountFlipsAllEmptyCells(benchmark::State& state)
{
    MatchState match;
    match.board = positionNamed(static_cast<int>(state.range(0)));
    state.SetLabel(kPositionNames[state.range(0)]);
    std::int64_t tests = 0;
    for (auto _ : state) {
        for (int k = 0; k < kCellCount; ++k) {
            if (match.board[k] != kEmpty)
                continue;
            benchmark::DoNotOptimize(countFlips(match, k / 8, k % 8, kBlack));
            ++tests;
        }
    }
    state.SetItemsProcessed(tests);
}
BENCHMARK(BM_CountFlipsAllEmptyCells)->DenseRange(0, 2);

void BM_HasLegalMove(benchmark::State& state)
{
    MatchState match;
    match.board = positionNamed(static_cast<int>(state.range(0)));
    state.SetLabel(kPositionNames[state.range(0)]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(hasLegalMove(match, kBlack));
        benchmark::DoNotOptimize(hasLegalMove(match, kWhite));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_HasLegalMove)->DenseRange(0, 2);

void BM_ComputerChoice(benchmark::State& state)
{
    MatchState match;
    match.board = positionNamed(static_cast<int>(state.range(0)));
    state.SetLabel(kPositionNames[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(chooseComputerMove(match, kWhite));
}
BENCHMARK(BM_ComputerChoice)->DenseRange(0, 2);

// A whole game against the computer, the human clicking its first legal cell.
void BM_WholeGameAgainstComputer(benchmark::State& state)
{
    NullView view;
    NullLink link;
    std::int64_t clicks = 0;
    for (auto _ : state) {
        MatchState match;
        match.vsComputer = 1;
        match.mySide = kBlack;
        Game game{match, view, link};
        setUpInitialPosition(game);
        match.myTurn = 1;
        while (match.myTurn == 1) {
            const std::vector<int> cells = legalCells(match, kBlack);
            if (cells.empty())
                break;
            const int k = cells.front();
            onBoardClick(game, static_cast<std::uint16_t>(10 + (k % 8) * 34 + 17),
                         static_cast<std::uint16_t>(25 + (k / 8) * 34 + 17));
            ++clicks;
        }
        benchmark::DoNotOptimize(match.blackCount);
    }
    state.counters["clicks/game"] = benchmark::Counter(static_cast<double>(clicks) / state.iterations());
}
BENCHMARK(BM_WholeGameAgainstComputer);

} // namespace
} // namespace kestrel

BENCHMARK_MAIN();
