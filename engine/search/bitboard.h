#pragma once
// Sets of cells as 64-bit words: bit k is cell k = row * 8 + column, the same
// indexes as the program's Board (row 0 is rank 1, column 0 is file a). The
// move rules work on two words, the discs of the side to move and those of
// its opponent.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace kestrel::search {

using Bitboard = std::uint64_t;

inline constexpr Bitboard kFileA = 0x0101010101010101ULL;
inline constexpr Bitboard kFileH = 0x8080808080808080ULL;
inline constexpr Bitboard kNotFileA = ~kFileA;
inline constexpr Bitboard kNotFileH = ~kFileH;
// Discs that can lie inside a horizontal or diagonal line of turned discs.
inline constexpr Bitboard kInnerColumns = 0x7E7E7E7E7E7E7E7EULL;
inline constexpr Bitboard kCorners = 0x8100000000000081ULL;
inline constexpr Bitboard kEdges = 0xFF818181818181FFULL;

constexpr Bitboard bit(int cell)
{
    return Bitboard{1} << cell;
}

// Counts set bits without relying on a popcnt instruction (the program runs
// on any x86-64).
constexpr int countBits(Bitboard b)
{
    b = b - ((b >> 1) & 0x5555555555555555ULL);
    b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((b * 0x0101010101010101ULL) >> 56);
}

constexpr int firstCell(Bitboard b)
{
    return std::countr_zero(b);
}

// Removes and returns the lowest cell of a non-empty set.
constexpr int popFirstCell(Bitboard& b)
{
    const int cell = std::countr_zero(b);
    b &= b - 1;
    return cell;
}

// One step in a direction, `Shift` in cells (+1 east, +8 north, -9 south-west,
// ...), dropping what leaves the board.
template <int Shift> constexpr Bitboard step(Bitboard b)
{
    if constexpr (Shift == 8)
        return b << 8;
    else if constexpr (Shift == -8)
        return b >> 8;
    else if constexpr (Shift == 1 || Shift == 9 || Shift == -7)
        return (Shift > 0 ? b << Shift : b >> -Shift) & kNotFileA;
    else
        return (Shift > 0 ? b << Shift : b >> -Shift) & kNotFileH;
}

// The opponent discs a line of turned discs may run over in that direction.
template <int Shift> constexpr Bitboard runMask(Bitboard opponent)
{
    return Shift == 8 || Shift == -8 ? opponent : opponent & kInnerColumns;
}

template <int Shift> constexpr Bitboard movesInDirection(Bitboard player, Bitboard opponent)
{
    const Bitboard o = runMask<Shift>(opponent);
    Bitboard run = o & step<Shift>(player);
    for (int i = 0; i < 5; ++i)
        run |= o & step<Shift>(run);
    return step<Shift>(run);
}

// The empty cells where the side to move (player) may place a disc.
constexpr Bitboard legalMoves(Bitboard player, Bitboard opponent)
{
    const Bitboard moves = movesInDirection<1>(player, opponent) | movesInDirection<-1>(player, opponent) |
                           movesInDirection<8>(player, opponent) | movesInDirection<-8>(player, opponent) |
                           movesInDirection<7>(player, opponent) | movesInDirection<-7>(player, opponent) |
                           movesInDirection<9>(player, opponent) | movesInDirection<-9>(player, opponent);
    return moves & ~(player | opponent);
}

namespace detail {

// For every cell, the cells beyond it in each direction: first the four
// directions towards higher indexes (+1, +7, +8, +9), then the four towards
// lower ones (-1, -7, -8, -9).
struct Rays {
    Bitboard up[4];
    Bitboard down[4];
};

constexpr std::array<Rays, 64> makeRays()
{
    constexpr int rowSteps[4] = {0, 1, 1, 1};
    constexpr int colSteps[4] = {1, -1, 0, 1};
    std::array<Rays, 64> rays{};
    for (int cell = 0; cell < 64; ++cell) {
        for (int d = 0; d < 4; ++d) {
            for (int sign : {1, -1}) {
                Bitboard ray = 0;
                int row = cell / 8 + sign * rowSteps[d], col = cell % 8 + sign * colSteps[d];
                for (; row >= 0 && row < 8 && col >= 0 && col < 8;
                     row += sign * rowSteps[d], col += sign * colSteps[d])
                    ray |= bit(row * 8 + col);
                (sign > 0 ? rays[cell].up : rays[cell].down)[d] = ray;
            }
        }
    }
    return rays;
}

inline constexpr std::array<Rays, 64> kRays = makeRays();

// All ones when the cell closing the line is the player's, else zero.
constexpr Bitboard closedBy(Bitboard closer, Bitboard player)
{
    return Bitboard{0} - static_cast<Bitboard>((closer & player) != 0);
}

} // namespace detail

// The opponent discs a disc of the player placed on `cell` turns (empty when
// the move is not legal). The cell itself is not looked at.
constexpr Bitboard flips(int cell, Bitboard player, Bitboard opponent)
{
    const detail::Rays& rays = detail::kRays[static_cast<std::size_t>(cell)];
    Bitboard turned = 0;
    for (int d = 0; d < 4; ++d) {
        // Towards higher indexes the first cell that is not the opponent's
        // is the lowest such bit of the ray; towards lower ones, the highest.
        const Bitboard up = rays.up[d];
        const Bitboard upStop = ~opponent & up;
        const Bitboard upCloser = upStop & (Bitboard{0} - upStop);
        turned |= (upCloser - 1) & up & detail::closedBy(upCloser, player);
        const Bitboard down = rays.down[d];
        const Bitboard downCloser = std::bit_floor(~opponent & down);
        turned |= (Bitboard{0} - (downCloser << 1)) & down & detail::closedBy(downCloser, player);
    }
    return turned;
}

// The cells next to any cell of the set (eight directions).
constexpr Bitboard neighbours(Bitboard b)
{
    const Bitboard horizontal = step<1>(b) | step<-1>(b);
    const Bitboard row = b | horizontal;
    return horizontal | (row << 8) | (row >> 8);
}

} // namespace kestrel::search
