#include "tools/engine/engine_replay.h"

#include <cstdio>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "engine/search/engine.h"
#include "engine/search/evaluation.h"
#include "engine/search/position_text.h"
#include "records/record_file.h"

namespace kestrel {

namespace {

// At most `limit` bytes of the input, as a record file is read.
std::string readInput(std::istream& in, std::size_t limit)
{
    std::string bytes(limit, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::string faultMessage(const TranscriptFault& fault)
{
    const std::string move = "move " + std::to_string(fault.number) + " \"" + fault.text + "\"";
    switch (fault.kind) {
    case TranscriptFaultKind::NotACell:
        return move + " names no cell";
    case TranscriptFaultKind::NotPlayable:
        return move + " cannot be played";
    case TranscriptFaultKind::NoMoves:
        break;
    }
    return "no transcript in the input";
}

std::string signedText(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%+d", value);
    return text;
}

// The exact values of the positions, one after another, and what the move
// between two solved positions lost against the best.
class ReplaySolver {
public:
    // " <value>[ best=<move> lost=<discs>]" for the position after `step`
    // (null for the start position); empty too far from the end.
    std::string annotation(const Board& board, Side side, const ReplayStep* step)
    {
        const search::Position position = search::positionOf(board, side);
        if (position.emptyCount() > kReplaySolveEmpties) {
            previous_.reset();
            return {};
        }
        if (!engine_)
            engine_ = std::make_unique<search::Engine>();
        const search::Thought thought = engine_->solve(position);
        const int value = thought.score / search::kDiscScale;
        std::string text = " " + signedText(value);
        if (previous_ && step) {
            const int moverValue = side == step->mover ? value : -value;
            const int lost = previous_->value - moverValue;
            if (lost > 0)
                text += " best=" + search::moveName(previous_->best) + " lost=" + std::to_string(lost);
        }
        previous_ = Solved{value, thought.move};
        return text;
    }

private:
    struct Solved {
        int value; // for the side to move
        int best;
    };
    std::unique_ptr<search::Engine> engine_;
    std::optional<Solved> previous_;
};

} // namespace

int replayGame(std::istream& in, std::ostream& out, std::ostream& err, const EngineOptions& options)
{
    const RecordReading reading = readRecordText(readInput(in, kRecordFileReadLimit));
    const bool noTranscript = reading.fault && reading.fault->kind == TranscriptFaultKind::NoMoves;
    const Replay replay = replayMoves(reading.record.moves);
    ReplaySolver solver;
    for (std::size_t n = 0; !noTranscript && n <= replay.steps.size(); ++n) {
        const ReplayStep* step = n == 0 ? nullptr : &replay.steps[n - 1];
        const Board board = positionAfter(replay, n);
        const Side toMove = toMoveAfter(replay, n);
        // Nobody moves at the end: the side is the last mover's opponent, as
        // turns alternate, so that the line still reads as a position.
        const Side side = toMove != kNoSide ? toMove : 3 - step->mover;
        out << n << ' ' << (step ? moveName(step->cell) : "start") << ' '
            << search::positionLineOf(board, side);
        if (options.solve)
            out << solver.annotation(board, side, step);
        out << (toMove == kNoSide ? " over\n" : "\n") << std::flush;
    }
    if (!reading.fault)
        return 0;
    err << "kestrel-engine: " << faultMessage(*reading.fault) << std::endl;
    return 1;
}

} // namespace kestrel
