#include "session/take_back.h"

#include <optional>
#include <vector>

#include "engine/board.h"
#include "engine/transcript.h"
#include "session/hint.h"
#include "session/marks.h"
#include "session/program.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

bool playersTurnAgainstTheComputer(const Program& program)
{
    const MatchState& match = program.match;
    const KeptGame& kept = program.kept;
    // toMove is the board's word on whose turn it is: under the player's
    // pass notice myTurn is 1, yet the computer is to move.
    return match.vsComputer == 1 && kept.state == KeptGame::State::UnderWay && !program.replay &&
           match.myTurn == 1 && (match.mySide == kBlack || match.mySide == kWhite) &&
           kept.toMove == match.mySide && !program.dialog.boxOpen();
}

std::vector<int> allMoves(const KeptGame& kept)
{
    std::vector<int> all = kept.record.moves;
    all.insert(all.end(), kept.ahead.begin(), kept.ahead.end());
    return all;
}

// The number of moves before the player's previous turn: the last position
// before the current one at which the player was to move.
std::optional<std::size_t> previousTurn(const Program& program)
{
    const std::vector<int>& moves = program.kept.record.moves;
    const Replay replay = replayMoves(moves);
    if (replay.badMove >= 0)
        return std::nullopt;
    for (std::size_t n = moves.size(); n-- > 0;)
        if (toMoveAfter(replay, n) == program.match.mySide)
            return n;
    return std::nullopt;
}

// The number of moves at the player's next turn among the moves taken back.
std::optional<std::size_t> nextTurn(const Program& program)
{
    const std::vector<int> all = allMoves(program.kept);
    const Replay replay = replayMoves(all);
    if (replay.badMove >= 0)
        return std::nullopt;
    for (std::size_t n = program.kept.record.moves.size() + 1; n <= all.size(); ++n)
        if (toMoveAfter(replay, n) == program.match.mySide)
            return n;
    return std::nullopt;
}

// The player's turn after the first `count` of all the moves, the rest
// kept for redo, shown at once.
void showTurnAfter(Program& program, std::size_t count)
{
    KeptGame& kept = program.kept;
    const std::vector<int> all = allMoves(kept);
    kept.record.moves.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
    kept.ahead.assign(all.begin() + static_cast<std::ptrdiff_t>(count), all.end());
    kept.toMove = program.match.mySide;
    // A hint still thought about is for a position gone.
    program.timers.stop(kHintTimer);
    program.computer.cancel();
    MatchState& match = program.match;
    match.board = positionAfter(replayMoves(kept.record.moves), count);
    program.view.showPosition(match.board);
    Game game = program.game();
    updateCounts(game);
    match.myTurn = 1;
    program.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
    updateMarks(program);
}

} // namespace

bool undoOffered(const Program& program)
{
    return playersTurnAgainstTheComputer(program) && previousTurn(program).has_value();
}

bool redoOffered(const Program& program)
{
    return playersTurnAgainstTheComputer(program) && !program.kept.ahead.empty() &&
           nextTurn(program).has_value();
}

void undoCommand(Program& program)
{
    if (!playersTurnAgainstTheComputer(program))
        return;
    const std::optional<std::size_t> to = previousTurn(program);
    if (!to)
        return;
    showTurnAfter(program, *to);
    program.view.announce(*to == 0 ? SJ("待った：最初の局面に戻しました")
                                   : SJ("待った：") + std::to_string(*to) + SJ("手目まで戻しました"));
}

void redoCommand(Program& program)
{
    if (!playersTurnAgainstTheComputer(program) || program.kept.ahead.empty())
        return;
    const std::optional<std::size_t> to = nextTurn(program);
    if (!to)
        return;
    showTurnAfter(program, *to);
    program.view.announce(SJ("やり直し：") + std::to_string(*to) + SJ("手目まで進めました"));
}

} // namespace kestrel
