#pragma once
// The static estimate of a position: the expected final disc difference for
// the side to move, in hundredths of a disc.

#include "engine/search/position.h"

namespace kestrel::search {

// Hundredths of a disc: a finished game of +n discs scores n * kDiscScale.
inline constexpr int kDiscScale = 100;
// Beyond every estimate and every final score.
inline constexpr int kInfinity = 30000;

// Built from mobility, potential mobility, corners and the cells next to
// empty corners, stable discs, parity and the disc count, weighted by the
// stage of the game. Kept within (-64, 64) discs.
int evaluate(const Position& position);

} // namespace kestrel::search
