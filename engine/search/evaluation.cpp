#include "engine/search/evaluation.h"

#include <algorithm>

#include "engine/search/evaluation_weights.h"
#include "engine/search/stability.h"

namespace kestrel::search {

namespace {

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

inline int difference(Bitboard mine, Bitboard theirs)
{
    return countBits(mine) - countBits(theirs);
}

// The hand-set weights with the board nearly empty and nearly full; stages
// between are interpolated.
constexpr std::array<int, kFeatureCount> kHandOpening{90, 0, 0, -45, 900, -450, -150, 120, 0, -6, 0, 0};
constexpr std::array<int, kFeatureCount> kHandEnding{60, 0, 0, -20, 450, -150, -60, 110, 0, 40, 150, 0};

constexpr EvaluationWeights makeHandWeights()
{
    EvaluationWeights weights{};
    for (int e = 0; e <= 60; ++e)
        for (int f = 0; f < kFeatureCount; ++f)
            weights[e][f] = static_cast<std::int16_t>((kHandOpening[f] * e + kHandEnding[f] * (60 - e)) / 60);
    return weights;
}

constexpr EvaluationWeights kHandWeights = makeHandWeights();

} // namespace

const EvaluationWeights& fittedWeights()
{
    return kFittedWeights;
}

const EvaluationWeights& handWeights()
{
    return kHandWeights;
}

Features featuresOf(const Position& position)
{
    const Bitboard p = position.player, o = position.opponent;
    const Bitboard empty = position.empties();
    const int empties = countBits(empty);
    const Bitboard ownMoves = legalMoves(p, o), theirMoves = legalMoves(o, p);
    const Bitboard nearEmpty = neighbours(empty);
    Features f{};
    f[kMobility] = difference(ownMoves, theirMoves);
    f[kCornerMobility] = difference(ownMoves & kCorners, theirMoves & kCorners);
    f[kPotentialMobility] = difference(empty & neighbours(o), empty & neighbours(p));
    f[kFrontier] = difference(p & nearEmpty, o & nearEmpty);
    f[kCornerDiscs] = difference(p & kCorners, o & kCorners);
    for (const CornerCells& cells : kCornerCells) {
        if (!(empty & cells.corner))
            continue;
        f[kXSquareDiscs] += difference(p & cells.x, o & cells.x);
        f[kCSquareDiscs] += difference(p & cells.c, o & cells.c);
    }
    // Without a corner taken hardly a disc is stable yet.
    if (empties < 40 && ((p | o) & kCorners))
        f[kStable] = countBits(stableDiscs(p, o)) - countBits(stableDiscs(o, p));
    f[kEdgeDiscs] = difference(p & kEdges & ~kCorners, o & kEdges & ~kCorners);
    f[kDiscs] = difference(p, o);
    f[kParity] = (empties & 1) ? 1 : -1;
    f[kTempo] = 1;
    return f;
}

int evaluate(const Position& position, const EvaluationWeights& weights)
{
    const Features f = featuresOf(position);
    const FeatureWeights& w = weights[static_cast<std::size_t>(position.emptyCount())];
    int score = 0;
    for (int i = 0; i < kFeatureCount; ++i)
        score += w[i] * f[i];
    constexpr int kLimit = 63 * kDiscScale;
    return std::clamp(score, -kLimit, kLimit);
}

} // namespace kestrel::search
