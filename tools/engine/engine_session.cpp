#include "tools/engine/engine_session.h"

#include <cstdio>
#include <istream>
#include <memory>
#include <ostream>

#include "engine/search/evaluation.h"
#include "engine/search/levels.h"
#include "engine/search/position_text.h"
#include "engine/search/thinker.h"

namespace kestrel {

namespace {

using search::Thought;

bool isExact(const Thought& thought)
{
    return thought.kind == Thought::Kind::Exact || thought.kind == Thought::Kind::GameOver;
}

// Whole discs when exact, else hundredths; always signed.
std::string scoreText(const Thought& thought)
{
    char text[16];
    if (isExact(thought))
        std::snprintf(text, sizeof text, "%+d", thought.score / search::kDiscScale);
    else
        std::snprintf(text, sizeof text, "%+.2f", thought.score / static_cast<double>(search::kDiscScale));
    return text;
}

std::string depthText(const Thought& thought)
{
    switch (thought.kind) {
    case Thought::Kind::Exact:
        return "exact";
    case Thought::Kind::WinLossDraw:
        return "wld";
    case Thought::Kind::GameOver:
        return "over";
    case Thought::Kind::Estimate:
        break;
    }
    return std::to_string(thought.depth);
}

std::string effortText(const Thought& thought)
{
    return "nodes=" + std::to_string(thought.nodes) + " ms=" + std::to_string(thought.elapsed.count());
}

class Answerer {
public:
    explicit Answerer(const EngineOptions& options) : options_(options) {}

    std::string answer(const Board& board, Side side)
    {
        const search::Position position = search::positionOf(board, side);
        if (options_.mode == EngineOptions::Mode::Solve)
            return solveAnswer(engine().solve(position));
        if (options_.level == 0)
            return levelAnswer(search::standardThought(board, side));
        search::SearchLimits limits = search::levelAt(options_.level).limits;
        if (options_.time)
            limits.time = options_.time;
        return levelAnswer(engine().think(position, limits));
    }

private:
    search::Engine& engine()
    {
        if (!engine_)
            engine_ = std::make_unique<search::Engine>();
        return *engine_;
    }

    const EngineOptions& options_;
    std::unique_ptr<search::Engine> engine_;
};

} // namespace

std::string levelAnswer(const Thought& thought)
{
    return search::moveName(thought.move) + " " + scoreText(thought) + " depth=" + depthText(thought) + " " +
           effortText(thought);
}

std::string solveAnswer(const Thought& thought)
{
    return search::moveName(thought.move) + " " + scoreText(thought) + " " + effortText(thought);
}

void listLevels(std::ostream& out)
{
    for (const search::Level& level : search::kLevels)
        out << level.number << ' ' << level.name << '\n';
    out.flush();
}

int answerPositions(std::istream& in, std::ostream& out, std::ostream& err, const EngineOptions& options)
{
    Answerer answerer(options);
    int status = 0;
    std::string text;
    for (long number = 1; std::getline(in, text); ++number) {
        const search::PositionLine line = search::readPositionLine(text);
        if (line.kind == search::PositionLine::Kind::Blank)
            continue;
        if (line.kind == search::PositionLine::Kind::Fault) {
            err << "kestrel-engine: line " << number << ": " << line.fault << std::endl;
            status = 1;
            continue;
        }
        out << answerer.answer(line.board, line.side) << std::endl;
    }
    return status;
}

} // namespace kestrel
