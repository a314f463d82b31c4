// The search engine against the program's own rules (countFlips, turnPieces):
// the same moves and turned discs, and exact scores equal to a plain minimax
// over those rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/board.h"
#include "engine/search/engine.h"
#include "engine/search/evaluation.h"
#include "tests/support/board_builder.h"
#include "tests/support/recording_link.h"

namespace kestrel::search {
namespace {

using testing::legalCells;
using testing::NullLink;
using testing::NullView;
using testing::pictureOf;
using testing::startingBoard;

std::vector<int> cellsOf(Bitboard set)
{
    std::vector<int> cells;
    while (set)
        cells.push_back(popFirstCell(set));
    return cells;
}

// The board after `side` plays `cell`, by the program's rules.
Board playedByTheRules(const Board& board, Side side, int cell)
{
    MatchState match;
    match.board = board;
    NullView view;
    NullLink link;
    Game game{match, view, link};
    countFlips(match, cell / 8, cell % 8, side);
    setCell(game, cell / 8, cell % 8, side);
    turnPieces(game, cell / 8, cell % 8, side);
    return match.board;
}

// Final disc difference for `side` under perfect play, empty cells to the
// winner, by trying every move with the program's rules.
int minimaxByTheRules(const Board& board, Side side, bool passed = false)
{
    MatchState match;
    match.board = board;
    const std::vector<int> cells = legalCells(match, side);
    if (cells.empty()) {
        if (!passed)
            return -minimaxByTheRules(board, 3 - side, true);
        const int own = countCells(board, static_cast<CellState>(side));
        const int other = countCells(board, static_cast<CellState>(3 - side));
        const int empty = 64 - own - other;
        return own > other ? own - other + empty : own < other ? own - other - empty : 0;
    }
    int best = -64;
    for (int cell : cells)
        best = std::max(best, -minimaxByTheRules(playedByTheRules(board, side, cell), 3 - side));
    return best;
}

// Plays random games from the start and calls `visit(board, side)` before every move.
template <class Visit> void randomGames(std::uint32_t seed, int games, Visit visit)
{
    std::mt19937 random(seed);
    for (int g = 0; g < games; ++g) {
        Board board = startingBoard();
        Side side = kBlack;
        for (int passes = 0; passes < 2;) {
            MatchState match;
            match.board = board;
            const std::vector<int> cells = legalCells(match, side);
            if (!visit(board, side))
                break;
            if (cells.empty()) {
                ++passes;
            } else {
                passes = 0;
                board = playedByTheRules(board, side, cells[random() % cells.size()]);
            }
            side = 3 - side;
        }
    }
}

TEST(SearchMoveGenerator, AgreesWithTheProgramsRulesOverRandomGames)
{
    int positions = 0;
    randomGames(11, 60, [&](const Board& board, Side side) {
        MatchState match;
        match.board = board;
        const Position position = positionOf(board, side);
        EXPECT_EQ(cellsOf(position.moves()), legalCells(match, side)) << pictureOf(board);
        for (int cell : cellsOf(position.moves()))
            EXPECT_EQ(boardOf(position.play(cell), 3 - side), playedByTheRules(board, side, cell))
                << pictureOf(board) << "move " << cell;
        ++positions;
        return true;
    });
    EXPECT_GT(positions, 3000);
}

TEST(SearchSolver, ScoresEqualAPlainMinimaxNearTheEnd)
{
    Engine engine;
    int solved = 0;
    randomGames(5, 12, [&](const Board& board, Side side) {
        const int empties = countCells(board, kEmpty);
        if (empties > 8)
            return true;
        const Thought thought = engine.solve(positionOf(board, side));
        const int expected = minimaxByTheRules(board, side);
        EXPECT_EQ(thought.score, expected * kDiscScale) << pictureOf(board) << "side " << side;
        if (thought.move != kPass) {
            EXPECT_EQ(-minimaxByTheRules(playedByTheRules(board, side, thought.move), 3 - side), expected)
                << pictureOf(board) << "move " << thought.move;
        }
        // A midgame search as deep as the game is long hands over to the
        // solver with its window; a level solving from this many empty cells
        // solves it too.
        const SearchLimits deep{
            .depth = 60, .exactEmpties = 0, .winLossDrawFirst = false, .time = std::nullopt};
        const SearchLimits level{
            .depth = 2, .exactEmpties = 8, .winLossDrawFirst = true, .time = std::nullopt};
        for (const SearchLimits& limits : {deep, level}) {
            const Thought searched = engine.think(positionOf(board, side), limits);
            EXPECT_TRUE(searched.kind == Thought::Kind::Exact || searched.kind == Thought::Kind::GameOver);
            EXPECT_EQ(searched.score, expected * kDiscScale) << pictureOf(board) << "side " << side;
        }
        ++solved;
        return false; // one position a game
    });
    EXPECT_EQ(solved, 12);
}

// The board seen after one of the eight turns and reflections of the square.
Board transformed(const Board& board, int symmetry)
{
    Board out{};
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 8; ++col) {
            int r = row, c = col;
            if (symmetry & 1)
                c = 7 - c;
            if (symmetry & 2)
                r = 7 - r;
            if (symmetry & 4)
                std::swap(r, c);
            out[r * 8 + c] = board[row * 8 + col];
        }
    }
    return out;
}

TEST(SearchEvaluation, TheSameFromEveryTurnOfTheBoard)
{
    int checked = 0;
    randomGames(3, 20, [&](const Board& board, Side side) {
        const int estimate = evaluate(positionOf(board, side));
        for (int symmetry = 1; symmetry < 8; ++symmetry)
            EXPECT_EQ(evaluate(positionOf(transformed(board, symmetry), side)), estimate)
                << pictureOf(board) << "symmetry " << symmetry;
        ++checked;
        return true;
    });
    EXPECT_GT(checked, 1000);
}

} // namespace
} // namespace kestrel::search
