// kestrel-strength: plays two levels against each other from random
// openings, each opening twice with the colours swapped, and prints one
// table row: wins, draws and losses of the first level and the mean final
// disc difference in its favour. Run through tools/engine/strength.sh.
//
//   kestrel-strength A B [--openings N] [--seed S] [--plies MIN-MAX] [--time MS]
//
// --time replaces the time bound of a time-bounded level (by default its
// real one, the computer's 1000 ms pause). One game at a time, on one thread
// besides the caller's.

#include <charconv>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/search/levels.h"
#include "engine/search/position.h"
#include "engine/search/thinker.h"

namespace {

using namespace kestrel;
using namespace kestrel::search;

struct Setup {
    int levels[2] = {1, 0};
    int openings = 50;
    unsigned seed = 1;
    int minPlies = 4;
    int maxPlies = 8;
    int timeMs = 0; // 0: the level's own bound
};

struct Tally {
    int wins = 0, draws = 0, losses = 0;
    long discSum = 0;
    int games() const { return wins + draws + losses; }
};

bool readInt(const char* text, int& value)
{
    const char* end = text + std::char_traits<char>::length(text);
    const auto [next, fault] = std::from_chars(text, end, value);
    return fault == std::errc{} && next == end;
}

bool parse(int argc, char** argv, Setup& setup)
{
    if (argc < 3 || !readInt(argv[1], setup.levels[0]) || !readInt(argv[2], setup.levels[1]) ||
        !isLevel(setup.levels[0]) || !isLevel(setup.levels[1]))
        return false;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        int number = 0;
        if (name == "--openings" && readInt(value, number) && number > 0)
            setup.openings = number;
        else if (name == "--seed" && readInt(value, number) && number >= 0)
            setup.seed = static_cast<unsigned>(number);
        else if (name == "--time" && readInt(value, number) && number > 0)
            setup.timeMs = number;
        else if (name == "--plies" && std::sscanf(value, "%d-%d", &setup.minPlies, &setup.maxPlies) == 2 &&
                 setup.minPlies >= 0 && setup.maxPlies >= setup.minPlies && setup.maxPlies < 20)
            continue;
        else
            return false;
    }
    return (argc - 3) % 2 == 0;
}

struct Opening {
    Position position;
    Side toMove;
};

// Random legal moves from the start; a finished game (rare) is played again.
Opening randomOpening(std::mt19937& random, int plies)
{
    for (;;) {
        Position position = startPosition();
        Side toMove = kBlack;
        int played = 0;
        while (played < plies && !position.gameOver()) {
            Bitboard moves = position.moves();
            if (!moves) {
                position = position.passed();
                toMove = 3 - toMove;
                continue;
            }
            std::uniform_int_distribution<int> pick(0, countBits(moves) - 1);
            for (int skip = pick(random); skip > 0; --skip)
                moves &= moves - 1;
            position = position.play(firstCell(moves));
            toMove = 3 - toMove;
            ++played;
        }
        if (!position.gameOver())
            return {position, toMove};
    }
}

// Plays one game from the opening; returns the final disc difference for black.
int playGame(Position position, Side toMove, ComputerThinker* players[2], const int levels[2], int timeMs)
{
    while (!position.gameOver()) {
        if (!position.moves()) {
            position = position.passed();
            toMove = 3 - toMove;
            continue;
        }
        const int player = toMove == kBlack ? 0 : 1;
        const Board board = boardOf(position, toMove);
        std::optional<std::chrono::milliseconds> time;
        if (timeMs > 0)
            time = std::chrono::milliseconds(timeMs);
        position = position.play(players[player]->chooseMove(board, toMove, levels[player], time));
        toMove = 3 - toMove;
    }
    const int own = countBits(position.player), other = countBits(position.opponent);
    return toMove == kBlack ? own - other : other - own;
}

std::string describe(int number, int timeMs)
{
    const Level& level = levelAt(number);
    if (!level.searches())
        return std::to_string(number) + ": the program's player";
    std::string text = std::to_string(number) + ": ";
    if (level.limits.time)
        text += std::to_string(timeMs > 0 ? timeMs : static_cast<int>(level.limits.time->count())) + " ms";
    else
        text += "depth " + std::to_string(level.limits.depth);
    return text + ", exact from " + std::to_string(level.limits.exactEmpties) + " empty";
}

} // namespace

int main(int argc, char** argv)
{
    Setup setup;
    if (!parse(argc, argv, setup)) {
        std::fprintf(stderr,
                     "usage: kestrel-strength A B [--openings N] [--seed S] [--plies MIN-MAX] [--time MS]\n");
        return 2;
    }
    ComputerThinker first, second;
    Tally tally;
    std::mt19937 random(setup.seed);
    std::uniform_int_distribution<int> plies(setup.minPlies, setup.maxPlies);
    for (int opening = 0; opening < setup.openings; ++opening) {
        const Opening start = randomOpening(random, plies(random));
        for (int firstPlaysBlack = 1; firstPlaysBlack >= 0; --firstPlaysBlack) {
            ComputerThinker* players[2] = {&first, &second};
            int levels[2] = {setup.levels[0], setup.levels[1]};
            if (!firstPlaysBlack) {
                std::swap(players[0], players[1]);
                std::swap(levels[0], levels[1]);
            }
            const int blackDiff = playGame(start.position, start.toMove, players, levels, setup.timeMs);
            const int diff = firstPlaysBlack ? blackDiff : -blackDiff;
            tally.wins += diff > 0;
            tally.draws += diff == 0;
            tally.losses += diff < 0;
            tally.discSum += diff;
        }
    }
    const double score = 100.0 * (tally.wins + 0.5 * tally.draws) / tally.games();
    std::printf(
        "%d vs %d  games %4d  wins %4d  draws %3d  losses %4d  score %5.1f%%  mean %+6.1f  (%s; %s)\n",
        setup.levels[0], setup.levels[1], tally.games(), tally.wins, tally.draws, tally.losses, score,
        static_cast<double>(tally.discSum) / tally.games(), describe(setup.levels[0], setup.timeMs).c_str(),
        describe(setup.levels[1], setup.timeMs).c_str());
    return 0;
}
