#include "session/commands.h"

#include "engine/board.h"
#include "engine/computer_player.h"
#include "session/board_menu.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/game_records.h"
#include "session/hint.h"
#include "session/marks.h"
#include "session/peers.h"
#include "session/program.h"
#include "session/replay.h"
#include "session/send.h"
#include "session/take_back.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

// A line of kChatCutBytes or more keeps its first kChatCutBytes and ends in
// "//" and a line break, within the 999 bytes a payload holds. The cut never
// leaves half a double-byte character before the "//".
std::string cutChatLine(const std::string& text)
{
    if (text.size() < kChatCutBytes)
        return text;
    return cutCp932(text, kChatCutBytes) + "//\r\n";
}

// The names beside the two piece symbols (black's at 1089, white's at 1090)
// and the radio button of the local side.
void showSideNames(Program& program, Side mySide)
{
    const std::string& me = program.settings.playerName;
    const std::string& opponent = program.match.opponentName;
    program.dialog.setText(ids::kBlackName, mySide == kBlack ? me : opponent);
    program.dialog.setText(ids::kWhiteName, mySide == kBlack ? opponent : me);
    program.dialog.setChecked(ids::kFirstBlack, mySide == kBlack);
    program.dialog.setChecked(ids::kSecondWhite, mySide != kBlack);
}

// Against the computer the order is fixed at once; taking white lets the
// computer open the game.
void decideAgainstComputer(Program& program)
{
    MatchState& match = program.match;
    Dialog& dialog = program.dialog;
    if (match.orderDecided == 1)
        return;
    match.orderDecided = 1;
    for (int id : {ids::kFirstBlack, ids::kSecondWhite, ids::kDecide})
        dialog.enable(id, false);
    if (match.mySide == kBlack) {
        dialog.enable(ids::kGameStart, true);
        program.view.setStatus(SJ("ゲーム開始ボタンを押して下さい"));
        showSideNames(program, kBlack);
        return;
    }
    dialog.enable(ids::kGameStart, false);
    showSideNames(program, kWhite);
    match.myTurn = 0;
    dialog.enable(ids::kGameEnd, true);
    program.view.setStatus(SJ("ゲーム開始が開始されました　相手が先攻です"));
    beginGameRecord(program);
    Game game = program.game();
    if (computerMove(game) != ComputerTurn::Abandoned)
        updateCounts(game);
}

} // namespace

void sendCommand(Program& program)
{
    Dialog& dialog = program.dialog;
    const std::string text = cutCp932(dialog.text(ids::kChatInput), kChatReadBytes);
    if (text.empty()) {
        dialog.showError(SJ("メッセージがありません"));
        dialog.focus(ids::kChatInput);
        return;
    }
    const std::string line = cutChatLine(text);
    // Against the computer there is nobody to send to (the button is
    // disabled then): the line is dropped like one sent while unconnected.
    if (program.match.connected == 1 && program.match.vsComputer == 0) {
        sendDatagram(program, program.match.peerAddress, MSG_CHAT, line);
        dialog.appendText(ids::kChatLog,
                          SJ("【") + program.settings.playerName + SJ("】") + "\r\n" + line + "\r\n");
    }
    dialog.setText(ids::kChatInput, std::string());
    dialog.focus(ids::kChatInput);
}

void decideOrderCommand(Program& program)
{
    MatchState& match = program.match;
    match.mySide = program.dialog.isChecked(ids::kFirstBlack) ? kBlack : kWhite;
    // A replay ends when a game begins: the board it replaced comes back.
    leaveReplay(program);
    if (match.vsComputer == 0) {
        // The controls change when the answer, or the opponent's own choice, arrives.
        sendDatagram(program, match.peerAddress, MSG_ORDER, std::to_string(match.mySide));
        return;
    }
    decideAgainstComputer(program);
}

void gameStartCommand(Program& program)
{
    if (program.match.vsComputer == 0) {
        // The game begins on this side when the answer arrives.
        sendDatagram(program, program.match.peerAddress, MSG_GAME_START, "game start");
        return;
    }
    program.match.myTurn = 1;
    program.dialog.enable(ids::kGameStart, false);
    program.dialog.enable(ids::kGameEnd, true);
    program.view.setStatus(SJ("コマを置いて下さい"));
    beginGameRecord(program);
}

