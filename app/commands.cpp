#include "app/commands.h"

#include "app/control_states.h"
#include "net/datagram.h"
#include "net/message_type.h"
#include "net/peers.h"
#include "net/program.h"

namespace kestrel {

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

}  // namespace kestrel
