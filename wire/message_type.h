#pragma once
// The 21 message types of the wire protocol. The numbers are the wire values.

namespace kestrel {

enum MessageType : int {
    MSG_HELLO = 1,
    MSG_HELLO_REPLY = 2,
    MSG_BYE = 3,
    MSG_CONNECT_REQUEST = 4,
    MSG_CONNECT_ACCEPT = 5,
    MSG_CONNECT_REFUSE = 6,
    MSG_DISCONNECT = 7,
    MSG_DISCONNECT_ACK = 8,
    MSG_CHAT = 9,
    MSG_CHAT_ACK = 10,
    MSG_ORDER = 11,
    MSG_ORDER_ACK = 12,
    MSG_GAME_START = 13,
    MSG_GAME_START_ACK = 14,
    MSG_GAME_END = 15,
    MSG_GAME_END_ACK = 16,
    MSG_MOVE = 17,
    MSG_MOVE_ACK = 18,
    MSG_RESULT = 19,
    MSG_PASS = 20,
    MSG_PASS_ACK = 21,
};

constexpr bool isReliable(int type)
{
    return type == MSG_CHAT || type == MSG_GAME_START || type == MSG_GAME_END || type == MSG_MOVE ||
           type == MSG_PASS;
}

} // namespace kestrel
