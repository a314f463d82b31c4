#pragma once
// A received datagram text to the handler of its message type.

#include <string_view>

#include "wire/address.h"

namespace kestrel {

struct Program;

// Splits a received text and calls the handler of its type; malformed
// datagrams are dropped without a word.
void dispatchDatagram(Program& program, std::string_view text, Ipv4 source);

} // namespace kestrel
