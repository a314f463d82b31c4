// kestrel-tune: fits the weights of the static estimate to played games.
//
//   kestrel-tune games [--games N] [--seed S] [--depth D] [--exact E] [--plies MIN-MAX]
//       plays games of the hand-weighted engine against itself from random
//       openings and prints each position from the fourth ply on with the
//       game's final disc difference for its side to move: "<line> <score>";
//   kestrel-tune fit
//       reads such lines and prints the weights header (evaluation_weights.h):
//       for each number of empty cells a ridge regression of the final score
//       on the features, over the positions within three empty cells of it.
//
// Both are deterministic: tools/engine/tune.sh gives the same header from
// the same sources.

#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "engine/search/engine.h"
#include "engine/search/evaluation.h"
#include "engine/search/position_text.h"

namespace {

using namespace kestrel;
using namespace kestrel::search;

struct GameSetup {
    int games = 1000;
    unsigned seed = 1;
    int depth = 6;
    int exact = 14;
    int minPlies = 8;
    int maxPlies = 14;
};

bool parseGames(const std::vector<std::string>& args, GameSetup& setup)
{
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& name = args[i];
        const int value = std::atoi(args[i + 1].c_str());
        if (name == "--games" && value > 0)
            setup.games = value;
        else if (name == "--seed" && value >= 0)
            setup.seed = static_cast<unsigned>(value);
        else if (name == "--depth" && value > 0)
            setup.depth = value;
        else if (name == "--exact" && value >= 0)
            setup.exact = value;
        else if (name == "--plies" &&
                 std::sscanf(args[i + 1].c_str(), "%d-%d", &setup.minPlies, &setup.maxPlies) == 2)
            continue;
        else
            return false;
    }
    return args.size() % 2 == 0;
}

// Positions from this ply on are recorded, the random opening moves included:
// they widen what the fit sees, and their games were played out properly.
constexpr int kFirstRecordedPly = 4;

struct Record {
    Position position;
    Side toMove;
};

int playGames(const GameSetup& setup)
{
    Engine engine(Engine::kDefaultTableBytes, handWeights());
    const SearchLimits limits{
        .depth = setup.depth, .exactEmpties = setup.exact, .winLossDrawFirst = false, .time = std::nullopt};
    std::mt19937 random(setup.seed);
    std::uniform_int_distribution<int> openingPlies(setup.minPlies, setup.maxPlies);
    for (int game = 0; game < setup.games; ++game) {
        Position position = startPosition();
        Side toMove = kBlack;
        std::vector<Record> records;
        const int randomPlies = openingPlies(random);
        for (int ply = 0; !position.gameOver(); ++ply) {
            Bitboard moves = position.moves();
            if (!moves) {
                position = position.passed();
                toMove = 3 - toMove;
                continue;
            }
            if (ply >= kFirstRecordedPly)
                records.push_back({position, toMove});
            int cell;
            if (ply < randomPlies) {
                std::uniform_int_distribution<int> pick(0, countBits(moves) - 1);
                for (int skip = pick(random); skip > 0; --skip)
                    moves &= moves - 1;
                cell = firstCell(moves);
            } else {
                cell = engine.think(position, limits).move;
            }
            position = position.play(cell);
            toMove = 3 - toMove;
        }
        // The final score for black, then for each recorded side to move.
        const int last = finalScore(position);
        const int blackScore = toMove == kBlack ? last : -last;
        for (const Record& r : records) {
            const int score = r.toMove == kBlack ? blackScore : -blackScore;
            std::printf("%s %d\n", positionLineOf(boardOf(r.position, r.toMove), r.toMove).c_str(), score);
        }
    }
    return 0;
}

constexpr int kWindow = 3;               // stages within this many empty cells share a fit
constexpr double kRidge = 0.002;         // times the positions of a stage, on every weight
constexpr double kLeastPositions = 2000; // fewer: the stage takes the weights of the one before

