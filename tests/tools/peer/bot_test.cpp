// The bot on the in-memory LAN: against a player record driven by clicks,
// against another bot, and its command-line options.
#include <algorithm>

#include "tests/support/lan_match.h"
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
    std::vector<std::string> lines(const std::string& head) const
    {
        std::vector<std::string> out;
        std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                     [&](const std::string& line) { return line.rfind(head, 0) == 0; });
        return out;
    }
};

class BotGame : public MatchLan {
protected:
    // Delivers one datagram at a time, letting every bot act after each, as
    // the headless peer does. Once all is delivered, connected boards must agree.
    void pump(std::initializer_list<BotPlayer*> bots, Host& a, Host& b)
    {
        for (int step = 0; step < 200000; ++step) {
            for (BotPlayer* p : bots)
                p->bot.act();
            if (lan.queued() == 0) {
                if (a.program.match.connected == 1 && b.program.match.connected == 1) {
                    ASSERT_TRUE(turnedBy180(a.program.match.board, b.program.match.board));
                }
                return;
            }
            lan.deliverAll(1);
        }
        FAIL() << "no end";
    }
    // Pumps, and the player on `host` clicks its first legal cell whenever
    // it may, until `done`; returns the clicks.
    template <class Done> int playAgainst(BotPlayer& bot, Host& host, Done done)
    {
        int clicks = 0;
        for (int round = 0; round < 1000 && !done(); ++round) {
            pump({&bot}, host, bot.host);
            MatchState& m = host.program.match;
            if (m.myTurn == 1 && !m.moveAwaitingAck) {
                host.click(legalCells(m, m.mySide).front());
                ++clicks;
            }
        }
        return clicks;
    }
};

// "RESULT <text> <black> <white>": the pieces on the board at the end.
int piecesOf(const std::string& result)
{
    const std::size_t white = result.rfind(' ');
    const std::size_t black = result.rfind(' ', white - 1);
    return std::stoi(result.substr(black + 1)) + std::stoi(result.substr(white + 1));
}

TEST_F(BotGame, PlaysAPlayerRecordToTheEndOfEveryGameAndLeaves)
{
    BotOptions options;
    options.games = 2;
    options.restart = true;
    options.chatReply = SJ("re: %s");
    BotPlayer bot(hanako, options);

    request(taro, hanako, false);
    taro.dialog.texts[ids::kChatInput] = SJ("よろしく");
    sendCommand(taro.program);
    const int clicks = playAgainst(bot, taro, [&] { return bot.bot.finished(); });
    ASSERT_TRUE(bot.bot.finished());
    EXPECT_EQ(bot.lines("BOT SIDE"), std::vector<std::string>(2, "BOT SIDE black"));
    const std::vector<std::string> results = bot.lines("RESULT ");
    ASSERT_EQ(results.size(), 2u);
    // Every move of both games was played, and taro saw the same result.
    EXPECT_EQ(static_cast<int>(bot.lines("BOT MOVE").size()) + clicks,
              piecesOf(results[0]) + piecesOf(results[1]) - 8);
    const std::vector<std::string> statuses = textsOf(taro.view, "setStatus");
    for (const std::string& result : results)
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), result.substr(7, result.find(' ', 7) - 7)),
                  statuses.end());
    const std::string reply = sentOfType(MSG_CHAT).back().bytes;
    EXPECT_EQ(reply.substr(reply.find("|9|")), "|9|" + SJ("re: よろしく"));
    EXPECT_EQ(taro.dialog.boxes.back().text, SJ("相手が接続を終了しました"));
    EXPECT_EQ(t.connected, 0);
}

// At a level of the search the bot plays that level's moves: hanako's bot
// at level 0, the program's own player, wins as white against taro's at
// level 0 and loses against taro's at level 2.
TEST_F(BotGame, PlaysAtTheLevelOfItsOptions)
{
    for (int level : {0, 2}) {
        SCOPED_TRACE(level);
        BotOptions waiter;
        waiter.order = BotOptions::Order::Wait;
        waiter.games = 1;
        BotPlayer hanakoBot(hanako, waiter);
        BotOptions asker;
        asker.request = "10.0.0.2";
        asker.games = 1;
        asker.level = level;
        BotPlayer taroBot(taro, asker);
        pump({&hanakoBot, &taroBot}, taro, hanako);
        ASSERT_TRUE(taroBot.bot.finished());
        const std::vector<std::string> results = taroBot.lines("RESULT ");
        ASSERT_EQ(results.size(), 1u);
        const std::string winner = level == 0 ? SJ("白の勝ちです") : SJ("黒の勝ちです");
        EXPECT_EQ(results[0].substr(0, 7 + winner.size()), "RESULT " + winner);
    }
}

