#include "session/receive.h"

#include "session/dispatch.h"
#include "session/marks.h"
#include "wire/datagram.h"

namespace kestrel {

void receiveDatagram(Program& program, std::string_view bytes, Ipv4 source)
{
    if (bytes.size() > kMaxDatagramBytes)
        return;
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    if (text.empty())
        return;
    dispatchDatagram(program, text, source);
    // A turn given or taken shows in the marks.
    updateMarks(program);
}

} // namespace kestrel
