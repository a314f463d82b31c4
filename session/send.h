#pragma once
// Sending one message of the protocol, and answering a request.

#include <cstdint>
#include <string>

namespace kestrel {

struct Program;

// Sends one message to a destination given as dotted text,
// "255.255.255.255" or a host name, to the port of the settings. Shows the
// error box on failure. Reliable types are tracked for retransmission.
bool sendDatagram(Program& program, const std::string& destination, int type, const std::string& payload);

// Answers a request: `type` to its sender, with the request's seq in decimal
// as the payload.
bool answerRequest(Program& program, const std::string& sender, int type, std::int32_t seq);

} // namespace kestrel
