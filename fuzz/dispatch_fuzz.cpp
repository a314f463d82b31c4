// Any datagrams, from any address, into a program record in any phase, with
// the player answering questions either way and more datagrams arriving
// while a box is open. What must hold afterwards is checked; a breach aborts.
//
// Input: byte 0 picks the phase, byte 1 answers the questions (bit i, taken
// in turn, is Yes when set), then records separated by a zero byte (a zero
// ends a received text anyway). The first byte of a record: bits 0-2 pick
// the source address, bit 3 delivers it inside the box open at that moment,
// bit 4 makes it the expiry of the retry timer its text names instead of a
// datagram, bit 5 makes sends to its source fail. The rest is the datagram.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string_view>

#include "fuzz/check.h"
#include "fuzz/phases.h"
#include "session/pending.h"
#include "session/receive.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::fuzzing {
namespace {

using testing::ip;

// The open connect dialog's list box; it must follow the peer list exactly.
class ListView final : public PeerListView {
public:
    std::vector<std::string> items;
    int selected = -1;

    void insertItem(int position, const std::string& name) override
    {
        check(position >= 0 && position <= static_cast<int>(items.size()), "list insert in range");
        items.insert(items.begin() + position, name);
        if (selected >= position)
            ++selected;
    }
    void deleteItem(int position) override
    {
        check(position >= 0 && position < static_cast<int>(items.size()), "list delete in range");
        items.erase(items.begin() + position);
        if (selected == position)
            selected = -1;
        else if (selected > position)
            --selected;
    }
    bool isSelected(int position) const override { return position == selected; }
    void select(int position) override { selected = position; }
};

// Boxes open at once: each kind has its bound, and a retry question may
// come on top for each timer an input fires (at most kMaxTimerRecords).
constexpr int kMaxTimerRecords = 16;
constexpr int kMaxDepth = 8 + 4 + 1 + 1 + 1 + kMaxTimerRecords;

// A record on the recording fakes, emptied before every input: a box runs
// the records meant for its inside, a question is answered by the input's
// bits, and every datagram sent is checked at once.
struct Harness : testing::FakeMachine {
    ListView list;
    std::string_view records; // what is left of the input
    std::uint8_t answers = 0;
    int questions = 0;
    int depth = 0;
    int timerRecords = 0;

    Harness()
    {
        view.onNotice = [this](const std::string&) { whileOpen(); };
        dialog.whileOpen = [this](const testing::FakeDialog::Box&) { whileOpen(); };
        dialog.answerQuestion = [this](const std::string&) {
            return ((answers >> (questions++ % 8)) & 1) != 0;
        };
        transport.onSend = [](const testing::FakeTransport::Sent& sent) {
            ParsedDatagram parsed;
            check(sent.bytes.size() <= kMaxDatagramBytes && parseDatagram(sent.bytes, parsed) &&
                      parsed.payload.size() <= kMaxPayloadBytes && parsed.type >= MSG_HELLO &&
                      parsed.type <= MSG_PASS_ACK,
                  "every datagram sent is well formed");
        };
    }

    // The opponent, a listed player, one not listed, nobody, the limited
    // broadcast, this machine, a player of the full list, or anyone.
    static Ipv4 sourceOf(std::uint8_t selector)
    {
        const Ipv4 sources[] = {kOpponent,
                                kListed,
                                ip(10, 0, 0, 9),
                                0,
                                0xFFFFFFFFu,
                                kSelf,
                                ip(10, 0, 4, 1 + (selector >> 6u)),
                                ip(10, 1, 0, selector >> 6u)};
        return sources[selector & 7];
    }

    // The next record, if there is one and it is to come now.
    bool next(bool insideBox, std::uint8_t& selector, std::string_view& text)
    {
        if (records.empty() || (insideBox && (static_cast<std::uint8_t>(records[0]) & 0x08) == 0))
            return false;
        const std::size_t end = records.find('\0');
        const std::string_view record = records.substr(0, end);
        records = end == std::string_view::npos ? std::string_view() : records.substr(end + 1);
        if (record.empty())
            return next(insideBox, selector, text);
        selector = static_cast<std::uint8_t>(record[0]);
        text = record.substr(1);
        return true;
    }

    void deliver(std::uint8_t selector, std::string_view text)
    {
        const Ipv4 source = sourceOf(selector);
        if (selector & 0x20)
            transport.failing.insert(source);
        if ((selector & 0x10) == 0) {
            receiveDatagram(program, text, source);
            return;
        }
        if (++timerRecords > kMaxTimerRecords)
            return;
        // The timer named by the text, or the first one running.
        int id = decimalValue(text);
        if (id == 0 && !timers.running.empty())
            id = *timers.running.begin();
        if (timers.running.count(id) != 0) {
            timers.stop(id);
            onRetryTimer(program, id);
        }
    }

