// The bot on the in-memory LAN: against a player record driven by clicks,
// against another bot, and its command-line options.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/net/lan_match.h"
#include "text/cp932.h"
#include "tools/peer/bot_options.h"

namespace kestrel::testing {
namespace {

struct BotPlayer {
    Host& host;
    std::vector<std::string> log;
    Bot bot;

    BotPlayer(Host& host, BotOptions options)
        : host(host),
          bot(host.program, std::move(options), [this](const std::string& line) { log.push_back(line); })
    {
        host.dialog.answerQuestion = [this](const std::string& q) { return bot.answer(q); };
    }
    std::vector<std::string> linesStartingWith(const std::string& head) const
    {
        std::vector<std::string> out;
        for (const std::string& line : log)
            if (line.rfind(head, 0) == 0)
                out.push_back(line);
        return out;
    }
};

// Delivers one datagram at a time, letting every bot act after each, as the
// headless peer does. Once all is delivered, connected boards must agree.
void pump(MatchLan& net, std::initializer_list<BotPlayer*> bots, Host& a, Host& b)
{
    for (int step = 0; step < 200000; ++step) {
        for (BotPlayer* p : bots)
            p->bot.act();
        if (net.lan.queued() == 0) {
            if (a.program.match.connected == 1 && b.program.match.connected == 1) {
                ASSERT_TRUE(turnedBy180(a.program.match.board, b.program.match.board));
            }
            return;
        }
        net.lan.deliverAll(1);
    }
    FAIL() << "no end";
}

// "RESULT <text> <black> <white>": the pieces on the board at the end.
int piecesOf(const std::string& result)
{
    const std::size_t white = result.rfind(' ');
    const std::size_t black = result.rfind(' ', white - 1);
    return std::stoi(result.substr(black + 1)) + std::stoi(result.substr(white + 1));
}

TEST(Bot, PlaysAPlayerRecordToTheEndOfEveryGameAndLeaves)
{
    MatchLan net;
    BotOptions options;
    options.games = 2;
    options.restart = true;
    options.chatReply = SJ("re: %s");
    BotPlayer hanako(net.hanako, options);
    Host& taro = net.taro;

    MatchLan::request(taro, net.hanako);
    taro.dialog.texts[ids::kChatInput] = SJ("よろしく");
    sendCommand(taro.program);
    int clicks = 0;
    for (int round = 0; round < 1000 && !hanako.bot.finished(); ++round) {
        pump(net, {&hanako}, taro, net.hanako);
        MatchState& t = taro.program.match;
        if (t.myTurn == 1 && !t.moveAwaitingAck) {
            MatchLan::click(taro, legalCells(t, t.mySide).front());
            ++clicks;
        }
    }
    ASSERT_TRUE(hanako.bot.finished());
    EXPECT_EQ(hanako.linesStartingWith("BOT SIDE"), std::vector<std::string>(2, "BOT SIDE black"));
    const std::vector<std::string> results = hanako.linesStartingWith("RESULT ");
    ASSERT_EQ(results.size(), 2u);
    // Every move of both games was played, and taro saw the same result.
    EXPECT_EQ(static_cast<int>(hanako.linesStartingWith("BOT MOVE").size()) + clicks,
              piecesOf(results[0]) + piecesOf(results[1]) - 8);
    const std::vector<std::string> statuses = textsOf(taro.view, "setStatus");
    for (const std::string& result : results)
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), result.substr(7, result.find(' ', 7) - 7)),
                  statuses.end());
    EXPECT_EQ(net.sentOfType(MSG_CHAT).back().bytes.substr(net.sentOfType(MSG_CHAT).back().bytes.find("|9|")),
              "|9|" + SJ("re: よろしく"));
    EXPECT_EQ(taro.dialog.boxes.back().text, SJ("相手が接続を終了しました"));
    EXPECT_EQ(taro.program.match.connected, 0);
}

