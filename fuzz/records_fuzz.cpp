// Any text opened as a game record, and any bytes in the place of the recent
// games file. Reading never goes wrong: the moves read always replay, a
// record read survives a save and a second read unchanged, and a list of
// recent games read is one that could have been written and survives a save.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "records/recent_games.h"
#include "records/record_file.h"

namespace {

using namespace kestrel;
using fuzzing::check;

void checkRecordText(std::string_view bytes)
{
    const RecordReading reading = readRecordText(bytes);
    check(replayMoves(reading.record.moves).badMove < 0, "the moves read replay");
    if (reading.fault) {
        const std::size_t before = reading.fault->number > 0 ? std::size_t(reading.fault->number - 1) : 0;
        check(reading.record.moves.size() == before, "the moves stop before the fault");
        return;
    }
    const RecordReading again = readRecordText(recordFileBytes(reading.record));
    check(!again.fault && again.record == reading.record, "a record read survives a save");
}

void checkRecentGames(std::string_view bytes)
{
    const auto games = readRecentGamesBytes(bytes);
    if (!games)
        return;
    check(games->size() <= kRecentGamesCap, "at most 100 games");
    for (const GameRecord& game : *games)
        check(isCompleteRecord(game), "every game could have been added");
    check(readRecentGamesBytes(recentGamesBytes(*games)) == games, "a list read survives a save");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkRecordText(bytes);
    checkRecentGames(bytes);
    return 0;
}
