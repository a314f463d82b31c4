#include "net/datagram.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

#include "net/boxes.h"
#include "net/handshake.h"
#include "net/match_messages.h"
#include "net/message_type.h"
#include "net/peers.h"
#include "net/pending.h"
#include "net/program.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

constexpr Ipv4 kLimitedBroadcast = 0xFFFFFFFFu;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

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

// Next token at or after `pos`: leading separators skipped, ending at the
// next separator or the end. Sets `pos` just past the separator that ended
// it, or to npos when the token ran to the end. False when there is none.
bool nextToken(std::string_view text, std::size_t& pos, std::string_view& token)
{
    if (pos == std::string_view::npos)
        return false;
    std::size_t start = text.find_first_not_of('|', pos);
    if (start == std::string_view::npos)
        return false;
    std::size_t end = text.find('|', start);
    if (end == std::string_view::npos) {
        token = text.substr(start);
        pos = std::string_view::npos;
    } else {
        token = text.substr(start, end - start);
        pos = end + 1;
    }
    return true;
}

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

std::int32_t decimalValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit)
            value = kLimit; // saturated; keep reading the digits
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value >= kLimit ? kLimit - 1 : value);
}

std::string formatDatagram(std::int32_t seq, int type, std::string_view payload)
{
    std::string text = std::to_string(seq);
    text += '|';
    text += std::to_string(type);
    text += '|';
    text += payload;
    return text;
}

std::string addressText(Ipv4 address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

bool parseDottedAddress(std::string_view text, Ipv4& address)
{
    Ipv4 result = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        std::size_t start = pos;
        unsigned value = 0;
        while (pos < text.size() && isDigit(text[pos]) && pos - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
        }
        // No leading zeros: "010" would be octal to some readers.
        bool leadingZero = pos - start > 1 && text[start] == '0';
        if (pos == start || value > 255 || leadingZero || (pos < text.size() && isDigit(text[pos])))
            return false;
        result = (result << 8) | value;
    }
    if (pos != text.size())
        return false;
    address = result;
    return true;
}

bool isNumericHostText(std::string_view text)
{
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1); // a fully qualified name's final dot
    const std::size_t dot = text.rfind('.');
    const std::string_view label = dot == std::string_view::npos ? text : text.substr(dot + 1);
    if (label.size() >= 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X'))
        return std::all_of(label.begin() + 2, label.end(), isHexDigit);
    return !label.empty() && std::all_of(label.begin(), label.end(), isDigit);
}

bool parseDatagram(std::string_view text, ParsedDatagram& parsed)
{
    text = text.substr(0, text.find('\0'));
    std::size_t pos = 0;
    std::string_view seq;
    std::string_view type;
    if (!nextToken(text, pos, seq) || !nextToken(text, pos, type))
        return false;
    if (pos == std::string_view::npos || pos >= text.size())
        return false; // no payload, or an empty one
    parsed.seq = decimalValue(seq);
    parsed.type = decimalValue(type);
    parsed.payload = text.substr(pos);
    return true;
}

bool sendDatagram(Program& program, const std::string& destination, int type, const std::string& payload)
{
    Ipv4 address = kLimitedBroadcast;
    if (destination != "255.255.255.255" && !destinationAddress(program, destination, address))
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
    handler(program, Incoming{sender, payload, parsed.seq});
}

} // namespace kestrel
