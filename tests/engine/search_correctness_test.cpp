// The search engine's move generator and solver against published numbers.

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/search/engine.h"
#include "engine/search/perft.h"
#include "engine/search/position_text.h"
#include "tests/engine/expect_solved.h"

namespace kestrel::search {
namespace {

// Leaves of the move tree from the starting position, a pass counting as a
// ply and a finished game as a leaf; published counts.
TEST(SearchMoveGenerator, PerftFromTheStartMatchesThePublishedCounts)
{
    const std::uint64_t published[] = {4, 12, 56, 244, 1396, 8200, 55092, 390216, 3005288};
    for (int depth = 1; depth <= 9; ++depth)
        EXPECT_EQ(perft(startPosition(), depth), published[depth - 1]) << "depth " << depth;
}

// A reflected starting position has the same tree.
TEST(SearchMoveGenerator, PerftOfTheMirroredStartIsTheSame)
{
    const PositionLine line =
        readPositionLine("---------------------------XO------OX--------------------------- X");
    ASSERT_EQ(line.kind, PositionLine::Kind::Position);
    EXPECT_EQ(perft(positionOf(line.board, line.side), 8), 390216u);
}

// The smallest of the public endgame positions (20 empty cells); #41-#44 run
// in the "solve" tests, left out of the sanitizer run for their length.
TEST(SearchSolver, SolvesFfo40Exactly)
{
    Engine engine;
    testing::expectSolved(engine, testing::kFfoPositions[0]);
}

} // namespace
} // namespace kestrel::search
