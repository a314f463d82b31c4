#include "session/marks.h"

#include "engine/search/position.h"
#include "session/program.h"

namespace kestrel {
namespace {

// The player may place a piece now: the player's turn by the board, and a
// click would be taken (not while the own move waits for its answer).
bool playerToMove(const Program& program)
{
    const MatchState& match = program.match;
    if (program.kept.state != KeptGame::State::UnderWay || match.myTurn != 1)
        return false;
    if (match.mySide != kBlack && match.mySide != kWhite)
        return false;
    if (match.vsComputer != 1 && match.moveAwaitingAck && *match.moveAwaitingAck == match.board)
        return false;
    return program.kept.toMove == match.mySide;
}

} // namespace

MoveMarks marksWanted(const Program& program)
{
    MoveMarks marks;
    const Preferences& preferences = program.preferences;
    if (program.replay) {
        const ShownReplay& shown = *program.replay;
        if (preferences.markLastMove && shown.shown > 0)
            marks.last = shown.replay.steps[shown.shown - 1].cell;
        return marks;
    }
    if (program.kept.state == KeptGame::State::None)
        return marks;
    if (preferences.markLastMove && !program.kept.record.moves.empty())
        marks.last = program.kept.record.moves.back();
    if (preferences.markLegalMoves && playerToMove(program))
        marks.legal = search::positionOf(program.match.board, program.match.mySide).moves();
    return marks;
}

void updateMarks(Program& program)
{
    const MoveMarks marks = marksWanted(program);
    if (marks == program.marksShown)
        return;
    program.marksShown = marks;
    program.view.showMoveMarks(marks);
}

} // namespace kestrel
