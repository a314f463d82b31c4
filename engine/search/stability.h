#pragma once
// Discs that can never be turned again.

#include "engine/search/bitboard.h"

namespace kestrel::search {

// A subset of the player's discs that no sequence of moves can turn: a disc
// is taken when along each of the four lines through it the line is full,
// the disc lies on the board's edge for that line, or a neighbour on the line
// is such a disc itself.
Bitboard stableDiscs(Bitboard player, Bitboard opponent);

} // namespace kestrel::search
