#include "session/dispatch.h"

#include <array>

#include "session/handshake.h"
#include "session/match_messages.h"
#include "session/opponent.h"
#include "session/peers.h"
#include "session/pending.h"
#include "session/program.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {

namespace {

// What a handler gets of one datagram.
struct Incoming {
    const std::string& sender; // dotted text of the source address
    const std::string& payload;
    std::int32_t seq;
};

using Handler = void (*)(Program&, const Incoming&);

void helloHandler(Program& program, const Incoming& in)
{
    onHello(program, MSG_HELLO, in.sender, in.payload);
}

void helloReplyHandler(Program& program, const Incoming& in)
{
    onHello(program, MSG_HELLO_REPLY, in.sender, in.payload);
}

void byeHandler(Program& program, const Incoming& in)
{
    onBye(program, in.sender);
}

void connectRequestHandler(Program& program, const Incoming& in)
{
    onConnectRequest(program, in.sender, in.payload, in.seq);
}

void connectAcceptHandler(Program& program, const Incoming& in)
{
    onConnectAccept(program, in.sender);
}

void connectRefuseHandler(Program& program, const Incoming& in)
{
    onConnectRefuse(program, in.sender, in.payload);
}

void disconnectHandler(Program& program, const Incoming& in)
{
    onDisconnect(program, in.sender, in.seq);
}

void disconnectAckHandler(Program& program, const Incoming&)
{
    onDisconnectAck(program);
}

void chatHandler(Program& program, const Incoming& in)
{
    onChat(program, in.sender, in.payload, in.seq);
}

void chatAckHandler(Program& program, const Incoming& in)
{
    onChatAck(program, in.payload);
}

void orderHandler(Program& program, const Incoming& in)
{
    onOrder(program, in.sender, in.payload, in.seq);
}

void orderAckHandler(Program& program, const Incoming&)
{
    onOrderAck(program);
}

void gameStartHandler(Program& program, const Incoming& in)
{
    onGameStart(program, in.sender, in.seq);
}

void gameStartAckHandler(Program& program, const Incoming& in)
{
    onGameStartAck(program, in.payload);
}

void gameEndHandler(Program& program, const Incoming& in)
{
    onGameEnd(program, in.sender, in.seq);
}

void gameEndAckHandler(Program& program, const Incoming& in)
{
    onGameEndAck(program, in.payload);
}

void moveHandler(Program& program, const Incoming& in)
{
    onMove(program, in.sender, in.payload, in.seq);
}

void moveAckHandler(Program& program, const Incoming& in)
{
    onMoveAck(program, in.payload);
}

void resultHandler(Program& program, const Incoming& in)
{
    onResult(program, in.payload);
}

void passHandler(Program& program, const Incoming& in)
{
    onPass(program, in.sender, in.seq);
}

void passAckHandler(Program& program, const Incoming& in)
{
    onPassAck(program, in.payload);
}

// One entry per wire type; an empty entry ignores its type.
constexpr std::array<Handler, 22> kHandlers = {
    nullptr,               // 0: not a type
    helloHandler,          // MSG_HELLO
    helloReplyHandler,     // MSG_HELLO_REPLY
    byeHandler,            // MSG_BYE
    connectRequestHandler, // MSG_CONNECT_REQUEST
    connectAcceptHandler,  // MSG_CONNECT_ACCEPT
    connectRefuseHandler,  // MSG_CONNECT_REFUSE
    disconnectHandler,     // MSG_DISCONNECT
    disconnectAckHandler,  // MSG_DISCONNECT_ACK
    chatHandler,           // MSG_CHAT
    chatAckHandler,        // MSG_CHAT_ACK
    orderHandler,          // MSG_ORDER
    orderAckHandler,       // MSG_ORDER_ACK
    gameStartHandler,      // MSG_GAME_START
    gameStartAckHandler,   // MSG_GAME_START_ACK
    gameEndHandler,        // MSG_GAME_END
    gameEndAckHandler,     // MSG_GAME_END_ACK
    moveHandler,           // MSG_MOVE
    moveAckHandler,        // MSG_MOVE_ACK
    resultHandler,         // MSG_RESULT
    passHandler,           // MSG_PASS
    passAckHandler,        // MSG_PASS_ACK
};

} // namespace

void dispatchDatagram(Program& program, std::string_view text, Ipv4 source)
{
    ParsedDatagram parsed;
    if (!parseDatagram(text, parsed))
        return;
    // The payload buffer of a handler holds 999 bytes; the program never
    // sends more, so a longer payload is not one of ours and is dropped.
    if (parsed.payload.size() > kMaxPayloadBytes)
        return;
    if (parsed.type < 1 || parsed.type > MSG_PASS_ACK)
        return;
    Handler handler = kHandlers[static_cast<std::size_t>(parsed.type)];
    if (handler == nullptr)
        return;
    const std::string sender = addressText(source);
    const std::string payload(parsed.payload);
    // Only the opponent changes the game: anyone else on the LAN can send
    // these, a former opponent that missed our disconnect among them.
    if (isGameMessage(parsed.type) && !isOpponent(program.match, sender)) {
        onStrayGameMessage(program, parsed.type, sender, payload, parsed.seq);
        return;
    }
    handler(program, Incoming{sender, payload, parsed.seq});
}

} // namespace kestrel
