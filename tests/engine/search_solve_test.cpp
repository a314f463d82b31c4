// The public endgame positions FFO #41-#44 (22 and 23 empty cells), solved
// exactly. Several seconds each: labelled "solve", outside the unit run.

#include <gtest/gtest.h>

#include "engine/search/engine.h"
#include "tests/engine/expect_solved.h"

namespace kestrel::search {
namespace {

TEST(SearchSolver, SolvesFfo41To44Exactly)
{
    Engine engine;
    for (std::size_t i = 1; i < testing::kFfoPositions.size(); ++i)
        testing::expectSolved(engine, testing::kFfoPositions[i]);
}

} // namespace
} // namespace kestrel::search
