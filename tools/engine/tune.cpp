// kestrel-tune: fits the weights of the static estimate to played games.
//
//   kestrel-tune games [--games N] [--seed S] [--depth D] [--exact E] [--plies MIN-MAX]
//       plays games of a plain search over hand-set weights from random
//       openings and prints each position from the fourth ply on with the
//       game's final disc difference for its side to move: "<line> <score>";
//   kestrel-tune fit
//       reads such lines and prints the weights header (evaluation_weights.h):
//       for each stage of the game a ridge regression of the final score on
//       the features and the line classes, over the positions of the stage
//       and those up to two empty cells beyond it.
//
// Both are deterministic: tools/engine/tune.sh gives the same header from
// the same sources.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The hand-set weights the tuning games are played with: with the board
// nearly empty and nearly full, stages between interpolated; no line values.
constexpr std::array<int, kFeatureCount> kHandOpening{90, 0, 0, -45, 900, -450, -150, 120, 0, -6, 0, 0};
constexpr std::array<int, kFeatureCount> kHandEnding{60, 0, 0, -20, 450, -150, -60, 110, 0, 40, 150, 0};

constexpr EvaluationWeights makeHandWeights()
{
    EvaluationWeights weights{};
    for (int e = 0; e <= 60; ++e)
        for (int f = 0; f < kFeatureCount; ++f)
            weights.features[static_cast<std::size_t>(e)][static_cast<std::size_t>(f)] =
                static_cast<std::int16_t>((kHandOpening[f] * e + kHandEnding[f] * (60 - e)) / 60);
    return weights;
}

const EvaluationWeights& handWeights()
{
    static constexpr EvaluationWeights kHand = makeHandWeights();
    return kHand;
}

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

// The player of the games: a plain alpha-beta search to a fixed depth over
// the hand-weighted estimate, then exact scores near the end; each move the
// first in cell order of those scoring best. Nothing of the engine's own
// search but the exact scores goes into its choice, so the games (and the
// fit) stay the same when the engine's search changes.
class GamePlayer {
public:
    GamePlayer(int depth, int exact) : depth_(depth), exact_(exact) {}

    int choose(const Position& position)
    {
        const bool solving = position.emptyCount() <= exact_;
        int bestMove = kPass;
        int best = -kInfinity;
        for (int cell : movesOf(position)) {
            const Position child = position.play(cell);
            const int score = solving ? -solver_.solve(child).score
                                      : -alphaBeta(child, depth_ - 1, -kInfinity, -best, false);
            if (score > best) {
                best = score;
                bestMove = cell;
            }
        }
        return bestMove;
    }

private:
    // Legal moves, the best by the static estimate first, ties in cell order.
    static std::vector<int> movesOf(const Position& position)
    {
        return orderedMoves(position, handWeights());
    }

    int alphaBeta(const Position& position, int depth, int alpha, int beta, bool passed)
    {
        if (depth == 0)
            return evaluate(position, handWeights());
        if (!position.moves()) {
            if (passed)
                return kDiscScale * finalScore(position);
            return -alphaBeta(position.passed(), depth, -beta, -alpha, true);
        }
        // Next to the horizon sorting would cost as much as the search: cell order.
        if (depth == 1) {
            for (Bitboard moves = position.moves(); moves;) {
                const int score = -evaluate(position.play(popFirstCell(moves)), handWeights());
                if (score >= beta)
                    return beta;
                alpha = std::max(alpha, score);
            }
            return alpha;
        }
        for (int cell : movesOf(position)) {
            const int score = -alphaBeta(position.play(cell), depth - 1, -beta, -alpha, false);
            if (score >= beta)
                return beta;
            alpha = std::max(alpha, score);
        }
        return alpha;
    }

    int depth_;
    int exact_;
    Engine solver_{Engine::kDefaultTableBytes, handWeights()};
};

