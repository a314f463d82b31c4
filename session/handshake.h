#pragma once
// The connection handshake: a request asked about and answered, its answer
// on the requesting side, and the end of a connection.

#include <cstdint>
#include <string>

namespace kestrel {

struct Program;

// MSG_CONNECT_REQUEST: refused at once while this side is connected or
// waiting for an answer of its own; otherwise the player is asked. The
// opponent asking again ends its connection here, then is asked too.
void onConnectRequest(Program& program, const std::string& sender, const std::string& payload,
                      std::int32_t seq);

// MSG_CONNECT_ACCEPT: the player asked has agreed; the order of play is next.
void onConnectAccept(Program& program, const std::string& sender);

// MSG_CONNECT_REFUSE: the player asked has said no; a notice, then no opponent.
void onConnectRefuse(Program& program, const std::string& sender, const std::string& payload);

// MSG_DISCONNECT: the opponent has ended the connection.
void onDisconnect(Program& program, const std::string& sender, std::int32_t seq);

// MSG_DISCONNECT_ACK: nothing to do; this side reset when it sent MSG_DISCONNECT.
void onDisconnectAck(Program& program);

// Tells a player that believes it is connected to us (its late acceptance or
// its message of a game shows it) that it is not: one MSG_DISCONNECT, which
// it answers by ending its side with its notice.
void tellNotConnected(Program& program, const std::string& player);

} // namespace kestrel