TEST(Bot, TwoBotsAskPlayAndEndGamesEarly)
{
    MatchLan net;
    BotOptions refuser;
    refuser.acceptRequests = false;
    BotPlayer jiro(net.jiro, refuser);
    BotOptions asker;
    asker.request = "10.0.0.3";
    BotPlayer taro(net.taro, asker);
    pump(net, {&jiro, &taro}, net.taro, net.jiro);
    EXPECT_TRUE(taro.bot.finished());
    EXPECT_EQ(net.taro.dialog.boxes.back().text, SJ("相手の都合によりゲームはできません"));

    // Hanako waits for the order, ends each game after her fifth move and
    // leaves after three; taro asks for black.
    BotOptions waiter;
    waiter.order = BotOptions::Order::Wait;
    waiter.endAfterMoves = 5;
    waiter.games = 3;
    BotPlayer hanako(net.hanako, waiter);
    asker.request = "10.0.0.2";
    BotPlayer taro2(net.taro, asker);
    pump(net, {&hanako, &taro2}, net.taro, net.hanako);
    EXPECT_TRUE(hanako.bot.finished() && taro2.bot.finished());
    EXPECT_EQ(hanako.linesStartingWith("BOT ENDED 5").size(), 3u);
    EXPECT_EQ(hanako.linesStartingWith("BOT SIDE white").size(), 3u);
    EXPECT_EQ(taro2.linesStartingWith("BOT MOVE").size(),
              3u * 6u); // black's sixth move is answered by the end
    EXPECT_EQ(taro2.log.back(), "BOT DONE");
}

// Asking with --retry: refused, the bot asks again at the next nudge, and
// once a game has been played a disconnect ends it as usual.
TEST(Bot, AsksAgainAfterARefusalUntilAGameIsPlayed)
{
    MatchLan net;
    BotOptions options;
    options.request = "10.0.0.2";
    options.retry = true;
    BotPlayer taro(net.taro, options);
    Host& hanako = net.hanako;
    hanako.dialog.answers = {false, true};
    pump(net, {&taro}, net.taro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.size(), 1u);
    EXPECT_FALSE(taro.bot.finished());
    EXPECT_EQ(net.taro.program.match.connected, 0);
    pump(net, {&taro}, net.taro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.size(), 1u) << "no second request before the nudge";
    taro.bot.nudge();
    pump(net, {&taro}, net.taro, hanako);
    ASSERT_EQ(hanako.dialog.boxes.size(), 2u);
    EXPECT_EQ(taro.linesStartingWith("BOT CONNECTED").size(), 1u);
    // Hanako takes white; the bot opens, she plays on until the game is over.
    MatchLan::decide(hanako, kWhite);
    for (int round = 0; round < 200 && taro.linesStartingWith("RESULT").empty(); ++round) {
        pump(net, {&taro}, net.taro, hanako);
        MatchState& h = hanako.program.match;
        if (h.myTurn == 1 && !h.moveAwaitingAck)
            MatchLan::click(hanako, legalCells(h, kWhite).front());
    }
    ASSERT_EQ(taro.linesStartingWith("RESULT").size(), 1u);
    disconnectCommand(hanako.program);
    pump(net, {&taro}, net.taro, hanako);
    EXPECT_TRUE(taro.bot.finished());
}

TEST(Bot, Options)
{
    std::vector<std::string> args = {
        "kestrel-peer", "--name", "x",       "--bot",      "--request=10.0.0.2", "--order",  "wait",
        "--games",      "3",      "--then",  "disconnect", "--restart",          "--refuse", "--no-resend",
        "--end-after",  "7",      "--nudge", "1500",       "--chat-reply",       "はい",     "--retry",
        "--log"};
    BotSetup setup;
    std::string error;
    ASSERT_TRUE(takeBotOptions(args, setup, error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"kestrel-peer", "--name", "x", "--log"}));
    const BotOptions& o = setup.options;
    EXPECT_TRUE(setup.enabled && o.restart && !o.acceptRequests && !o.resend && o.retry);
    EXPECT_EQ(o.request, "10.0.0.2");
    EXPECT_EQ(o.order, BotOptions::Order::Wait);
    EXPECT_EQ(o.then, BotOptions::Then::Disconnect);
    EXPECT_EQ(o.games * 100 + o.endAfterMoves, 307);
    EXPECT_EQ(setup.nudgeMs, 1500);
    EXPECT_EQ(o.chatReply, SJ("はい"));

    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{{"p", "--request", "host"},
                                                                              {"p", "--order", "red"},
                                                                              {"p", "--games", "-1"},
                                                                              {"p", "--games", "2x"},
                                                                              {"p", "--then", "stay"},
                                                                              {"p", "--nudge"}}) {
        BotSetup s;
        EXPECT_FALSE(takeBotOptions(bad, s, error)) << bad[1];
    }
    std::vector<std::string> none = {"p", "--name", "x"};
    BotSetup off;
    ASSERT_TRUE(takeBotOptions(none, off, error));
    EXPECT_FALSE(off.enabled);
}

} // namespace
} // namespace kestrel::testing