struct NormalEquations {
    std::array<std::array<double, kFeatureCount>, kFeatureCount> a{};
    std::array<double, kFeatureCount> b{};
    double n = 0;
    double labelSquares = 0;
};

// Solves a x = b by Gaussian elimination with partial pivoting.
std::array<double, kFeatureCount> solve(std::array<std::array<double, kFeatureCount>, kFeatureCount> a,
                                        std::array<double, kFeatureCount> b)
{
    constexpr int n = kFeatureCount;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int row = col + 1; row < n; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int row = col + 1; row < n; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (int k = col; k < n; ++k)
                a[row][k] -= factor * a[col][k];
            b[row] -= factor * b[col];
        }
    }
    std::array<double, kFeatureCount> x{};
    for (int row = n - 1; row >= 0; --row) {
        double sum = b[row];
        for (int k = row + 1; k < n; ++k)
            sum -= a[row][k] * x[k];
        x[row] = sum / a[row][row];
    }
    return x;
}

int fitWeights()
{
    std::array<NormalEquations, 61> stages{};
    std::string text;
    long count = 0;
    while (std::getline(std::cin, text)) {
        const std::size_t space = text.rfind(' ');
        if (space == std::string::npos)
            continue;
        const PositionLine line = readPositionLine(text.substr(0, space));
        if (line.kind != PositionLine::Kind::Position)
            continue;
        const double label = kDiscScale * std::atof(text.c_str() + space + 1);
        const Position position = positionOf(line.board, line.side);
        const Features f = featuresOf(position);
        const int empties = position.emptyCount();
        for (int e = std::max(0, empties - kWindow); e <= std::min(60, empties + kWindow); ++e) {
            NormalEquations& s = stages[static_cast<std::size_t>(e)];
            for (int i = 0; i < kFeatureCount; ++i) {
                for (int j = 0; j < kFeatureCount; ++j)
                    s.a[i][j] += f[i] * static_cast<double>(f[j]);
                s.b[i] += f[i] * label;
            }
            s.n += 1;
            s.labelSquares += label * label;
        }
        ++count;
    }
    std::fprintf(stderr, "kestrel-tune: %ld positions\n", count);
    std::printf("#pragma once\n"
                "// Generated by tools/engine/tune.sh (kestrel-tune games | kestrel-tune fit) from %ld\n"
                "// positions of played games; do not edit. One row per number of empty cells,\n"
                "// one column per Feature, in hundredths of a disc.\n\n"
                "#include \"engine/search/evaluation.h\"\n\n"
                "namespace kestrel::search {\n\n"
                "inline constexpr EvaluationWeights kFittedWeights{{\n",
                count);
    std::array<long, kFeatureCount> previous{};
    for (int e = 0; e <= 60; ++e) {
        NormalEquations s = stages[static_cast<std::size_t>(e)];
        std::array<long, kFeatureCount> weights = previous;
        if (s.n >= kLeastPositions) {
            for (int i = 0; i < kFeatureCount; ++i)
                s.a[i][i] += kRidge * s.n * (1 + s.a[i][i] / s.n);
            const auto x = solve(s.a, s.b);
            for (int i = 0; i < kFeatureCount; ++i)
                weights[i] = std::lround(std::clamp(x[i], -30000.0, 30000.0));
        }
        std::printf("    {");
        for (int i = 0; i < kFeatureCount; ++i)
            std::printf(i ? ", %ld" : "%ld", weights[i]);
        std::printf("}, // %d empty, %.0f positions\n", e, s.n);
        previous = weights;
    }
    std::printf("}};\n\n} // namespace kestrel::search\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "games") {
        GameSetup setup;
        if (parseGames({args.begin() + 1, args.end()}, setup))
            return playGames(setup);
    } else if (args.size() == 1 && args[0] == "fit") {
        return fitWeights();
    }
    std::fprintf(stderr, "usage: kestrel-tune games [--games N] [--seed S] [--depth D] [--exact E] "
                         "[--plies MIN-MAX] | kestrel-tune fit\n");
    return 2;
}
