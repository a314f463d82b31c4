#pragma once
// The command line of kestrel-engine.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct EngineOptions {
    enum class Mode {
        Level,      // the move a level plays, with its estimate
        Solve,      // the exact final disc difference and a move reaching it
        Replay,     // the positions of a game's transcript, one a line
        ListLevels, // number and name of every level
        Help,
    };
    Mode mode = Mode::Help;
    int level = 0;
    bool solve = false;                            // with Replay: the exact values near the end of the game
    std::optional<std::chrono::milliseconds> time; // replaces the level's own time bound
};

// Reads the arguments after the program name. False with a reason on a bad
// or missing option.
bool parseEngineOptions(const std::vector<std::string>& arguments, EngineOptions& options,
                        std::string& error);

// The text of --help.
std::string engineUsage();

} // namespace kestrel
