#pragma once
// Solves a public endgame position and checks its published result.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/search/engine.h"
#include "engine/search/position_text.h"
#include "tests/support/ffo_positions.h"

namespace kestrel::testing {

inline void expectSolved(search::Engine& engine, const SolvedPosition& solved)
{
    SCOPED_TRACE("FFO #" + std::to_string(solved.number));
    const search::PositionLine line = search::readPositionLine(solved.line);
    ASSERT_EQ(line.kind, search::PositionLine::Kind::Position);
    const search::Thought thought = engine.solve(search::positionOf(line.board, line.side));
    EXPECT_EQ(thought.kind, search::Thought::Kind::Exact);
    EXPECT_EQ(thought.score, solved.score * 100);
    const std::string move = search::moveName(thought.move);
    EXPECT_NE(std::find(solved.bestMoves.begin(), solved.bestMoves.end(), move), solved.bestMoves.end())
        << "played " << move;
}

} // namespace kestrel::testing
