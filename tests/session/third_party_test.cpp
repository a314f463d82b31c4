// A match between two players while third parties send the messages of a
// game: a former opponent that missed our disconnect, and an intruder.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "session/receive.h"
#include "tests/support/lan_match.h"

namespace kestrel::testing {
namespace {
using ThirdParty = MatchLan;

// All that a message of a game could change on a player's side.
std::string seen(const Host& host)
{
    const MatchState& m = host.program.match;
    std::ostringstream out;
    out << pictureOf(m.board) << m.myTurn << m.mySide << m.orderDecided << m.connected << m.peerAddress << '/'
        << host.view.status << m.moveAwaitingAck.has_value() << host.dialog.boxes.size()
        << host.dialog.restoreCount << '/';
    for (const auto& [id, on] : host.dialog.enabled)
        out << id << on << host.dialog.isChecked(id) << ' ';
    for (const auto& [id, text] : host.dialog.texts)
        out << id << text << ' ';
    for (const PendingMessage& slot : host.program.pending.slots)
        out << (slot.seq != 0 ? std::to_string(slot.seq) + ' ' : "");
    for (int id : host.timers.running)
        out << id << 't';
    return out.str();
}

TEST_F(ThirdParty, OnlyTheOpponentChangesTheMatchAndAFormerOneLearnsItIsAlone)
{
    // Saburo sends taro and hanako every message of a game, its answers
    // naming their latest datagram, its move one the opponent could make.
    // Nothing changes; each request but the order is answered, and each is
    // followed by a disconnect.
    Host& saburo = lan.add(4, "saburo");
    auto intrude = [&] {
        for (Host* to : {&taro, &hanako}) {
            MatchState m = to->program.match;
            const std::vector<int> cells = m.mySide == 0 ? std::vector<int>{} : legalCells(m, 3 - m.mySide);
            const std::string move = std::to_string(cells.empty() ? 19 : 63 - cells[0]);
            const std::string last = std::to_string(m.nextSeq), before = seen(*to);
            const std::size_t sent = to->transport.sent.size();
            for (const std::string& message : std::vector<std::string>{
                     "11|1", "12|" + last, "13|game start", "14|" + last, "15|game end", "16|" + last,
                     "17|" + move, "18|" + last, "19|intruded", "20|pass", "21|" + last})
                receiveDatagram(to->program, "900|" + message, saburo.address);
            EXPECT_EQ(seen(*to), before);
            std::string answers;
            for (std::size_t i = sent; i < to->transport.sent.size(); ++i) {
                ParsedDatagram d;
                ASSERT_TRUE(parseDatagram(to->transport.sent[i].bytes, d));
                answers +=
                    std::to_string(d.type) + (to->transport.sent[i].address == saburo.address ? " " : "? ");
            }
            EXPECT_EQ(answers, "7 14 7 16 7 18 7 21 7 ");
        }
        lan.deliverAll();
    };
    auto disconnectToJiro = [&](const Flight& f) {
        return f.to == jiro.address && f.bytes.find("|7|") != std::string::npos;
    };

    // Taro plays jiro; his disconnect is lost: jiro, to move, plays on.
    MatchState& j = jiro.program.match;
    startGame(taro, jiro);
    play(taro, 19);
    lan.dropNext(1);
    command(taro, disconnectCommand);
    // Taro plays hanako now. Jiro's move, his game end and his "決定" come
    // before, after the order and during the game: each is answered but
    // the order, changes nothing, and tells jiro that he is alone, which
    // news is lost twice.
    lan.dropIf = disconnectToJiro;
    hanako.dialog.answers = {true};
    request(taro, hanako);
    std::string before = seen(taro);
    play(jiro, legalCells(j, kWhite).at(0));
    EXPECT_EQ(seen(taro), before);
    EXPECT_EQ(jiro.view.status, SJ("相手の番です"));
    intrude();
    decide(taro, kBlack);
    before = seen(taro);
    command(jiro, gameEndCommand);
    EXPECT_EQ(jiro.view.status, SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    EXPECT_EQ(seen(taro), before);
    intrude();
    command(taro, gameStartCommand);
    lan.dropIf = nullptr;
    before = seen(taro);
    jiro.choose(kBlack);
    command(jiro, decideOrderCommand);
    EXPECT_EQ(seen(taro), before);
    EXPECT_EQ(j.connected + j.orderDecided, 0);
    EXPECT_EQ(jiro.dialog.boxes.back().text, SJ("相手が接続を終了しました"));
    EXPECT_EQ(std::count_if(lan.history.begin(), lan.history.end(), disconnectToJiro), 4)
        << "taro's own disconnect and three answers";

    // The game, saburo's messages coming while taro's fifth move waits for
    // its answer; the boards stay each other's turned by 180 degrees.
    int taroMoves = 0;
    while (t.myTurn + h.myTurn == 1) {
        Host& mover = t.myTurn == 1 ? taro : hanako;
        mover.click(legalCells(mover.program.match, mover.program.match.mySide).at(0));
        if (&mover == &taro && ++taroMoves == 5)
            intrude();
        lan.deliverAll();
        ASSERT_TRUE(turnedBy180(t.board, h.board)) << pictureOf(t.board) << pictureOf(h.board);
    }
    ASSERT_GT(taroMoves, 5);
    EXPECT_EQ(taro.view.status, resultText(resultOf(t.blackCount, t.whiteCount)));
    intrude();
    EXPECT_EQ(hanako.view.status, taro.view.status);
}

} // namespace
} // namespace kestrel::testing
