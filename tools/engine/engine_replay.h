#pragma once
// kestrel-engine --replay: the positions of a game, read from its transcript
// or record file, one line each; with --solve their exact values near the end.

#include <iosfwd>

#include "tools/engine/engine_options.h"

namespace kestrel {

// Positions with at most this many empty cells get their exact value.
inline constexpr int kReplaySolveEmpties = 20;

// Reads the whole of `in` (up to the record file limit) as the program opens a
// record, and prints the start position and the position after each move on
// `out`. Returns the exit status: 0, or 1 with a message on `err` when the
// input holds no transcript or a move cannot be played (the positions before
// it are printed).
int replayGame(std::istream& in, std::ostream& out, std::ostream& err, const EngineOptions& options);

} // namespace kestrel