void gameEndCommand(Program& program)
{
    if (program.match.vsComputer == 0) {
        sendDatagram(program, program.match.peerAddress, MSG_GAME_END, "game end");
        return;
    }
    resetForNewGame(program);
    program.view.setStatus(SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
}

void connectCommand(Program& program, SecondaryDialogs& dialogs)
{
    MatchState& match = program.match;
    const std::string previousName = match.opponentName;
    const std::string previousAddress = match.peerAddress;
    match.dialogAccepted = 0;
    match.connected = 0;
    match.vsComputer = 0;
    match.connectRequestSeq = 0; // an earlier request is given up

    dialogs.runConnectDialog();

    if (match.dialogAccepted == 1) {
        if (match.vsComputer == 1)
            resetForNewGame(program);
        else if (sendDatagram(program, match.peerAddress, MSG_CONNECT_REQUEST, program.settings.playerName))
            match.connectRequestSeq = match.nextSeq;
        return;
    }
    // A request accepted while the dialog was open has made a connection of
    // its own (the dialog cannot: it was cancelled). Keep it; putting the old
    // opponent back would leave this side unconnected while the other side
    // plays on.
    if (match.connected == 1)
        return;
    match.opponentName = previousName;
    match.peerAddress = previousAddress;
}

void settingsCommand(Program& program, SecondaryDialogs& dialogs)
{
    const std::string previousName = program.settings.playerName;
    const std::int32_t previousPort = program.settings.port;
    program.match.dialogAccepted = 0;
    dialogs.runSettingsDialog();
    if (program.match.dialogAccepted == 0) {
        program.settings.playerName = previousName;
        program.settings.port = previousPort;
    }
}

void disconnectCommand(Program& program)
{
    if (program.match.vsComputer == 0)
        sendDatagram(program, program.match.peerAddress, MSG_DISCONNECT, program.settings.playerName);
    resetToUnconnected(program);
}

void exitCommand(Program& program, const std::function<void()>& shutDownSocket)
{
    if (program.match.connected == 1)
        disconnectCommand(program);
    if (program.match.socketFailed == 0)
        sendToAll(program, MSG_BYE, announcementPayload(program.settings));
    shutDownSocket();
}

namespace {

bool opensDialog(int id)
{
    return id == ids::kMenuConnect || id == ids::kMenuSettings || id == ids::kMenuHelp ||
           id == ids::kMenuAbout || id == ids::kMenuSaveRecord || id == ids::kMenuOpenRecord;
}

// The board's context menu. The focus stays where it was, on the board.
void runBoardMenuCommand(Program& program, SecondaryDialogs& dialogs, int id)
{
    switch (id) {
    case ids::kMenuHint:
        hintCommand(program);
        return;
    case ids::kMenuUndo:
        undoCommand(program);
        return;
    case ids::kMenuRedo:
        redoCommand(program);
        return;
    case ids::kMenuMarkLegalMoves:
        switchLegalMovesMarkCommand(program);
        return;
    case ids::kMenuMarkLastMove:
        switchLastMoveMarkCommand(program);
        return;
    case ids::kMenuCopyRecord:
        copyRecordCommand(program);
        return;
    case ids::kMenuSaveRecord:
        saveRecordCommand(program, dialogs);
        return;
    case ids::kMenuOpenRecord:
        openRecordCommand(program, dialogs);
        return;
    case ids::kMenuReplayFirst:
        stepReplay(program, ReplayJump::First);
        return;
    case ids::kMenuReplayBack:
        stepReplay(program, ReplayJump::Back);
        return;
    case ids::kMenuReplayForward:
        stepReplay(program, ReplayJump::Forward);
        return;
    case ids::kMenuReplayLast:
        stepReplay(program, ReplayJump::Last);
        return;
    case ids::kMenuReplayLeave:
        leaveReplay(program);
        return;
    default:
        break;
    }
    if (id >= ids::kMenuFirstLevel && id < ids::kMenuLevelsEnd)
        chooseLevelCommand(program, id - ids::kMenuFirstLevel);
    else if (id >= ids::kMenuFirstRecent && id < ids::kMenuRecentEnd)
        openRecentCommand(program, static_cast<std::size_t>(id - ids::kMenuFirstRecent));
}

void runWindowCommand(Program& program, SecondaryDialogs& dialogs, int id,
                      const std::function<void()>& exitProgram)
{
    switch (id) {
    case ids::kSend:
        sendCommand(program); // focuses the chat input itself
        return;
    case ids::kDecide:
        decideOrderCommand(program);
        break;
    case ids::kGameStart:
        gameStartCommand(program);
        break;
    case ids::kGameEnd:
        gameEndCommand(program);
        break;
    case ids::kMenuConnect:
        connectCommand(program, dialogs);
        break;
    case ids::kMenuDisconnect:
        disconnectCommand(program);
        break;
    case ids::kMenuExit:
        exitProgram();
        return;
    case ids::kMenuSettings:
        settingsCommand(program, dialogs);
        return;
    case ids::kMenuHelp:
        dialogs.runHelpDialog();
        return;
    case ids::kMenuAbout:
        dialogs.runAboutDialog();
        return;
    default:
        runBoardMenuCommand(program, dialogs, id);
        return;
    }
    program.dialog.focus(ids::kChatInput);
}

} // namespace

void runCommand(Program& program, SecondaryDialogs& dialogs, int id, const std::function<void()>& exitProgram)
{
    // One secondary dialog at a time: the menu stays usable while one is
    // open, and choosing another brings the open one forward instead.
    if (opensDialog(id) && dialogs.raiseOpenDialog())
        return;
    runWindowCommand(program, dialogs, id, exitProgram);
    updateMarks(program);
}

} // namespace kestrel