int playGames(const GameSetup& setup)
{
    GamePlayer player(setup.depth, setup.exact);
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
                cell = player.choose(position);
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

// A fitted stage also learns from positions this many empty cells beyond it.
constexpr int kStageMargin = 2;
constexpr double kFeatureRidge = 1.0; // per weight, times the stage's positions / 1000
constexpr double kLineRidge = 30.0;   // per line class, in positions
constexpr int kIterations = 300;      // of the conjugate gradient

struct Sample {
    std::array<std::int8_t, kFeatureCount> features;
    std::array<std::int16_t, kLineCount> lineClasses;
    std::int16_t label; // hundredths of a disc
    std::int8_t empties;
};

// The weights of one stage as one vector: the features, then the classes of
// each kind of line.
constexpr int kUnknowns = kFeatureCount + kLineKinds * kLineClasses;

// Where the weight of the i-th line's class is in that vector.
std::size_t lineUnknown(const Sample& s, std::size_t i)
{
    return static_cast<std::size_t>(kFeatureCount + kLineKindOf[i] * kLineClasses + s.lineClasses[i]);
}
using Vector = std::vector<double>;

double dot(const Vector& a, const Vector& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += a[i] * b[i];
    return sum;
}

double predict(const Sample& s, const Vector& x)
{
    double sum = 0;
    for (int i = 0; i < kFeatureCount; ++i)
        sum += s.features[static_cast<std::size_t>(i)] * x[static_cast<std::size_t>(i)];
    for (std::size_t i = 0; i < kLineCount; ++i)
        sum += x[lineUnknown(s, i)];
    return sum;
}

// Adds weight * (the sample's row) to out.
void addRow(const Sample& s, double weight, Vector& out)
{
    for (int i = 0; i < kFeatureCount; ++i)
        out[static_cast<std::size_t>(i)] += weight * s.features[static_cast<std::size_t>(i)];
    for (std::size_t i = 0; i < kLineCount; ++i)
        out[lineUnknown(s, i)] += weight;
}

// Ridge least squares over the samples by the conjugate gradient with a
// diagonal preconditioner: (X'X + R) x = X'y.
Vector fitStage(const std::vector<const Sample*>& samples)
{
    Vector ridge(kUnknowns, kLineRidge);
    for (int i = 0; i < kFeatureCount; ++i)
        ridge[static_cast<std::size_t>(i)] = kFeatureRidge * static_cast<double>(samples.size()) / 1000;
    auto apply = [&](const Vector& x) {
        Vector out(kUnknowns, 0.0);
        for (const Sample* s : samples)
            addRow(*s, predict(*s, x), out);
        for (int i = 0; i < kUnknowns; ++i)
            out[static_cast<std::size_t>(i)] +=
                ridge[static_cast<std::size_t>(i)] * x[static_cast<std::size_t>(i)];
        return out;
    };
    Vector b(kUnknowns, 0.0), diagonal = ridge;
    for (const Sample* s : samples) {
        addRow(*s, s->label, b);
        for (int i = 0; i < kFeatureCount; ++i)
            diagonal[static_cast<std::size_t>(i)] +=
                s->features[static_cast<std::size_t>(i)] * s->features[static_cast<std::size_t>(i)];
        for (std::size_t i = 0; i < kLineCount; ++i)
            diagonal[lineUnknown(*s, i)] += 1;
    }
    Vector x(kUnknowns, 0.0), r = b, z(kUnknowns), p(kUnknowns);
    for (int i = 0; i < kUnknowns; ++i)
        z[static_cast<std::size_t>(i)] =
            r[static_cast<std::size_t>(i)] / diagonal[static_cast<std::size_t>(i)];
    p = z;
    double rz = dot(r, z);
    int iterations = 0;
    for (int iteration = 0; iteration < kIterations && rz > 1e-9; ++iteration) {
        const Vector ap = apply(p);
        const double step = rz / dot(p, ap);
        for (int i = 0; i < kUnknowns; ++i) {
            x[static_cast<std::size_t>(i)] += step * p[static_cast<std::size_t>(i)];
            r[static_cast<std::size_t>(i)] -= step * ap[static_cast<std::size_t>(i)];
            z[static_cast<std::size_t>(i)] =
                r[static_cast<std::size_t>(i)] / diagonal[static_cast<std::size_t>(i)];
        }
        const double next = dot(r, z);
        for (int i = 0; i < kUnknowns; ++i)
            p[static_cast<std::size_t>(i)] =
                z[static_cast<std::size_t>(i)] + next / rz * p[static_cast<std::size_t>(i)];
        rz = next;
        iterations = iteration + 1;
    }
    std::fprintf(stderr, "kestrel-tune: %zu positions, %d iterations\n", samples.size(), iterations);
    return x;
}

std::vector<Sample> readSamples(long& count)
{
    std::vector<Sample> samples;
    std::string text;
    count = 0;
    while (std::getline(std::cin, text)) {
        const std::size_t space = text.rfind(' ');
        if (space == std::string::npos)
            continue;
        const PositionLine line = readPositionLine(text.substr(0, space));
        if (line.kind != PositionLine::Kind::Position)
            continue;
        const Position position = positionOf(line.board, line.side);
        Sample sample{};
        const Features f = featuresOf(position);
        for (int i = 0; i < kFeatureCount; ++i)
            sample.features[static_cast<std::size_t>(i)] =
                static_cast<std::int8_t>(f[static_cast<std::size_t>(i)]);
        const std::array<int, kLineCount> lines = linesOf(position);
        for (std::size_t i = 0; i < kLineCount; ++i)
            sample.lineClasses[i] = static_cast<std::int16_t>(lineClassOf(lines[i]));
        sample.label = static_cast<std::int16_t>(kDiscScale * std::atoi(text.c_str() + space + 1));
        sample.empties = static_cast<std::int8_t>(position.emptyCount());
        samples.push_back(sample);
        ++count;
    }
    return samples;
}

std::int16_t rounded(double weight)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(weight, -30000.0, 30000.0)));
}

