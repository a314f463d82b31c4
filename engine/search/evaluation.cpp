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

// For each set of cells along a line (bit i: the i-th cell), the sum of 3^i.
constexpr std::array<int, 256> makeTernary()
{
    std::array<int, 256> ternary{};
    for (int bits = 0; bits < 256; ++bits)
        for (int i = 7, power = 2187; i >= 0; --i, power /= 3)
            ternary[static_cast<std::size_t>(bits)] += (bits >> i & 1) * power;
    return ternary;
}
constexpr std::array<int, 256> kTernary = makeTernary();

constexpr int reversedContents(int contents)
{
    int reversed = 0;
    for (int i = 0; i < 8; ++i, contents /= 3)
        reversed = reversed * 3 + contents % 3;
    return reversed;
}

// Contents and their reverse get the same class; classes are numbered in
// order of their smaller contents.
constexpr std::array<std::int16_t, kLineContents> makeLineClasses()
{
    std::array<std::int16_t, kLineContents> classes{};
    int next = 0;
    for (int contents = 0; contents < kLineContents; ++contents) {
        const int reversed = reversedContents(contents);
        classes[static_cast<std::size_t>(contents)] = reversed < contents
                                                          ? classes[static_cast<std::size_t>(reversed)]
                                                          : static_cast<std::int16_t>(next++);
    }
    return classes;
}
constexpr std::array<std::int16_t, kLineContents> kLineClass = makeLineClasses();
static_assert(*std::max_element(kLineClass.begin(), kLineClass.end()) == kLineClasses - 1);

// Eight cells gathered into eight bits by a carry-free multiplication: a
// file (rank 1 lowest) or a long diagonal.
constexpr Bitboard fileBits(Bitboard b, int file)
{
    return (((b >> file) & kFileA) * 0x0102040810204080ULL) >> 56;
}
constexpr Bitboard diagonalBits(Bitboard b)
{
    return ((b & 0x8040201008040201ULL) * kFileA) >> 56;
}
constexpr Bitboard antiDiagonalBits(Bitboard b)
{
    return ((b & 0x0102040810204080ULL) * kFileA) >> 56;
}

constexpr int lineContents(Bitboard own, Bitboard other)
{
    return kTernary[static_cast<std::size_t>(own)] + 2 * kTernary[static_cast<std::size_t>(other)];
}

constexpr std::array<std::uint8_t, 61> makeStages()
{
    std::array<std::uint8_t, 61> stages{};
    for (int e = 0; e <= 60; ++e)
        stages[static_cast<std::size_t>(e)] = static_cast<std::uint8_t>(stageOf(e));
    return stages;
}
constexpr std::array<std::uint8_t, 61> kStageOf = makeStages();

// The fitted stages: their feature weights spread over every number of empty cells.
constexpr EvaluationWeights makeFittedWeights()
{
    EvaluationWeights weights{};
    for (int e = 0; e <= 60; ++e)
        weights.features[static_cast<std::size_t>(e)] =
            kFittedStages[kStageOf[static_cast<std::size_t>(e)]].features;
    for (std::size_t stage = 0; stage < kStageCount; ++stage)
        weights.lines[stage] = kFittedStages[stage].lines;
    return weights;
}

} // namespace

const EvaluationWeights& fittedWeights()
{
    static constexpr EvaluationWeights kFitted = makeFittedWeights();
    return kFitted;
}

int lineClassOf(int contents)
{
    return kLineClass[static_cast<std::size_t>(contents)];
}

std::array<int, kLineCount> linesOf(const Position& position)
{
    const Bitboard p = position.player, o = position.opponent;
    return {lineContents(p & 0xFF, o & 0xFF),
            lineContents(p >> 56, o >> 56),
            lineContents(fileBits(p, 0), fileBits(o, 0)),
            lineContents(fileBits(p, 7), fileBits(o, 7)),
            lineContents((p >> 8) & 0xFF, (o >> 8) & 0xFF),
            lineContents((p >> 48) & 0xFF, (o >> 48) & 0xFF),
            lineContents(fileBits(p, 1), fileBits(o, 1)),
            lineContents(fileBits(p, 6), fileBits(o, 6)),
            lineContents(diagonalBits(p), diagonalBits(o)),
            lineContents(antiDiagonalBits(p), antiDiagonalBits(o))};
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
    const auto empties = static_cast<std::size_t>(position.emptyCount());
    const FeatureWeights& w = weights.features[empties];
    int score = 0;
    for (std::size_t i = 0; i < kFeatureCount; ++i)
        score += w[i] * f[i];
    const LineWeights& lines = weights.lines[kStageOf[empties]];
    const std::array<int, kLineCount> contents = linesOf(position);
    for (std::size_t i = 0; i < kLineCount; ++i)
        score += lines[kLineKindOf[i]]
                      [static_cast<std::size_t>(kLineClass[static_cast<std::size_t>(contents[i])])];
    constexpr int kLimit = 63 * kDiscScale;
    return std::clamp(score, -kLimit, kLimit);
}

} // namespace kestrel::search
