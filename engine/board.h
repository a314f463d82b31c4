#pragma once
// The board and the rules of Reversi on it. Every change of a cell goes
// through setCell or turnPieces, which show the change on the view at once,
// so the board in memory and the board on screen never differ.

#include <array>
#include <string>

#include "engine/game.h"

namespace kestrel {

// One of the eight scan directions, always taken in table order 0-7.
struct Direction {
    int rowStep;
    int colStep;
    int indexStep;
};

inline constexpr std::array<Direction, 8> kDirections{{
    {-1, -1, -9}, // 0 up-left
    {-1, 0, -8},  // 1 up
    {-1, +1, -7}, // 2 up-right
    {0, -1, -1},  // 3 left
    {0, +1, +1},  // 4 right
    {+1, -1, +7}, // 5 down-left
    {+1, 0, +8},  // 6 down
    {+1, +1, +9}, // 7 down-right
}};

// Cells between (row, col) and the edge of the board in direction d.
int reachOf(int d, int row, int col);

// True for the indexes of the 64 cells. Anything that comes from outside (a
// click, a network payload) is checked with this before it reaches the board.
constexpr bool isCellIndex(int k)
{
    return k >= 0 && k < kCellCount;
}

constexpr bool isRowOrColumn(int v)
{
    return v >= 0 && v < 8;
}

constexpr int cellIndex(int row, int col)
{
    return row * 8 + col;
}

// "3行4列" (Shift-JIS): row and column counted from 1, as a player reads the
// board and as screen readers hear it.
std::string cellName(int cell);

// The number of opposing pieces a piece of `side` at (row, col) would turn;
// a move is legal when it is above 0. Overwrites all of match.flipRuns.
// Does not look at the target cell itself: callers check that it is empty.
int countFlips(MatchState& match, int row, int col, Side side);

// True when some empty cell passes countFlips for `side` (rows, then columns).
// Overwrites match.flipRuns.
bool hasLegalMove(MatchState& match, Side side);

// Stores `state` in the cell and shows it (the placing animation for a piece).
void setCell(Game& game, int row, int col, int state);

// Turns to `side` the pieces that the last countFlips recorded in flipRuns
// for a move at (row, col): direction by direction, nearest first.
void turnPieces(Game& game, int row, int col, Side side);

// Counts the board into blackCount and whiteCount and shows both.
void updateCounts(Game& game);

// Empties the board and places the four starting pieces, with animation.
void setUpInitialPosition(Game& game);

// Places the board on the view and clears the board and flipRuns.
void layoutBoard(Game& game);

// Number of cells holding `state`.
int countCells(const Board& board, CellState state);

// Debug builds: the counts last shown (blackCount, whiteCount) are the board's.
void assertCountsMatchBoard(const MatchState& match);

// The piece counts of a board, taken before a move for assertMoveApplied.
struct PieceCounts {
    int black = 0;
    int white = 0;
};
PieceCounts piecesOn(const Board& board);

// Debug builds: the board differs from `before` by exactly one move of
// `mover` that turned `flips` pieces.
void assertMoveApplied(const MatchState& match, Side mover, PieceCounts before, int flips);

enum class GameResult { Draw, BlackWins, WhiteWins };

GameResult resultOf(int blackCount, int whiteCount);

// The Shift-JIS text of a result, as shown and sent to the opponent.
const std::string& resultText(GameResult result);

} // namespace kestrel
