#pragma once
// The receive path of one datagram: from the bytes the socket read to
// dispatchDatagram.

#include <string_view>

#include "session/ports.h"

namespace kestrel {

struct Program;

// Hands one received datagram on: the text ends at its first zero byte, an
// empty text or one longer than kMaxDatagramBytes is dropped silently.
void receiveDatagram(Program& program, std::string_view bytes, Ipv4 source);

} // namespace kestrel