    // A box is open: its event loop delivers what is to come inside it.
    void whileOpen()
    {
        check(++depth <= kMaxDepth, "boxes nest within their bounds");
        std::uint8_t selector = 0;
        std::string_view text;
        while (next(true, selector, text))
            deliver(selector, text);
        --depth;
    }

    void run(const std::uint8_t* data, std::size_t size)
    {
        if (size < 2)
            return;
        const std::vector<Phase>& phases = allPhases();
        const Phase& phase = phases[data[0] % phases.size()];
        restorePhase(phase, program, timers.running);
        if (phase.connectDialogOpen) {
            list.items = phase.listItems;
            list.selected = phase.selected;
            program.openConnectDialog = &list;
        }
        transport.failing.clear();
        transport.sent.clear();
        transport.lookedUp.clear();
        timers.started.clear();
        view.calls.clear();
        view.now = 0; // the virtual clock would run past the int range over millions of inputs
        dialog.boxes.clear();
        dialog.texts.clear();
        answers = data[1];
        questions = 0;
        depth = 0;
        timerRecords = 0;
        records = std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2);

        std::uint8_t selector = 0;
        std::string_view text;
        while (next(false, selector, text))
            deliver(selector, text);
        checkRecord();
    }

    void checkRecord()
    {
        const Program& p = program;
        const MatchState& match = p.match;
        check(p.peers.count >= 0 && p.peers.count <= PeerList::kRows, "peer count in range");
        std::vector<std::string_view> addresses;
        for (int i = 0; i < PeerList::kRows; ++i) {
            const PeerEntry& row = p.peers.rows[static_cast<std::size_t>(i)];
            if (i >= p.peers.count) {
                check(row.address.empty() && row.name.empty() && row.dialUp == 0,
                      "rows after the count empty");
                continue;
            }
            Ipv4 address = 0;
            check(parseDottedAddress(row.address, address), "a listed address is dotted decimal");
            check(!row.name.empty() && row.name.size() <= 63, "a listed name has 1-63 bytes");
            addresses.push_back(row.address);
        }
        std::sort(addresses.begin(), addresses.end());
        check(std::adjacent_find(addresses.begin(), addresses.end()) == addresses.end(),
              "no address listed twice");
        // The list box shows the names in order; an announcement without a
        // name turns a known row into "No Name" without touching its item.
        if (p.openConnectDialog != nullptr) {
            check(list.items.size() == static_cast<std::size_t>(p.peers.count),
                  "list box as long as the list");
            for (int i = 0; i < p.peers.count; ++i) {
                const std::string& name = p.peers.rows[static_cast<std::size_t>(i)].name;
                check(list.items[static_cast<std::size_t>(i)] == name || name == "No Name",
                      "list box shows the names in order");
            }
        }
        for (const PendingMessage& slot : p.pending.slots) {
            check(slot.payload.size() <= kMaxPayloadBytes, "pending payload fits");
            if (slot.seq == 0)
                check(slot.type == 0 && slot.payload.empty(), "free slot empty");
            else
                check(isReliable(slot.type), "pending slot of a reliable type");
        }
        int black = 0, white = 0;
        for (CellState cell : match.board) {
            check(cell <= kWhite, "cells empty, black or white");
            black += cell == kBlack;
            white += cell == kWhite;
        }
        check(match.blackCount == black && match.whiteCount == white, "counts are the board's");
        check(match.connected == 0 || match.connected == 1, "connected is 0 or 1");
        check(match.connected == 1 || (match.myTurn == 0 && match.orderDecided == 0 && match.vsComputer == 0),
              "no turn, order or computer without a connection");
        check(match.mySide >= 0 && match.mySide <= 2, "side 0, 1 or 2");
        check(match.opponentName.size() <= 63, "opponent name fits");
        Ipv4 address = 0;
        check(match.peerAddress.empty() || parseDottedAddress(match.peerAddress, address),
              "opponent address dotted or empty");
        check(p.boxes.requests.empty() && p.boxes.errors.empty() && !p.boxes.disconnectNotice &&
                  !p.boxes.passNotice,
              "no box left marked open");
    }
};

} // namespace
} // namespace kestrel::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static kestrel::fuzzing::Harness harness;
    harness.run(data, size);
    return 0;
}
