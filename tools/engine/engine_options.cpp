#include "tools/engine/engine_options.h"

#include <charconv>

#include "engine/search/levels.h"

namespace kestrel {

namespace {

constexpr long kMaxTimeMs = 24L * 60 * 60 * 1000;

bool readNumber(const std::string& text, long low, long high, long& value)
{
    const char* end = text.data() + text.size();
    const auto [next, fault] = std::from_chars(text.data(), end, value);
    return fault == std::errc{} && next == end && value >= low && value <= high;
}

// Splits "--name=value" into name and value; the value may also be the next argument.
struct Option {
    std::string name;
    std::optional<std::string> value;
};

Option optionOf(const std::string& argument)
{
    const std::size_t equals = argument.find('=');
    if (argument.rfind("--", 0) != 0 || equals == std::string::npos)
        return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

} // namespace

std::string engineUsage()
{
    return "usage: kestrel-engine --level N [--time MS] | --solve | --replay [--solve] | --list-levels\n"
           "Reads positions from standard input, one a line: 64 cells a1..h1, a2..h2, ..., h8\n"
           "(X or * black, O white, - or . empty), a space, the side to move (X or O);\n"
           "anything after ';' is ignored. Answers each with one line:\n"
           "  --level N   <move> <estimate> depth=<plies|exact|wld|over> nodes=<n> ms=<t>\n"
           "  --solve     <move> <exact disc difference> nodes=<n> ms=<t>\n"
           "  --time MS   bounds the level's search (default: the level's own bound)\n"
           "  --list-levels  one line per level: its number and name\n"
           "  --replay    reads a game's transcript or record file instead (the whole input)\n"
           "              and prints the start position and the position after each move:\n"
           "                <n> <move> <64 cells> <side to move> [over]\n"
           "              n moves played, move the last of them (\"start\" for n = 0); after\n"
           "              a pass the side that can move; \"over\" ends the line of a finished\n"
           "              game, whose side is the last mover's opponent. Exit status 1 when\n"
           "              the input holds no transcript or a move cannot be played.\n"
           "  --replay --solve  adds, from 20 empty cells on, the exact disc difference for\n"
           "              the side to move, and best=<move> lost=<discs> where move n lost\n"
           "              discs against the best move of the position before it:\n"
           "                <n> <move> <64 cells> <side> <exact> [best=<move> lost=<d>] [over]\n";
}

bool parseEngineOptions(const std::vector<std::string>& arguments, EngineOptions& options, std::string& error)
{
    options = {};
    bool modeGiven = false;
    auto setMode = [&](EngineOptions::Mode mode) {
        using Mode = EngineOptions::Mode;
        if (!modeGiven || options.mode == mode) {
            modeGiven = true;
            options.mode = mode;
            return true;
        }
        // --replay --solve: the replay with exact values near the end.
        if ((options.mode == Mode::Replay && mode == Mode::Solve) ||
            (options.mode == Mode::Solve && mode == Mode::Replay)) {
            options.mode = Mode::Replay;
            options.solve = true;
            return true;
        }
        error = "choose one of --level, --solve, --replay and --list-levels";
        return false;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        Option option = optionOf(arguments[i]);
        const bool takesValue = option.name == "--level" || option.name == "--time";
        if (takesValue && !option.value) {
            if (i + 1 == arguments.size()) {
                error = option.name + " needs a value";
                return false;
            }
            option.value = arguments[++i];
        } else if (!takesValue && option.value) {
            error = option.name + " takes no value";
            return false;
        }
        long value = 0;
        if (option.name == "--level") {
            if (!readNumber(*option.value, 0, search::kStrongestLevel, value)) {
                error = "--level must be a level from 0 to " + std::to_string(search::kStrongestLevel) +
                        ", not '" + *option.value + "'";
                return false;
            }
            if (!setMode(EngineOptions::Mode::Level))
                return false;
            options.level = static_cast<int>(value);
        } else if (option.name == "--time") {
            if (!readNumber(*option.value, 1, kMaxTimeMs, value)) {
                error = "--time must be milliseconds from 1 to " + std::to_string(kMaxTimeMs) + ", not '" +
                        *option.value + "'";
                return false;
            }
            options.time = std::chrono::milliseconds(value);
        } else if (option.name == "--solve") {
            if (!setMode(EngineOptions::Mode::Solve))
                return false;
        } else if (option.name == "--replay") {
            if (!setMode(EngineOptions::Mode::Replay))
                return false;
        } else if (option.name == "--list-levels") {
            if (!setMode(EngineOptions::Mode::ListLevels))
                return false;
        } else if (option.name == "--help" || option.name == "-h") {
            options.mode = EngineOptions::Mode::Help;
            return true;
        } else {
            error = "unknown option '" + arguments[i] + "'";
            return false;
        }
    }
    if (!modeGiven) {
        error = "choose one of --level N, --solve, --replay and --list-levels";
        return false;
    }
    if (options.time && options.mode != EngineOptions::Mode::Level) {
        error = "--time bounds a level's search; it goes with --level only";
        return false;
    }
    return true;
}

} // namespace kestrel
