#include "session/send.h"

#include <limits>

#include "session/boxes.h"
#include "session/pending.h"
#include "session/program.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {

namespace {

// The network's address of a destination text, or false after the error box.
bool destinationAddress(Program& program, const std::string& destination, Ipv4& address)
{
    if (parseDottedAddress(destination, address))
        return true;
    if (!destination.empty() && program.transport.resolve(destination, address))
        return true;
    showErrorBox(program, SJ("ホストアドレス取得失敗\r\n送信できません"));
    return false;
}

std::int32_t takeNextSeq(MatchState& match)
{
    // 0 never names a datagram; after the last positive number start over at 1.
    if (match.nextSeq >= std::numeric_limits<std::int32_t>::max() || match.nextSeq < 0)
        match.nextSeq = 0;
    return ++match.nextSeq;
}

} // namespace

bool sendDatagram(Program& program, const std::string& destination, int type, const std::string& payload)
{
    Ipv4 address = kLimitedBroadcast;
    if (destination != kLimitedBroadcastText && !destinationAddress(program, destination, address))
        return false;
    std::int32_t seq = takeNextSeq(program.match);
    std::string text = formatDatagram(seq, type, payload);
    int error = program.transport.sendTo(address, static_cast<std::uint16_t>(program.settings.port), text);
    if (error != 0) {
        showErrorBox(program, SJ("相手への送信失敗 : ") + std::to_string(error));
        return false;
    }
    if (isReliable(type))
        trackPending(program, seq, type, payload);
    return true;
}

bool answerRequest(Program& program, const std::string& sender, int type, std::int32_t seq)
{
    return sendDatagram(program, sender, type, std::to_string(seq));
}

} // namespace kestrel
