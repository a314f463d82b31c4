#pragma once
// The box of a second copy of the program, which then ends.

#include <string>

namespace kestrel {

// "<file name>\nこのプログラムは既に起動しています" with caption "二重起動",
// naming this copy's own executable file; returns when the player closes it
// (or a termination signal arrives).
void showAlreadyRunning(const std::string& exePath);

} // namespace kestrel
