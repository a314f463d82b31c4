#pragma once
// Counts the leaves of the move tree to a fixed depth, to check the move
// generator against published counts.

#include <cstdint>

#include "engine/search/position.h"

namespace kestrel::search {

// Leaves `depth` plies below the position. A pass counts as a ply; a
// finished game is a leaf wherever it ends.
std::uint64_t perft(const Position& position, int depth);

} // namespace kestrel::search
