#pragma once
// Three players on one in-memory LAN, each listed by the others, and the
// player's actions of a network match: request, order, game start and end,
// clicks on the board.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/commands.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/peers.h"
#include "tests/support/board_builder.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::testing {

class MatchLan : public ::testing::Test {
protected:
    MemoryNetwork lan;
    Host& taro = lan.add(1, "taro");
    Host& hanako = lan.add(2, "hanako");
    Host& jiro = lan.add(3, "jiro");
    MatchState& t = taro.program.match;
    MatchState& h = hanako.program.match;

    MatchLan()
    {
        for (Host* host : {&taro, &hanako, &jiro}) {
            applyInitialControlStates(host->program);
            sendToAll(host->program, MSG_HELLO, announcementPayload(host->program.settings));
        }
        lan.deliverAll();
    }

    // The Connect command with `to` chosen in the connect dialog's list,
    // and (unless told otherwise) everything it sets off delivered.
    void request(Host& from, const Host& to, bool deliver = true)
    {
        FakeSecondaryDialogs dialogs;
        dialogs.onConnect = [&] {
            MatchState& m = from.program.match;
            const int row = findPeer(from.program.peers, addressText(to.address));
            m.connected = 1;
            m.opponentName = row < 0 ? "?" : from.program.peers.rows[static_cast<std::size_t>(row)].name;
            m.peerAddress = addressText(to.address);
            m.dialogAccepted = 1;
        };
        connectCommand(from.program, dialogs);
        if (deliver)
            lan.deliverAll();
    }
    // "決定" with the radio button of `side` checked.
    void decide(Host& host, Side side, bool deliver = true)
    {
        host.choose(side);
        decideOrderCommand(host.program);
        if (deliver)
            lan.deliverAll();
    }
    void command(Host& host, void (*run)(Program&))
    {
        run(host.program);
        lan.deliverAll();
    }
    void play(Host& host, int k)
    {
        host.click(k);
        lan.deliverAll();
    }

    // Connected, `black` has taken black and started the game; all delivered.
    void startGame(Host& black, Host& white)
    {
        white.dialog.answers.push_back(true);
        request(black, white);
        decide(black, kBlack);
        command(black, gameStartCommand);
    }

    // Datagrams of one type taken off the wire so far, lost ones included.
    std::vector<Flight> sentOfType(int type) const
    {
        std::vector<Flight> out;
        for (const Flight& f : lan.history) {
            ParsedDatagram d;
            if (parseDatagram(f.bytes, d) && d.type == type)
                out.push_back(f);
        }
        return out;
    }
};

// Each player sees the other's board turned by 180 degrees.
inline bool turnedBy180(const Board& a, const Board& b)
{
    for (int k = 0; k < kCellCount; ++k)
        if (a[k] != b[63 - k])
            return false;
    return true;
}

inline std::vector<std::string> textsOf(const FakeView& view, const std::string& op)
{
    std::vector<std::string> out;
    for (const ViewCall& c : view.callsOf(op))
        out.push_back(c.text);
    return out;
}

} // namespace kestrel::testing
