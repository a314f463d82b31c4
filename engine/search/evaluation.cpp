#include "engine/search/evaluation.h"

#include <algorithm>
#include <array>

#include "engine/search/stability.h"

namespace kestrel::search {

namespace {

// What each feature is worth with the board nearly empty and nearly full;
// stages between are interpolated on the number of empty cells.
struct Weights {
    int mobility;          // per legal move more than the opponent
    int potentialMobility; // per own frontier disc fewer than the opponent's
    int corner;            // per corner more
    int xSquare;           // per own disc diagonally next to an empty corner
    int cSquare;           // per own disc beside an empty corner on the edge
    int stable;            // per stable disc more
    int parity;            // the side to move has the last move in an odd region count
    int disc;              // per disc more
};

constexpr Weights kOpening{90, 45, 900, -450, -150, 120, 0, -6};
constexpr Weights kEnding{60, 20, 450, -150, -60, 110, 150, 40};

constexpr int kStages = 61;

constexpr int mix(int opening, int ending, int empties)
{
    return (opening * empties + ending * (60 - empties)) / 60;
}

constexpr std::array<Weights, kStages> stageWeights()
{
    std::array<Weights, kStages> table{};
    for (int e = 0; e < kStages; ++e) {
        table[e] = {mix(kOpening.mobility, kEnding.mobility, e),
                    mix(kOpening.potentialMobility, kEnding.potentialMobility, e),
                    mix(kOpening.corner, kEnding.corner, e),
                    mix(kOpening.xSquare, kEnding.xSquare, e),
                    mix(kOpening.cSquare, kEnding.cSquare, e),
                    mix(kOpening.stable, kEnding.stable, e),
                    mix(kOpening.parity, kEnding.parity, e),
                    mix(kOpening.disc, kEnding.disc, e)};
    }
    return table;
}

constexpr auto kWeights = stageWeights();

// For each corner: the corner, its diagonal neighbour and its two edge neighbours.
struct CornerCells {
    Bitboard corner;
    Bitboard x;
    Bitboard c;
};
constexpr std::array<CornerCells, 4> kCornerCells{{
    {bit(0), bit(9), bit(1) | bit(8)},
    {bit(7), bit(14), bit(6) | bit(15)},
    {bit(56), bit(49), bit(57) | bit(48)},
    {bit(63), bit(54), bit(62) | bit(55)},
}};

int difference(Bitboard mine, Bitboard theirs)
{
    return countBits(mine) - countBits(theirs);
}

} // namespace

int evaluate(const Position& position)
{
    const Bitboard p = position.player, o = position.opponent;
    const Bitboard empty = position.empties();
    const int empties = countBits(empty);
    const Weights& w = kWeights[static_cast<std::size_t>(std::min(empties, kStages - 1))];

    int score = w.mobility * difference(legalMoves(p, o), legalMoves(o, p));
    const Bitboard nearEmpty = neighbours(empty);
    score += w.potentialMobility * difference(o & nearEmpty, p & nearEmpty);
    score += w.corner * difference(p & kCorners, o & kCorners);
    for (const CornerCells& cells : kCornerCells) {
        if (!(empty & cells.corner))
            continue;
        score += w.xSquare * difference(p & cells.x, o & cells.x);
        score += w.cSquare * difference(p & cells.c, o & cells.c);
    }
    if (empties < 40)
        score += w.stable * (countBits(stableDiscs(p, o)) - countBits(stableDiscs(o, p)));
    score += w.parity * ((empties & 1) ? 1 : -1);
    score += w.disc * difference(p, o);
    constexpr int kLimit = 63 * kDiscScale;
    return std::clamp(score, -kLimit, kLimit);
}

} // namespace kestrel::search
