#include "session/program.h"

#include "session/send.h"
#include "wire/message_type.h"

namespace kestrel {

void Program::sendMove(int cell)
{
    sendDatagram(*this, match.peerAddress, MSG_MOVE, std::to_string(cell));
}

void Program::sendResult(const std::string& text)
{
    sendDatagram(*this, match.peerAddress, MSG_RESULT, text);
}

} // namespace kestrel
