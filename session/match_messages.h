#pragma once
// The messages of a connected match: chat, the order of play, the start and
// the end of a game, moves, passes and the result. Each answer goes to the
// sender of the request it answers.

#include <cstdint>
#include <string>

#include "wire/message_type.h"

namespace kestrel {

struct Program;

// Types 11-21, the messages of a game: the order, its start and end, moves,
// passes, the result and their answers. Their handlers below get only those
// from the network opponent (isOpponent); the rest go to onStrayGameMessage.
constexpr bool isGameMessage(int type)
{
    return type >= MSG_ORDER && type <= MSG_PASS_ACK;
}

// A message of a game from anyone but the network opponent (outside a
// network match, from anyone at all): it changes nothing. A request is
// answered where an answer is due, and its sender, which believes it is
// playing with us, is told that it is not (one MSG_DISCONNECT).
void onStrayGameMessage(Program& program, int type, const std::string& sender, const std::string& payload,
                        std::int32_t seq);

// MSG_CHAT: always answered; shown in the chat log while connected.
void onChat(Program& program, const std::string& sender, const std::string& text, std::int32_t seq);

// MSG_ORDER and MSG_ORDER_ACK: whichever arrives first on a side decides it.
void onOrder(Program& program, const std::string& sender, const std::string& payload, std::int32_t seq);
void onOrderAck(Program& program);

// MSG_GAME_START, MSG_GAME_END and their answers.
void onGameStart(Program& program, const std::string& sender, std::int32_t seq);
void onGameStartAck(Program& program, const std::string& payload);
void onGameEnd(Program& program, const std::string& sender, std::int32_t seq);
void onGameEndAck(Program& program, const std::string& payload);

// MSG_MOVE: the opponent's move on the board turned by 180 degrees, then
// this side's turn, its pass, or the end of the game.
void onMove(Program& program, const std::string& sender, const std::string& payload, std::int32_t seq);
// MSG_MOVE_ACK: the local move has arrived; the opponent's turn, or the end.
void onMoveAck(Program& program, const std::string& payload);

// MSG_PASS and MSG_PASS_ACK.
void onPass(Program& program, const std::string& sender, std::int32_t seq);
void onPassAck(Program& program, const std::string& payload);

// MSG_RESULT: the opponent's result text in the status line.
void onResult(Program& program, const std::string& text);

} // namespace kestrel
