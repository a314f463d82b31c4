#include "engine/search/position.h"

namespace kestrel::search {

Position positionOf(const Board& board, Side side)
{
    Position position;
    for (int k = 0; k < kCellCount; ++k) {
        if (board[k] == kEmpty)
            continue;
        if (board[k] == side)
            position.player |= bit(k);
        else
            position.opponent |= bit(k);
    }
    return position;
}

Board boardOf(const Position& position, Side side)
{
    const auto own = static_cast<CellState>(side);
    const auto other = static_cast<CellState>(3 - side);
    Board board{};
    for (int k = 0; k < kCellCount; ++k) {
        if (position.player & bit(k))
            board[k] = own;
        else if (position.opponent & bit(k))
            board[k] = other;
    }
    return board;
}

} // namespace kestrel::search
