// Cost of the game records on the window's thread: reading a transcript,
// opening the recent games (100 of them, every one replayed to check it),
// and adding a finished game (a read, then a save flushed to disk).

#include <benchmark/benchmark.h>

#include "records/recent_games.h"
#include "tests/support/temp_dir.h"
#include "tests/support/transcript_cases.h"

using namespace kestrel;

namespace {

GameRecord passGame(int n)
{
    GameRecord record;
    record.date = {2024, 5, 1, n / 60 % 24, n % 60};
    record.playerName = "taro";
    record.opponentName = "hanako";
    record.moves = readTranscript(kestrel::testing::kPassGame).cells;
    record.resultText = "x";
    record.blackCount = 35;
    record.whiteCount = 28;
    return record;
}

std::vector<GameRecord> fullList()
{
    std::vector<GameRecord> list;
    for (std::size_t n = 0; n < kRecentGamesCap; ++n)
        list.push_back(passGame(static_cast<int>(n)));
    return list;
}

void readWholeGameTranscript(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readTranscript(kestrel::testing::kPassGame).cells.data());
}

void readHundredRecentGames(benchmark::State& state)
{
    const std::string bytes = recentGamesBytes(fullList());
    state.counters["bytes"] = static_cast<double>(bytes.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(readRecentGamesBytes(bytes));
}

void addToHundredRecentGames(benchmark::State& state)
{
    kestrel::testing::TempDir dir;
    const std::string folder = dir.path();
    kestrel::testing::writeBytes(recentGamesPath(folder), recentGamesBytes(fullList()));
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(addRecentGame(folder, passGame(++n)).result);
}

} // namespace

BENCHMARK(readWholeGameTranscript)->Unit(benchmark::kMicrosecond);
BENCHMARK(readHundredRecentGames)->Unit(benchmark::kMillisecond);
BENCHMARK(addToHundredRecentGames)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
