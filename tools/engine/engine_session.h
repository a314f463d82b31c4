#pragma once
// The line protocol of kestrel-engine: a position on each line in, one
// answer line out, written as soon as its line has been read.

#include <iosfwd>
#include <string>

#include "engine/search/engine.h"
#include "tools/engine/engine_options.h"

namespace kestrel {

// Answers every position of `in` on `out`, line by line; a malformed line
// gets a message naming its number on `err` and no answer. Returns the exit
// status: 0, or 1 when some line was malformed.
int answerPositions(std::istream& in, std::ostream& out, std::ostream& err, const EngineOptions& options);

// One line per level: its number and its name.
void listLevels(std::ostream& out);

// "<move> <estimate> depth=... nodes=... ms=..." for --level.
std::string levelAnswer(const search::Thought& thought);

// "<move> <exact difference> nodes=... ms=..." for --solve.
std::string solveAnswer(const search::Thought& thought);

} // namespace kestrel
