// Cost of reading the settings at start-up and of a save from the settings
// dialog (the save is dominated by flushing the file to disk).

#include <benchmark/benchmark.h>

#include "settings/settings_files.h"
#include "tests/support/temp_dir.h"

using namespace kestrel;

namespace {

Settings settingsIn(const kestrel::testing::TempDir& dir)
{
    Settings s;
    s.settingsFilePath = dir / "lumenini.fil";
    s.addressListPath = dir / "lumenip.fil";
    s.playerName = "taro";
    return s;
}

std::vector<std::string> addresses(int count)
{
    std::vector<std::string> list;
    for (int i = 0; i < count; ++i)
        list.push_back("10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1));
    return list;
}

void loadWithAddresses(benchmark::State& state)
{
    kestrel::testing::TempDir dir;
    Settings s = settingsIn(dir);
    writeSettingsFile(s);
    writeAddressList(s, addresses(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        loadSettings(s);
        benchmark::DoNotOptimize(s.extraAddresses.data());
    }
}
BENCHMARK(loadWithAddresses)->Arg(0)->Arg(10)->Arg(1000);

void saveSettingsFile(benchmark::State& state)
{
    kestrel::testing::TempDir dir;
    Settings s = settingsIn(dir);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSettingsFile(s));
}
BENCHMARK(saveSettingsFile)->Unit(benchmark::kMicrosecond);

void saveAddressList(benchmark::State& state)
{
    kestrel::testing::TempDir dir;
    Settings s = settingsIn(dir);
    std::vector<std::string> list = addresses(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(writeAddressList(s, list));
}
BENCHMARK(saveAddressList)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
