#include "session/control_states.h"

#include "engine/board.h"
#include "session/control_ids.h"
#include "session/game_records.h"
#include "session/program.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

// The menu of a phase: Connect and Settings only without an opponent,
// Disconnect only with one. Exit, Help and About are always there.
void enableMenu(Dialog& dialog, bool withOpponent)
{
    dialog.enable(ids::kMenuExit, true);
    dialog.enable(ids::kMenuConnect, !withOpponent);
    dialog.enable(ids::kMenuDisconnect, withOpponent);
    dialog.enable(ids::kMenuSettings, !withOpponent);
    dialog.enable(ids::kMenuHelp, true);
    dialog.enable(ids::kMenuAbout, true);
}

void enableOrderControls(Dialog& dialog, bool on)
{
    dialog.enable(ids::kFirstBlack, on);
    dialog.enable(ids::kSecondWhite, on);
    dialog.enable(ids::kDecide, on);
}

void checkFirstBlack(Dialog& dialog)
{
    dialog.setChecked(ids::kFirstBlack, true);
    dialog.setChecked(ids::kSecondWhite, false);
}

// What every phase change sets alike: the menu of the phase, the order
// controls usable only with an opponent, both game buttons off and
// "先攻（黒）" checked.
void setPhaseControls(Dialog& dialog, bool withOpponent)
{
    enableMenu(dialog, withOpponent);
    enableOrderControls(dialog, withOpponent);
    dialog.enable(ids::kGameStart, false);
    dialog.enable(ids::kGameEnd, false);
    checkFirstBlack(dialog);
}

} // namespace

void applyInitialControlStates(Program& program)
{
    Dialog& dialog = program.dialog;
    setPhaseControls(dialog, false);
    // The send button stays disabled: there is nobody to send to until a
    // connection is made.
    dialog.enable(ids::kSend, false);
}

void resetForNewGame(Program& program)
{
    MatchState& match = program.match;
    Dialog& dialog = program.dialog;
    match.orderDecided = 0;
    match.myTurn = 0;
    endGameOnBoard(program);

    setPhaseControls(dialog, true);
    // Against the computer the send button is left as it is: disabled in every phase.
    if (match.vsComputer == 0)
        dialog.enable(ids::kSend, true);

    dialog.setText(ids::kOpponentLine, match.opponentName);
    program.view.setStatus(SJ("先攻・後攻を決定して下さい"));
    for (int id : {ids::kChatLog, ids::kChatInput, ids::kBlackName, ids::kWhiteName})
        dialog.setText(id, std::string());

    Game game = program.game();
    setUpInitialPosition(game);
}

void resetToUnconnected(Program& program)
{
    MatchState& match = program.match;
    Dialog& dialog = program.dialog;
    match.orderDecided = 0;
    match.myTurn = 0;
    match.vsComputer = 0;
    endGameOnBoard(program);

    setPhaseControls(dialog, false);
    dialog.enable(ids::kSend, false);

    match.opponentName.clear();
    match.peerAddress.clear();
    match.connected = 0;

    for (int id : {ids::kOpponentLine, ids::kBlackName, ids::kWhiteName})
        dialog.setText(id, std::string());
    program.view.setStatus(std::string());

    Game game = program.game();
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            setCell(game, row, col, kEmpty);
    updateCounts(game);
}

} // namespace kestrel
