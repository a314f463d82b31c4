#include "session/replay.h"

#include "engine/board.h"
#include "session/control_ids.h"
#include "session/hint.h"
#include "session/marks.h"
#include "session/opponent.h"
#include "session/program.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

// "棋譜の再生　12／60手　白の番", at the end the result instead of the side.
std::string replayStatus(const ShownReplay& shown, const MatchState& match)
{
    const Side toMove = toMoveAfter(shown.replay, shown.shown);
    std::string text = SJ("棋譜の再生　") + std::to_string(shown.shown) + SJ("／") +
                       std::to_string(shown.replay.steps.size()) + SJ("手　");
    if (toMove == kBlack)
        return text + SJ("黒の番");
    if (toMove == kWhite)
        return text + SJ("白の番");
    return text + resultText(resultOf(match.blackCount, match.whiteCount));
}

void showBoard(Program& program, const Board& board)
{
    program.match.board = board;
    program.view.showPosition(board);
    Game game = program.game();
    updateCounts(game);
}

void showReplayPosition(Program& program)
{
    const ShownReplay& shown = *program.replay;
    showBoard(program, positionAfter(shown.replay, shown.shown));
    program.view.setStatus(replayStatus(shown, program.match));
    program.dialog.setText(ids::kBlackName, blackName(shown.record));
    program.dialog.setText(ids::kWhiteName, whiteName(shown.record));
    updateMarks(program);
}

} // namespace

bool replayAllowed(const Program& program)
{
    const MatchState& match = program.match;
    if (inNetworkMatch(match))
        return false;
    return !(match.vsComputer == 1 && match.orderDecided == 1 && program.kept.state != KeptGame::State::Over);
}

void showReplay(Program& program, const GameRecord& record)
{
    if (!replayAllowed(program))
        return;
    Replay replay = replayMoves(record.moves);
    if (replay.badMove >= 0)
        return;
    ShownReplay shown;
    if (program.replay) {
        shown = std::move(*program.replay);
    } else {
        shown.board = program.match.board;
        shown.status = program.dialog.text(ids::kStatus);
        shown.blackName = program.dialog.text(ids::kBlackName);
        shown.whiteName = program.dialog.text(ids::kWhiteName);
    }
    shown.record = record;
    shown.replay = std::move(replay);
    shown.shown = 0;
    program.replay = std::move(shown);
    showReplayPosition(program);
}

void stepReplay(Program& program, ReplayJump step)
{
    if (!program.replay)
        return;
    ShownReplay& shown = *program.replay;
    const std::size_t last = shown.replay.steps.size();
    std::size_t to = shown.shown;
    switch (step) {
    case ReplayJump::First:
        to = 0;
        break;
    case ReplayJump::Back:
        to = to > 0 ? to - 1 : 0;
        break;
    case ReplayJump::Forward:
        to = to < last ? to + 1 : last;
        break;
    case ReplayJump::Last:
        to = last;
        break;
    }
    if (to == shown.shown)
        return;
    shown.shown = to;
    showReplayPosition(program);
}

void leaveReplay(Program& program)
{
    if (!program.replay)
        return;
    const ShownReplay shown = std::move(*program.replay);
    program.replay.reset();
    showBoard(program, shown.board);
    program.view.setStatus(shown.status);
    program.dialog.setText(ids::kBlackName, shown.blackName);
    program.dialog.setText(ids::kWhiteName, shown.whiteName);
    updateMarks(program);
}

} // namespace kestrel
