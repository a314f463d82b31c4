// The computer's levels as the program uses them: start thinking, take the
// move when the pause ends, and the hint.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "engine/board.h"

#include "engine/search/thinker.h"
#include "tests/support/board_builder.h"

namespace kestrel::search {
namespace {

using testing::boardFromPicture;
using testing::startingBoard;

bool isLegal(const Board& board, Side side, int cell)
{
    return cell >= 0 && (positionOf(board, side).moves() & bit(cell));
}

// A middle-game position with white to move.
const char* const kMidgame = "..oooo.."
                             "x.oxxo.."
                             "xxoxxxxx"
                             "xxxoxooo"
                             "xxoxxoo."
                             "x.xooo.."
                             "..ooo..."
                             "........";

TEST(ComputerThinker, LevelsHintAndStopping)
{
    ComputerThinker thinker;

    // Level 0 is the program's own player: the cells it is known to choose.
    struct Case {
        const char* picture;
        Side side;
        int cell;
    };
    const Case standard[] = {
        {"........"
         "........"
         "........"
         "...ox..."
         "...xo..."
         "........"
         "........"
         "........",
         kBlack, 19}, // opening: the first of four single captures
        {".xo....."
         "........"
         "........"
         "....xxxo"
         "...x...."
         "...x...."
         "...x...."
         "...o....",
         kWhite, 0}, // a corner before a capture of six
        {"....xxxo"
         "...x...."
         "...x...."
         "...o...."
         "........"
         "...xo..."
         "........"
         "........",
         kWhite, 42}, // an inner cell before an edge capture of five
        {"........"
         "........"
         "..x....."
         "...o...."
         "....x..."
         ".....x.."
         "........"
         "........",
         kWhite, 9}, // next to a corner only when nothing else is legal
    };
    for (const Case& c : standard) {
        thinker.start(boardFromPicture(c.picture), c.side, kDefaultLevel);
        EXPECT_EQ(thinker.takeMove(), c.cell) << c.picture;
    }

    // Stopped before it could search, the strongest level still has a legal move.
    thinker.start(startingBoard(), kBlack, kStrongestLevel);
    const int early = thinker.takeMove();
    EXPECT_TRUE(isLegal(startingBoard(), kBlack, early)) << early;

    // Every searching level gives a legal move; depth-bounded ones give the
    // same move again, whatever was searched in between.
    const Board midgame = boardFromPicture(kMidgame);
    for (const Level& level : kLevels) {
        SCOPED_TRACE(level.number);
        const int first = thinker.chooseMove(midgame, kWhite, level.number);
        EXPECT_TRUE(isLegal(midgame, kWhite, first)) << first;
        EXPECT_NE(thinker.lastThought().kind, Thought::Kind::GameOver);
        if (!level.deterministic())
            continue;
        thinker.chooseMove(startingBoard(), kBlack, level.number);
        EXPECT_EQ(thinker.chooseMove(midgame, kWhite, level.number), first);
    }

    // No legal move: -1 at every level, from start() and from hint().
    const Board blackOnly = boardFromPicture("xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxxx"
                                             "xxxxxxx.");
    for (const Level& level : kLevels) {
        thinker.start(blackOnly, kWhite, level.number);
        EXPECT_EQ(thinker.takeMove(), -1) << level.number;
    }
    EXPECT_EQ(thinker.hint(blackOnly, kWhite), -1);

    // The hint is a legal move of the side asking.
    const int hint = thinker.hint(midgame, kWhite, std::chrono::milliseconds(100));
    EXPECT_TRUE(isLegal(midgame, kWhite, hint)) << hint;

    // Cancelled thinking has no move to give.
    thinker.start(midgame, kWhite, kStrongestLevel);
    thinker.cancel();
    EXPECT_EQ(thinker.takeMove(), -1);
}

// Whole games as the window plays them: each turn starts the thinking, then
// takes the move; every move is legal by the program's rules, a side without
// a move gets -1, and the game ends when neither can move.
TEST(ComputerThinker, PlaysWholeGamesBetweenLevels)
{
    ComputerThinker black, white;
    for (const auto& [blackLevel, whiteLevel] : {std::pair{1, 2}, std::pair{2, 0}}) {
        MatchState match;
        match.board = startingBoard();
        Side side = kBlack;
        int passes = 0, moves = 0;
        while (passes < 2) {
            ComputerThinker& thinker = side == kBlack ? black : white;
            thinker.start(match.board, side, side == kBlack ? blackLevel : whiteLevel);
            const int cell = thinker.takeMove();
            if (cell < 0) {
                EXPECT_FALSE(hasLegalMove(match, side)) << testing::pictureOf(match.board);
                ++passes;
            } else {
                ASSERT_EQ(match.board[cell], kEmpty);
                ASSERT_GT(countFlips(match, cell / 8, cell % 8, side), 0) << testing::pictureOf(match.board);
                match.board = boardOf(positionOf(match.board, side).play(cell), 3 - side);
                passes = 0;
                ++moves;
            }
            side = 3 - side;
        }
        EXPECT_FALSE(hasLegalMove(match, kBlack));
        EXPECT_FALSE(hasLegalMove(match, kWhite));
        EXPECT_GE(moves, 30);
    }
}

// Stopped from another thread in the middle of an endless exact solve, the
// engine returns with the best move it has: legal, and not a proven result.
TEST(SearchEngine, StopsWhenAskedFromAnotherThread)
{
    Engine engine;
    std::atomic<bool> stop{false};
    std::vector<Thought> heard; // written by the search thread until it is joined
    std::promise<void> deepEnough;
    const Position position = positionOf(boardFromPicture(kMidgame), kWhite);
    const SearchLimits unbounded{
        .depth = 60, .exactEmpties = 64, .winLossDrawFirst = true, .time = std::nullopt};
    Thought thought;
    std::thread search([&] {
        bool told = false;
        thought = engine.think(position, unbounded, &stop, [&](const Thought& t) {
            heard.push_back(t);
            if (t.depth >= 4 && !told) {
                told = true;
                deepEnough.set_value();
            }
        });
    });
    deepEnough.get_future().wait();
    stop = true;
    search.join();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front().depth, 0); // a move before any search
    EXPECT_TRUE(position.moves() & bit(heard.front().move));
    EXPECT_TRUE(position.moves() & bit(thought.move));
    EXPECT_EQ(thought.move, heard.back().move);
    EXPECT_EQ(thought.kind, Thought::Kind::Estimate);
    EXPECT_GE(thought.depth, 4);
}

} // namespace
} // namespace kestrel::search
