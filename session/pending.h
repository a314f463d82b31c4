#pragma once
// Reliable delivery: tracking, answers, and the retry question.

#include <cstdint>
#include <string>

namespace kestrel {

struct Program;

constexpr int kRetryMs = 5000;

// Called by sendDatagram after a reliable type went out.
void trackPending(Program& program, std::int32_t seq, int type, const std::string& payload);
// Called first by each answer handler with the answer's payload (the answered seq).
void completePending(Program& program, const std::string& answerPayload);
// MSG_CHAT_ACK: frees the chat line it answers.
void onChatAck(Program& program, const std::string& payload);
// Expiry of retry timer `id`: asks the player whether to send again.
void onRetryTimer(Program& program, int id);

} // namespace kestrel
