#include "engine/board.h"

#include <algorithm>
#include <cassert>

#include "text/cp932.h"

namespace kestrel {

std::string cellName(int cell)
{
    return std::to_string(cell / 8 + 1) + SJ("行") + std::to_string(cell % 8 + 1) + SJ("列");
}

int reachOf(int d, int row, int col)
{
    const Direction& dir = kDirections[d];
    int reach = 7;
    if (dir.rowStep != 0)
        reach = std::min(reach, dir.rowStep < 0 ? row : 7 - row);
    if (dir.colStep != 0)
        reach = std::min(reach, dir.colStep < 0 ? col : 7 - col);
    return reach;
}

int countFlips(MatchState& match, int row, int col, Side side)
{
    assert(isRowOrColumn(row) && isRowOrColumn(col));
    match.flipRuns.fill(0);
    if (!isRowOrColumn(row) || !isRowOrColumn(col))
        return 0;
    const int opponent = 3 - side;
    const int target = cellIndex(row, col);
    int total = 0;
    for (int d = 0; d < 8; ++d) {
        const int reach = reachOf(d, row, col);
        const int step = kDirections[d].indexStep;
        // A run needs room for at least one opposing piece and the own piece behind it.
        for (int h = 1; h < reach; ++h) {
            const int a = match.board[target + h * step];
            const int b = match.board[target + (h + 1) * step];
            if (a != opponent)
                break;
            if (b == side) {
                match.flipRuns[d] = h;
                total += h;
                break;
            }
            if (b == kEmpty)
                break;
        }
    }
    return total;
}

bool hasLegalMove(MatchState& match, Side side)
{
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            if (match.board[cellIndex(row, col)] == kEmpty && countFlips(match, row, col, side) > 0)
                return true;
    return false;
}

void setCell(Game& game, int row, int col, int state)
{
    assert(isRowOrColumn(row) && isRowOrColumn(col));
    assert(state >= kEmpty && state <= kWhite);
    if (!isRowOrColumn(row) || !isRowOrColumn(col))
        return;
    const int k = cellIndex(row, col);
    game.match.board[k] = static_cast<CellState>(state);
    game.view.showCell(k, state);
}

void turnPieces(Game& game, int row, int col, Side side)
{
    assert(isRowOrColumn(row) && isRowOrColumn(col));
    if (!isRowOrColumn(row) || !isRowOrColumn(col))
        return;
    const int target = cellIndex(row, col);
    for (int d = 0; d < 8; ++d) {
        for (int h = 1; h <= game.match.flipRuns[d]; ++h) {
            const int k = target + h * kDirections[d].indexStep;
            // flipRuns must still be those of this move: only opposing pieces turn.
            assert(isCellIndex(k) && game.match.board[k] == 3 - side);
            game.match.board[k] = static_cast<CellState>(side);
            game.view.showFlip(k, side);
        }
    }
}

int countCells(const Board& board, CellState state)
{
    return static_cast<int>(std::count(board.begin(), board.end(), state));
}

void updateCounts(Game& game)
{
    game.match.blackCount = countCells(game.match.board, kBlack);
    game.match.whiteCount = countCells(game.match.board, kWhite);
    game.view.showCounts(game.match.blackCount, game.match.whiteCount);
}

void assertCountsMatchBoard([[maybe_unused]] const MatchState& match)
{
    assert(match.blackCount == countCells(match.board, kBlack));
    assert(match.whiteCount == countCells(match.board, kWhite));
}

PieceCounts piecesOn(const Board& board)
{
    return {countCells(board, kBlack), countCells(board, kWhite)};
}

void assertMoveApplied([[maybe_unused]] const MatchState& match, [[maybe_unused]] Side mover,
                       [[maybe_unused]] PieceCounts before, [[maybe_unused]] int flips)
{
#ifndef NDEBUG
    const PieceCounts after = piecesOn(match.board);
    const int moverGain = mover == kBlack ? after.black - before.black : after.white - before.white;
    const int otherLoss = mover == kBlack ? before.white - after.white : before.black - after.black;
    assert(flips > 0);
    assert(moverGain == flips + 1);
    assert(otherLoss == flips);
#endif
}

void setUpInitialPosition(Game& game)
{
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            setCell(game, row, col, kEmpty);
    setCell(game, 3, 3, kWhite);
    game.view.pause(100);
    setCell(game, 3, 4, kBlack);
    game.view.pause(100);
    setCell(game, 4, 3, kBlack);
    game.view.pause(100);
    setCell(game, 4, 4, kWhite);
    updateCounts(game);
}

void layoutBoard(Game& game)
{
    game.view.layoutBoard();
    game.match.board.fill(kEmpty);
    game.match.flipRuns.fill(0);
}

GameResult resultOf(int blackCount, int whiteCount)
{
    if (blackCount == whiteCount)
        return GameResult::Draw;
    return blackCount > whiteCount ? GameResult::BlackWins : GameResult::WhiteWins;
}

const std::string& resultText(GameResult result)
{
    switch (result) {
    case GameResult::BlackWins:
        return SJ("黒の勝ちです");
    case GameResult::WhiteWins:
        return SJ("白の勝ちです");
    case GameResult::Draw:
        break;
    }
    return SJ("引き分けです");
}

} // namespace kestrel
