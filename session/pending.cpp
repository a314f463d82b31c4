#include "session/pending.h"

#include "session/program.h"
#include "session/send.h"
#include "text/cp932.h"
#include "wire/datagram.h"

namespace kestrel {

namespace {

// Index of the first slot holding seq, or -1.
int findSlot(const PendingTable& table, std::int32_t seq)
{
    for (int i = 0; i < PendingTable::kSlots; ++i) {
        if (table.slots[static_cast<std::size_t>(i)].seq == seq)
            return i;
    }
    return -1;
}

void freeSlot(PendingMessage& slot)
{
    slot.seq = 0;
    slot.type = 0;
    slot.payload.clear();
}

} // namespace

void trackPending(Program& program, std::int32_t seq, int type, const std::string& payload)
{
    int free = findSlot(program.pending, 0);
    if (free >= 0) {
        PendingMessage& slot = program.pending.slots[static_cast<std::size_t>(free)];
        slot.seq = seq;
        slot.type = type;
        slot.payload = payload.substr(0, kMaxPayloadBytes);
    }
    // The timer runs even when the table is full; its expiry then finds no slot.
    program.timers.start(seq, kRetryMs);
}

void completePending(Program& program, const std::string& answerPayload)
{
    std::int32_t seq = decimalValue(answerPayload);
    if (seq == 0)
        return; // 0 names no datagram, and would match a free slot
    program.timers.stop(seq);
    int index = findSlot(program.pending, seq);
    if (index >= 0)
        freeSlot(program.pending.slots[static_cast<std::size_t>(index)]);
}

void onChatAck(Program& program, const std::string& payload)
{
    completePending(program, payload);
}

void onRetryTimer(Program& program, int id)
{
    program.timers.stop(id);
    if (id == 0)
        return;
    int index = findSlot(program.pending, id);
    if (index < 0)
        return;
    // Copied before the question: while it is open the answer may free the
    // slot and another message may take it.
    const PendingMessage message = program.pending.slots[static_cast<std::size_t>(index)];
    std::string question =
        SJ("(") + program.match.opponentName + SJ(")は受信できませんでした\r\n再送しますか");
    bool yes = program.dialog.askYesNo(question);
    PendingMessage& slot = program.pending.slots[static_cast<std::size_t>(index)];
    // The answer (or, for a move, the opponent's next move) may have come
    // while the question was open: the message has arrived, and sending it
    // again would have it handled twice, a move or a game start out of turn.
    const bool answered = slot.seq != id;
    // After the connection has ended there is nobody to send to: an empty
    // address would only be looked up as a host name and fail misleadingly.
    if (yes && !answered && !program.match.peerAddress.empty())
        sendDatagram(program, program.match.peerAddress, message.type, message.payload);
    if (slot.seq == id)
        freeSlot(slot);
}

} // namespace kestrel
