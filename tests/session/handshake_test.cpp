// Requests, answers and disconnections between program records on the
// in-memory LAN, including answers that come late or twice and requests that
// arrive while a question is open.
#include <gtest/gtest.h>

#include "session/receive.h"
#include "session/send.h"
#include "tests/support/lan_match.h"
#include "text/cp932.h"

namespace kestrel::testing {
namespace {
using Handshake = MatchLan;

const std::string kRefused = SJ("相手の都合によりゲームはできません");
const std::string kGone = SJ("相手が接続を終了しました");

bool connectedTo(const Host& host, const Host& other)
{
    return host.program.match.connected == 1 &&
           host.program.match.peerAddress == addressText(other.address) &&
           host.program.match.connectRequestSeq == 0;
}

// The Connect command with the dialog cancelled: any waiting request is given up.
void cancelConnectDialog(Host& host)
{
    FakeSecondaryDialogs dialogs;
    connectCommand(host.program, dialogs);
}

TEST_F(Handshake, OneOpponentAtATimeWhateverIsAnsweredWhen)
{
    // Jiro asks taro while taro waits for hanako: refused without a question.
    hanako.dialog.answers = {true};
    request(taro, hanako, false);
    request(jiro, taro);
    EXPECT_TRUE(taro.dialog.boxes.empty());
    EXPECT_TRUE(connectedTo(taro, hanako) && connectedTo(hanako, taro));
    EXPECT_EQ(jiro.dialog.boxes.back().text, kRefused);
    EXPECT_EQ(jiro.program.match.connected, 0);

    // Hanako asks taro again, as after a lost acceptance. Her asking shows
    // that she holds no connection to him any more: his side ends too,
    // without a notice, and he is asked as by anybody. His Yes connects
    // them afresh; asked once more, his No reaches her as a refusal.
    const std::string fromHanako = SJ("（hanako）からの申し込みがきています。\r\n申し込みを受けますか");
    taro.dialog.answers = {true, false};
    hanako.dialog.boxes.clear();
    request(hanako, taro);
    ASSERT_EQ(taro.dialog.boxes.size(), 1u);
    EXPECT_EQ(taro.dialog.boxes.back().text, fromHanako);
    EXPECT_TRUE(connectedTo(taro, hanako) && connectedTo(hanako, taro));
    EXPECT_EQ(taro.view.status, SJ("先攻・後攻を決定して下さい"));
    EXPECT_TRUE(hanako.dialog.boxes.empty());
    request(hanako, taro);
    ASSERT_EQ(taro.dialog.boxes.size(), 2u);
    EXPECT_EQ(taro.dialog.boxes.back().text, fromHanako);
    EXPECT_EQ(hanako.dialog.boxes.back().text, kRefused);
    EXPECT_EQ(taro.program.match.connected + hanako.program.match.connected, 0);
    taro.dialog.boxes.clear();
    hanako.dialog.boxes.clear();

    // Taro and jiro both ask hanako; the second question opens on top of the
    // first and she says Yes to both. Jiro, answered first, is her opponent;
    // taro is refused and is not left believing he is connected.
    hanako.dialog.answers = {true, true};
    hanako.dialog.whileOpen = [&](const FakeDialog::Box& box) {
        if (box.kind == "question")
            lan.deliverAll();
    };
    request(taro, hanako, false);
    request(jiro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.end()[-2].text,
              SJ("（taro）からの申し込みがきています。\r\n申し込みを受けますか"));
    EXPECT_EQ(hanako.dialog.boxes.end()[-1].text,
              SJ("（jiro）からの申し込みがきています。\r\n申し込みを受けますか"));
    EXPECT_TRUE(connectedTo(hanako, jiro) && connectedTo(jiro, hanako));
    EXPECT_EQ(taro.dialog.boxes.back().text, kRefused);
    EXPECT_EQ(taro.program.match.connected, 0);

    const std::size_t acks = sentOfType(MSG_DISCONNECT_ACK).size();
    // Jiro leaves; under hanako's notice she asks taro at once. The reset
    // for jiro's leaving must not undo that request.
    hanako.dialog.whileOpen = [&](const FakeDialog::Box& box) {
        if (box.text == kGone)
            request(hanako, taro, false);
    };
    taro.dialog.answers = {true};
    command(jiro, disconnectCommand);
    EXPECT_EQ(sentOfType(MSG_DISCONNECT_ACK).size(), acks + 1);
    EXPECT_TRUE(connectedTo(hanako, taro) && connectedTo(taro, hanako));
    EXPECT_EQ(hanako.view.status, SJ("先攻・後攻を決定して下さい"));

    // A disconnect from a third address ends the connection all the same.
    hanako.dialog.whileOpen = nullptr;
    sendDatagram(jiro.program, addressText(hanako.address), MSG_DISCONNECT, "jiro");
    lan.deliverAll();
    EXPECT_EQ(hanako.dialog.boxes.back().text, kGone);
    EXPECT_EQ(hanako.program.match.connected, 0);
    EXPECT_EQ(sentOfType(MSG_DISCONNECT_ACK).size(), acks + 2);
}

TEST_F(Handshake, AnswersToRequestsGivenUp)
{
    // Taro asks again while hanako's first question is open. Arriving at
    // once, the second request opens no second question: her Yes answers
    // his latest request. Arriving after the first, she says No to the first
    // and Yes to the second; the refusal of the request taro gave up ends nothing.
    for (bool atOnce : {true, false}) {
        int questions = 0;
        hanako.dialog.answers = {atOnce, true};
        hanako.dialog.whileOpen = [&](const FakeDialog::Box&) {
            if (++questions == 1)
                request(taro, hanako, false);
            if (questions == 1 && atOnce)
                lan.deliverAll();
        };
        request(taro, hanako);
        EXPECT_EQ(questions, atOnce ? 1 : 2);
        EXPECT_TRUE(connectedTo(taro, hanako) && connectedTo(hanako, taro)) << atOnce;
        EXPECT_TRUE(taro.dialog.boxes.empty());
        command(taro, disconnectCommand);
        hanako.dialog.boxes.clear();
    }
    EXPECT_EQ(sentOfType(MSG_CONNECT_REFUSE).size(), 1u);

    // Taro gives up while hanako's question is open; her late Yes is told
    // that there is no connection, so she does not wait for a game.
    hanako.dialog.answers = {true};
    hanako.dialog.whileOpen = [&](const FakeDialog::Box& box) {
        if (box.kind == "question")
            cancelConnectDialog(taro);
    };
    request(taro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.back().text, kGone);
    EXPECT_EQ(taro.program.match.connected + hanako.program.match.connected, 0);
}

TEST_F(Handshake, AnUnlistedRequesterIsAskedAboutByTheNameItSends)
{
    Host& saburo = lan.add(4, "saburo"); // joined after the announcements
    applyInitialControlStates(saburo.program);
    hanako.dialog.answers = {true};
    request(saburo, hanako);
    EXPECT_EQ(hanako.dialog.boxes.back().text,
              SJ("（saburo）からの申し込みがきています。\r\n申し込みを受けますか"));
    EXPECT_TRUE(connectedTo(hanako, saburo) && connectedTo(saburo, hanako));
    EXPECT_EQ(hanako.dialog.text(ids::kOpponentLine), "saburo");

    // Chat name lines: listed name, the opponent's name, else the address.
    receiveDatagram(hanako.program, "60|9|hi", saburo.address);
    receiveDatagram(hanako.program, "61|9|yo", jiro.address);
    receiveDatagram(hanako.program, "62|9|?", ip(10, 0, 0, 9));
    EXPECT_EQ(hanako.dialog.text(ids::kChatLog),
              SJ("【saburo】\r\nhi\r\n【jiro】\r\nyo\r\n【10.0.0.9】\r\n?\r\n"));
    // Not connected: answered, not shown.
    receiveDatagram(taro.program, "63|9|hi", saburo.address);
    EXPECT_EQ(taro.dialog.text(ids::kChatLog), "");
    EXPECT_EQ(taro.transport.sent.back().bytes, std::to_string(taro.program.match.nextSeq) + "|10|63");
}

} // namespace
} // namespace kestrel::testing
