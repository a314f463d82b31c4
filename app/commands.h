#pragma once
// Commands of the main window's menu that end a connection or the program.

#include <functional>

namespace kestrel {

struct Program;

// "切断": tells a network opponent, then puts the window into the phase
// without an opponent.
void disconnectCommand(Program& program);

// "終了", the close box and the end of the session: disconnects first when
// connected, says goodbye to every announcement address unless the socket
// never opened, then shuts the socket down. The caller ends the program.
void exitCommand(Program& program, const std::function<void()>& shutDownSocket);

}  // namespace kestrel
