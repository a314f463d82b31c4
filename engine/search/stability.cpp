#include "engine/search/stability.h"

#include <array>

namespace kestrel::search {

namespace {

constexpr Bitboard kRank1 = 0x00000000000000FFULL;
constexpr Bitboard kRank8 = 0xFF00000000000000ULL;

// The cells of each diagonal of `Shift` (9: a1-h8 direction, 7: h1-a8), from
// every starting cell on the first row and the first or last column.
template <int Shift> constexpr std::array<Bitboard, 15> diagonalLines()
{
    std::array<Bitboard, 15> lines{};
    int n = 0;
    for (int start = 0; start < 64; ++start) {
        const int row = start / 8, col = start % 8;
        const bool first = Shift == 9 ? (row == 0 || col == 0) : (row == 0 || col == 7);
        if (!first)
            continue;
        Bitboard line = 0;
        for (int r = row, c = col; r < 8 && c >= 0 && c < 8; ++r, c += Shift == 9 ? 1 : -1)
            line |= bit(r * 8 + c);
        lines[n++] = line;
    }
    return lines;
}

constexpr auto kDiagonals9 = diagonalLines<9>();
constexpr auto kDiagonals7 = diagonalLines<7>();

struct FullLines {
    Bitboard horizontal = 0;
    Bitboard vertical = 0;
    Bitboard diagonal9 = 0;
    Bitboard diagonal7 = 0;
};

FullLines fullLines(Bitboard occupied)
{
    FullLines full;
    for (int row = 0; row < 8; ++row) {
        const Bitboard line = kRank1 << (8 * row);
        if ((occupied & line) == line)
            full.horizontal |= line;
    }
    Bitboard columns = occupied;
    columns &= columns >> 32;
    columns &= columns >> 16;
    columns &= columns >> 8;
    full.vertical = (columns & 0xFF) * kFileA;
    for (Bitboard line : kDiagonals9)
        if ((occupied & line) == line)
            full.diagonal9 |= line;
    for (Bitboard line : kDiagonals7)
        if ((occupied & line) == line)
            full.diagonal7 |= line;
    return full;
}

} // namespace

Bitboard stableDiscs(Bitboard player, Bitboard opponent)
{
    const FullLines full = fullLines(player | opponent);
    // A line that is full or ends at the edge protects the disc along it.
    const Bitboard horizontal = full.horizontal | kFileA | kFileH;
    const Bitboard vertical = full.vertical | kRank1 | kRank8;
    const Bitboard diagonal9 = full.diagonal9 | kEdges;
    const Bitboard diagonal7 = full.diagonal7 | kEdges;
    Bitboard stable = 0;
    for (;;) {
        const Bitboard next = player & (horizontal | step<1>(stable) | step<-1>(stable)) &
                              (vertical | step<8>(stable) | step<-8>(stable)) &
                              (diagonal9 | step<9>(stable) | step<-9>(stable)) &
                              (diagonal7 | step<7>(stable) | step<-7>(stable));
        if (next == stable)
            return stable;
        stable = next;
    }
}

} // namespace kestrel::search
