#include "net/program.h"

#include "net/datagram.h"
#include "net/message_type.h"

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