TEST_F(BotGame, TwoBotsAskPlayAndEndGamesEarly)
{
    BotOptions refuser;
    refuser.acceptRequests = false;
    BotPlayer jiroBot(jiro, refuser);
    BotOptions asker;
    asker.request = "10.0.0.3";
    BotPlayer taroBot(taro, asker);
    pump({&jiroBot, &taroBot}, taro, jiro);
    EXPECT_TRUE(taroBot.bot.finished());
    EXPECT_EQ(taro.dialog.boxes.back().text, SJ("相手の都合によりゲームはできません"));

    // Hanako waits for the order, ends each game after her fifth move and
    // leaves after three; taro asks for black.
    BotOptions waiter;
    waiter.order = BotOptions::Order::Wait;
    waiter.endAfterMoves = 5;
    waiter.games = 3;
    BotPlayer hanakoBot(hanako, waiter);
    asker.request = "10.0.0.2";
    BotPlayer taroAgain(taro, asker);
    pump({&hanakoBot, &taroAgain}, taro, hanako);
    EXPECT_TRUE(hanakoBot.bot.finished() && taroAgain.bot.finished());
    EXPECT_EQ(hanakoBot.lines("BOT ENDED 5").size(), 3u);
    EXPECT_EQ(hanakoBot.lines("BOT SIDE white").size(), 3u);
    EXPECT_EQ(taroAgain.lines("BOT MOVE").size(), 3u * 6u); // black's sixth move is answered by the end
    EXPECT_EQ(taroAgain.log.back(), "BOT DONE");
}

// Asking with --retry: refused, the bot asks again at the next nudge, and
// once a game has been played a disconnect ends it as usual.
TEST_F(BotGame, AsksAgainAfterARefusalUntilAGameIsPlayed)
{
    BotOptions options;
    options.request = "10.0.0.2";
    options.retry = true;
    BotPlayer bot(taro, options);
    hanako.dialog.answers = {false, true};
    pump({&bot}, taro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.size(), 1u);
    EXPECT_FALSE(bot.bot.finished());
    EXPECT_EQ(t.connected, 0);
    pump({&bot}, taro, hanako);
    EXPECT_EQ(hanako.dialog.boxes.size(), 1u) << "no second request before the nudge";
    bot.bot.nudge();
    pump({&bot}, taro, hanako);
    ASSERT_EQ(hanako.dialog.boxes.size(), 2u);
    EXPECT_EQ(bot.lines("BOT CONNECTED").size(), 1u);
    // Hanako takes white; the bot opens, she plays on until the game is over.
    decide(hanako, kWhite, false);
    playAgainst(bot, hanako, [&] { return !bot.lines("RESULT").empty(); });
    ASSERT_EQ(bot.lines("RESULT").size(), 1u);
    disconnectCommand(hanako.program);
    pump({&bot}, taro, hanako);
    EXPECT_TRUE(bot.bot.finished());
}

TEST(BotOptions, AreTakenFromTheCommandLine)
{
    std::vector<std::string> args = {
        "kestrel-peer", "--name", "x",       "--bot",      "--request=10.0.0.2", "--order",  "wait",
        "--games",      "3",      "--then",  "disconnect", "--restart",          "--refuse", "--no-resend",
        "--end-after",  "7",      "--nudge", "1500",       "--chat-reply",       "はい",     "--retry",
        "--level",      "3",      "--log"};
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
    EXPECT_EQ(o.level, 3);

    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{{"p", "--request", "host"},
                                                                              {"p", "--order", "red"},
                                                                              {"p", "--games", "-1"},
                                                                              {"p", "--games", "2x"},
                                                                              {"p", "--then", "stay"},
                                                                              {"p", "--nudge"},
                                                                              {"p", "--level", "4"},
                                                                              {"p", "--level", "-1"}}) {
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
