// The computer's levels as the program uses them: start thinking, take the
// move when the pause ends, and the hint.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/search/thinker.h"
#include "tests/engine/board_builder.h"

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

} // namespace
} // namespace kestrel::search
