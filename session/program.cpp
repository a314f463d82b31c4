#include "session/program.h"

#include <cstdio>

#include "session/send.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel {

Program::Program(GameView& view, Dialog& dialog, Transport& transport, Timers& timers)
    : note([](const std::string& line) { std::fprintf(stderr, "%s\n", fromCp932(line).c_str()); }),
      view(view), dialog(dialog), transport(transport), timers(timers)
{
}

void Program::sendMove(int cell)
{
    sendDatagram(*this, match.peerAddress, MSG_MOVE, std::to_string(cell));
}

void Program::sendResult(const std::string& text)
{
    sendDatagram(*this, match.peerAddress, MSG_RESULT, text);
}

void Program::moved(int cell, Side side)
{
    keepMove(*this, cell, side);
}

void Program::finished()
{
    keepFinishedGame(*this);
}

} // namespace kestrel
