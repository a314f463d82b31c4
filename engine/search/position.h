#pragma once
// A position as the search sees it: the discs of the side to move and those
// of its opponent. Whose colour is which is kept by the caller.

#include <cstdint>

#include "engine/match_state.h"
#include "engine/search/bitboard.h"

namespace kestrel::search {

// A move: a cell 0-63, or kPass.
inline constexpr int kPass = -1;

struct Position {
    Bitboard player = 0;   // the side to move
    Bitboard opponent = 0; // the other side

    constexpr Bitboard empties() const { return ~(player | opponent); }
    constexpr int emptyCount() const { return 64 - countBits(player | opponent); }
    constexpr Bitboard moves() const { return legalMoves(player, opponent); }
    constexpr Bitboard opponentMoves() const { return legalMoves(opponent, player); }
    constexpr bool gameOver() const { return moves() == 0 && opponentMoves() == 0; }

    // The position after the side to move plays `cell` (a legal move).
    constexpr Position play(int cell) const
    {
        const Bitboard turned = flips(cell, player, opponent);
        return {opponent ^ turned, player | turned | bit(cell)};
    }
    // The position after a move whose turned discs are already known.
    constexpr Position play(int cell, Bitboard turned) const
    {
        return {opponent ^ turned, player | turned | bit(cell)};
    }
    constexpr Position passed() const { return {opponent, player}; }

    friend constexpr bool operator==(const Position&, const Position&) = default;
};

// Black to move on the four starting discs.
constexpr Position startPosition()
{
    return {bit(28) | bit(35), bit(27) | bit(36)};
}

// Final disc difference for the side to move, the empty cells going to the
// winner (the usual scoring of solved positions).
constexpr int finalScore(const Position& position)
{
    const int own = countBits(position.player);
    const int theirs = countBits(position.opponent);
    const int empty = 64 - own - theirs;
    if (own > theirs)
        return own - theirs + empty;
    if (own < theirs)
        return own - theirs - empty;
    return 0;
}

// The program's board with `side` to move.
Position positionOf(const Board& board, Side side);

// The program's board for the position; `side` is the colour of the side to move.
Board boardOf(const Position& position, Side side);

// A 64-bit key of the position for the transposition tables.
constexpr std::uint64_t hashOf(const Position& position)
{
    auto mix = [](std::uint64_t x) {
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDULL;
        x ^= x >> 33;
        x *= 0xC4CEB9FE1A85EC53ULL;
        x ^= x >> 33;
        return x;
    };
    return mix(position.player ^ mix(position.opponent + 0x9E3779B97F4A7C15ULL));
}

} // namespace kestrel::search
