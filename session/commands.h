#pragma once
// The commands of the main window: its menu items and its four buttons.

#include <functional>

namespace kestrel {

struct Program;
class SecondaryDialogs;

// Bytes of the chat input that Send reads, and where it cuts a long line.
constexpr std::size_t kChatReadBytes = 1999;
constexpr std::size_t kChatCutBytes = 995;

// "送信": sends the chat input to the opponent and logs it.
void sendCommand(Program& program);

// "決定": fixes the side chosen with the radio buttons; against a network
// opponent only asks (MSG_ORDER), against the computer decides at once.
void decideOrderCommand(Program& program);

// "ゲーム開始" and "ゲーム終了".
void gameStartCommand(Program& program);
void gameEndCommand(Program& program);

// "接続": the connect dialog, then the request, the game against the
// computer, or the previous opponent back.
void connectCommand(Program& program, SecondaryDialogs& dialogs);

// "設定": the settings dialog; a cancelled dialog gives the name and the
// port their values back.
void settingsCommand(Program& program, SecondaryDialogs& dialogs);

// "切断": tells a network opponent, then puts the window into the phase
// without an opponent.
void disconnectCommand(Program& program);

// "終了", the close box and the end of the session: disconnects first when
// connected, says goodbye to every announcement address unless the socket
// never opened, then shuts the socket down. The caller ends the program.
void exitCommand(Program& program, const std::function<void()>& shutDownSocket);

// Runs the command with this menu or button id (the board's context menu
// included); Exit through exitProgram.
// Ids that are no command (the dialog's own OK and Cancel, Escape) do nothing.
// While a secondary dialog is open, Connect, Settings, Help and About raise
// it instead of opening another.
void runCommand(Program& program, SecondaryDialogs& dialogs, int id,
                const std::function<void()>& exitProgram);

} // namespace kestrel
