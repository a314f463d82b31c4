#include "engine/search/perft.h"

namespace kestrel::search {

namespace {

std::uint64_t leavesBelow(const Position& position, int depth, bool passed)
{
    if (depth == 0)
        return 1;
    Bitboard moves = position.moves();
    if (moves == 0) {
        if (passed)
            return 1; // neither side can move: the game ended here
        return leavesBelow(position.passed(), depth - 1, true);
    }
    if (depth == 1)
        return static_cast<std::uint64_t>(countBits(moves));
    std::uint64_t leaves = 0;
    while (moves)
        leaves += leavesBelow(position.play(popFirstCell(moves)), depth - 1, false);
    return leaves;
}

} // namespace

std::uint64_t perft(const Position& position, int depth)
{
    return leavesBelow(position, depth, false);
}

} // namespace kestrel::search
