#include "session/hint.h"

#include <optional>

#include "engine/board.h"
#include "engine/search/position.h"
#include "session/program.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

void blink(GameView& view, int cell)
{
    for (int i = 0; i < kHintBlinks; ++i) {
        if (i > 0)
            view.pause(kHintGapMs);
        view.showHintMark(cell);
        view.pause(kHintMarkMs);
        view.showHintMark(-1);
    }
}

} // namespace

bool hintOffered(const Program& program)
{
    const MatchState& match = program.match;
    if (match.myTurn != 1 || (match.mySide != kBlack && match.mySide != kWhite))
        return false;
    if (match.vsComputer != 1 && match.connected != 1)
        return false;
    // The own move is on its way: the turn is not the player's to think about.
    if (match.vsComputer != 1 && match.moveAwaitingAck && *match.moveAwaitingAck == match.board)
        return false;
    return search::positionOf(match.board, match.mySide).moves() != 0;
}

void hintCommand(Program& program)
{
    if (!hintOffered(program))
        return;
    // Asked again while it is thought about: the answer comes when it was due.
    if (program.computer.startHint(program.match.board, program.match.mySide))
        program.timers.start(kHintTimer, kHintThinkingMs);
}

void onHintTimer(Program& program)
{
    program.timers.stop(kHintTimer);
    const MatchState& match = program.match;
    const std::optional<int> cell = program.computer.takeHint(match.board, match.mySide);
    if (!cell || !hintOffered(program))
        return;
    program.view.announce(SJ("ヒント：") + cellName(*cell));
    blink(program.view, *cell);
}

} // namespace kestrel