int fitWeights()
{
    long count = 0;
    const std::vector<Sample> samples = readSamples(count);
    std::fprintf(stderr, "kestrel-tune: %ld positions\n", count);
    std::printf("#pragma once\n"
                "// Generated by tools/engine/tune.sh (kestrel-tune games | kestrel-tune fit) from %ld\n"
                "// positions of played games; do not edit. For each stage of the game (stageOf),\n"
                "// the weights of the features, then those of the line classes, in hundredths\n"
                "// of a disc.\n"
                "// clang-format off\n\n"
                "#include <array>\n\n"
                "#include \"engine/search/evaluation.h\"\n\n"
                "namespace kestrel::search {\n\n"
                "inline constexpr std::array<StageWeights, kStageCount> kFittedStages{{\n",
                count);
    for (int stage = 0; stage < kStageCount; ++stage) {
        std::vector<const Sample*> chosen;
        for (const Sample& s : samples) {
            const int first = stageOf(std::max(0, s.empties - kStageMargin));
            const int last = stageOf(std::min(60, s.empties + kStageMargin));
            if (stage >= first && stage <= last)
                chosen.push_back(&s);
        }
        const Vector x = fitStage(chosen);
        std::printf("    {{{");
        for (int i = 0; i < kFeatureCount; ++i)
            std::printf(i ? ", %d" : "%d", rounded(x[static_cast<std::size_t>(i)]));
        std::printf("}}, // stage %d, %zu positions\n     {{", stage, chosen.size());
        for (int kind = 0; kind < kLineKinds; ++kind) {
            std::printf(kind ? ",\n      {{" : "{{");
            for (int c = 0; c < kLineClasses; ++c)
                std::printf(c == 0        ? "%d"
                            : c % 16 == 0 ? ",\n       %d"
                                          : ", %d",
                            rounded(x[static_cast<std::size_t>(kFeatureCount + kind * kLineClasses + c)]));
            std::printf("}}");
        }
        std::printf("}}},\n");
    }
    std::printf("}};\n\n} // namespace kestrel::search\n// clang-format on\n");
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
