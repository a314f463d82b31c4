#include <gtest/gtest.h>

#include "engine/turn_flow.h"
#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::boardFromPicture;
using testing::matchOn;
using testing::startingBoard;
using testing::Table;
using testing::ViewCall;

struct Call {
    std::string op;
    int a = 0;
    int b = 0;
    int at = 0;
    std::string text = {};
};

// Compares the recorded calls with the expected ones, op by op.
void expectCalls(const std::vector<ViewCall>& actual, const std::vector<Call>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].op, expected[i].op) << "call " << i;
        EXPECT_EQ(actual[i].a, expected[i].a) << "call " << i << " " << expected[i].op;
        EXPECT_EQ(actual[i].b, expected[i].b) << "call " << i << " " << expected[i].op;
        EXPECT_EQ(actual[i].at, expected[i].at) << "call " << i << " " << expected[i].op;
        EXPECT_EQ(actual[i].text, expected[i].text) << "call " << i << " " << expected[i].op;
    }
}

std::vector<std::string> noticesOf(const Table& t)
{
    std::vector<std::string> out;
    for (const ViewCall& c : t.view.callsOf("showNotice"))
        out.push_back(c.text);
    return out;
}

TEST(BoardClick, IgnoredClicksChangeAndShowNothing)
{
    for (int vsComputer : {0, 1}) {
        Table t;
        t.match.board = startingBoard();
        t.match.mySide = kBlack;
        t.match.vsComputer = vsComputer;
        t.match.blackCount = t.match.whiteCount = 2;

        t.match.myTurn = 0;
        t.click(19); // legal, but not the player's turn

        t.match.myTurn = 1;
        const std::pair<int, int> outside[] = {{0, 0},     {9, 100},   {100, 24},
                                               {282, 100}, {100, 297}, {65535, 65535}};
        for (auto [x, y] : outside)
            onBoardClick(t.game, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
        t.click(27); // occupied
        t.click(0);  // turns nothing
        t.click(20); // legal for white only

        EXPECT_TRUE(t.view.calls.empty()) << "vsComputer " << vsComputer;
        EXPECT_EQ(t.match.board, startingBoard());
        EXPECT_EQ(t.match.myTurn, 1);
        EXPECT_EQ(t.link.sent, 0);
    }
}

// Target 27 closes one white piece upwards and two to the right; 40 is
// another legal cell for black.
constexpr const char* kThreeFlips = "........"
                                    "...x...."
                                    "...o...."
                                    "....oox."
                                    "........"
                                    "........"
                                    ".o......"
                                    "..x.....";

TEST(BoardClick, NetworkMoveIsSentBetweenPlacingAndFirstFlip)
{
    Table t;
    t.match = matchOn(kThreeFlips, kBlack, /*vsComputer=*/0);
    t.match.myTurn = 1;
    t.click(27);
    expectCalls(t.view.calls, {{"showCell", 27, 1, 0},
                               {"sendMove", 27, 0, 200},
                               {"showFlip", 19, 1, 200},
                               {"showFlip", 28, 1, 400},
                               {"showFlip", 29, 1, 600},
                               {"showCounts", 7, 1, 800}});
    // The turn passes only when the opponent answers.
    EXPECT_EQ(t.match.myTurn, 1);
    EXPECT_EQ(t.view.status, "");
}

TEST(BoardClick, NetworkClicksWaitForTheAnswerToTheSentMove)
{
    Table t;
    t.match = matchOn(kThreeFlips, kBlack, 0);
    t.match.myTurn = 1;
    t.click(27);
    const Board afterMove = t.match.board;
    t.view.clear();

    t.click(40); // a second move before MSG_MOVE_ACK would put the boards out of step
    EXPECT_TRUE(t.view.calls.empty());
    EXPECT_EQ(t.match.board, afterMove);

    // The answer arrives (onMoveAck), then the opponent passes (onPass).
    t.match.myTurn = 0;
    t.match.moveAwaitingAck.reset();
    t.match.myTurn = 1;
    t.click(40);
    ASSERT_FALSE(t.view.callsOf("sendMove").empty());
    EXPECT_EQ(t.view.callsOf("sendMove")[0].a, 40);
    EXPECT_EQ(t.match.board[49], kBlack);

    // A wait whose board has changed since (the opponent's move was played)
    // no longer holds clicks back.
    Table u;
    u.match = matchOn(kThreeFlips, kBlack, 0);
    u.match.myTurn = 1;
    u.click(27);
    u.match.board[63] = kWhite; // the opponent's move, as onMove would play it
    u.match.board[62] = kBlack;
    u.view.clear();
    u.click(40);
    EXPECT_EQ(u.view.callsOf("sendMove").size(), 1u);
    EXPECT_FALSE(u.match.moveAwaitingAck == std::nullopt);
}

TEST(BoardClick, NetworkMoveFillingTheBoardLeavesTheEndToTheAnswer)
{
    Table t;
    t.match = matchOn(".oxoxoxo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx",
                      kBlack, 0);
    t.match.myTurn = 1;
    t.click(0);
    EXPECT_EQ(t.match.blackCount + t.match.whiteCount, 64);
    EXPECT_EQ(t.match.myTurn, 1);
    EXPECT_TRUE(t.view.callsOf("playSound").empty());
    EXPECT_EQ(t.link.sent, 1); // the move, no result yet
}

TEST(BoardClick, SixtyFourthPieceEndsTheComputerGameWithoutItsTurn)
{
    Table t;
    t.match = matchOn(".oxoxoxo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx"
                      "oooooooo"
                      "xxxxxxxx",
                      kBlack);
    t.match.myTurn = 1;
    t.click(0);
    expectCalls(t.view.calls, {{"showCell", 0, 1, 0},
                               {"showFlip", 1, 1, 200},
                               {"showCounts", 37, 27, 400},
                               {"playSound", static_cast<int>(Sound::Win), 0, 400},
                               {"setStatus", 0, 0, 400, SJ("黒の勝ちです")}});
    EXPECT_EQ(t.match.myTurn, 0);
    EXPECT_EQ(t.link.sent, 0);
}

TEST(BoardClick, HumanMoveThenComputerReplyInOrder)
{
    Table t;
    t.match.board = startingBoard();
    t.match.mySide = kBlack;
    t.match.vsComputer = 1;
    t.match.myTurn = 1;
    t.click(19);
    const std::string computerTurn = SJ("コンピュータの番です");
    const std::string yourTurn = SJ("自分の番です　コマを置いて下さい");
    expectCalls(t.view.calls, {{"showCell", 19, 1, 0},
                               {"showFlip", 27, 1, 200},
                               {"showCounts", 4, 1, 400},
                               {"setStatus", 0, 0, 400, computerTurn},
                               {"pause", 1000, 0, 400},
                               {"showCounts", 4, 1, 1400},
                               {"setStatus", 0, 0, 1400, computerTurn},
                               {"showCell", 18, 2, 1400},
                               {"showFlip", 27, 2, 1600},
                               {"setStatus", 0, 0, 1800, yourTurn},
                               {"showCounts", 3, 3, 1800},
                               {"setStatus", 0, 0, 1800, yourTurn}});
    EXPECT_EQ(t.match.myTurn, 1);
}

TEST(BoardClick, ComputerPassGivesTheTurnBack)
{
    Table t;
    t.match = matchOn("oooooo.o"
                      "oooxoooo"
                      "ooxoxoxo"
                      "oxoooooo"
                      "oxooooxo"
                      "oooxoxxo"
                      "ooooooxo"
                      "o.xooxxo",
                      kBlack);
    t.match.myTurn = 1;
    int myTurnDuringNotice = -1;
    t.view.onNotice = [&](const std::string&) { myTurnDuringNotice = t.match.myTurn; };
    t.click(57);
    EXPECT_EQ(noticesOf(t), std::vector<std::string>{SJ("コンピュータはパスしました")});
    EXPECT_EQ(myTurnDuringNotice, 0);
    EXPECT_EQ(t.match.myTurn, 1);
    EXPECT_EQ(t.view.status, SJ("自分の番です　コマを置いて下さい"));
    // Only the human's piece and its flips were shown.
    for (const ViewCall& c : t.view.callsOf("showCell"))
        EXPECT_EQ(c.b, kBlack);
}

TEST(BoardClick, PlayerPassRepeatsTheComputerTurn)
{
    Table t;
    t.match = matchOn("o.xxxx.o"
                      "oxxxxxoo"
                      "oxxxoooo"
                      "oxxxoxox"
                      "oxxoooox"
                      "oxooooox"
                      "xoooxoo."
                      "o.oooooo",
                      kBlack);
    t.match.myTurn = 1;
    std::vector<bool> clicksAnswered;
    t.view.onNotice = [&](const std::string&) {
        // During the player's pass notice myTurn is 1, but no cell is legal.
        const Board before = t.match.board;
        for (int k = 0; k < kCellCount; ++k)
            t.click(k);
        clicksAnswered.push_back(t.match.board != before);
    };
    t.click(57);

    const std::string pass = SJ("コマが置けないのでパスします");
    EXPECT_EQ(noticesOf(t), (std::vector<std::string>{pass, pass}));
    EXPECT_EQ(clicksAnswered, (std::vector<bool>{false, false}));
    // Three computer turns: each begins with the 1000 ms pause and places a piece.
    EXPECT_EQ(t.view.callsOf("pause").size(), 3u);
    int computerPieces = 0;
    for (const ViewCall& c : t.view.callsOf("showCell"))
        computerPieces += c.b == kWhite;
    EXPECT_EQ(computerPieces, 3);
    std::vector<int> computerCells;
    for (const ViewCall& c : t.view.callsOf("showCell"))
        if (c.b == kWhite)
            computerCells.push_back(c.a);
    EXPECT_EQ(computerCells, (std::vector<int>{55, 1, 6}));
    // Each pass notice comes after a computer move and before the next pause.
    std::vector<std::string> order;
    for (const ViewCall& c : t.view.calls)
        if (c.op == "pause" || c.op == "showNotice")
            order.push_back(c.op);
    EXPECT_EQ(order, (std::vector<std::string>{"pause", "showNotice", "pause", "showNotice", "pause"}));
    // The computer's third move fills the board: nobody can move, white has won.
    EXPECT_EQ(countCells(t.match.board, kEmpty), 0);
    EXPECT_EQ(t.match.blackCount, 19);
    EXPECT_EQ(t.match.whiteCount, 45);
    EXPECT_EQ(t.view.shownBlack, 19);
    EXPECT_EQ(t.view.shownWhite, 45);
    EXPECT_EQ(t.match.myTurn, 0);
    EXPECT_EQ(t.view.status, SJ("白の勝ちです"));
    const std::vector<ViewCall> sounds = t.view.callsOf("playSound");
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].a, static_cast<int>(Sound::Lose));
    // The result is the last thing shown, after the last count.
    ASSERT_GE(t.view.calls.size(), 3u);
    EXPECT_EQ(t.view.calls[t.view.calls.size() - 3].op, "showCounts");
    EXPECT_EQ(t.view.calls[t.view.calls.size() - 2].op, "playSound");
    EXPECT_EQ(t.view.calls.back().op, "setStatus");
}

TEST(BoardClick, WipingOutTheComputerEndsTheGameOnce)
{
    Table t;
    t.match = matchOn("xo......"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........",
                      kBlack);
    t.match.myTurn = 1;
    t.click(2);
    const std::string computerTurn = SJ("コンピュータの番です");
    expectCalls(t.view.calls, {{"showCell", 2, 1, 0},
                               {"showFlip", 1, 1, 200},
                               {"showCounts", 3, 0, 400},
                               {"setStatus", 0, 0, 400, computerTurn},
                               {"pause", 1000, 0, 400},
                               {"showCounts", 3, 0, 1400},
                               {"setStatus", 0, 0, 1400, computerTurn},
                               {"playSound", static_cast<int>(Sound::Win), 0, 1400},
                               {"setStatus", 0, 0, 1400, SJ("黒の勝ちです")}});
    EXPECT_EQ(t.match.myTurn, 0);
    t.view.clear();
    t.click(3); // the game is over
    EXPECT_TRUE(t.view.calls.empty());
}

TEST(FinishGame, ResultTextSoundAndMessageToTheOpponent)
{
    struct Case {
        int black, white;
        Side mySide;
        Sound sound;
        const std::string& text;
    };
    const Case cases[] = {
        {32, 32, kBlack, Sound::Win, SJ("引き分けです")},  {20, 20, kWhite, Sound::Win, SJ("引き分けです")},
        {40, 24, kBlack, Sound::Win, SJ("黒の勝ちです")},  {40, 24, kWhite, Sound::Lose, SJ("黒の勝ちです")},
        {13, 0, kWhite, Sound::Lose, SJ("黒の勝ちです")},  {10, 30, kWhite, Sound::Win, SJ("白の勝ちです")},
        {10, 30, kBlack, Sound::Lose, SJ("白の勝ちです")},
    };
    for (int vsComputer : {0, 1}) {
        for (const Case& c : cases) {
            Table t;
            t.match.blackCount = c.black;
            t.match.whiteCount = c.white;
            t.match.mySide = c.mySide;
            t.match.vsComputer = vsComputer;
            finishGame(t.game);
            std::vector<Call> expected{{"playSound", static_cast<int>(c.sound)},
                                       {"setStatus", 0, 0, 0, c.text}};
            if (!vsComputer)
                expected.push_back({"sendResult", 0, 0, 0, c.text});
            SCOPED_TRACE(std::to_string(c.black) + ":" + std::to_string(c.white) + " side " +
                         std::to_string(c.mySide) + " vsComputer " + std::to_string(vsComputer));
            expectCalls(t.view.calls, expected);
        }
    }
}

TEST(Reentrancy, EventsUnderAFailedSendsBoxNeitherMoveTwiceNorSpoilTheRuns)
{
    Table t;
    t.match = matchOn(kThreeFlips, kBlack, 0);
    t.match.myTurn = 1;
    t.link.whileSending = [&] {
        t.link.whileSending = nullptr;
        t.click(40);                   // refused: the first move is not finished
        hasLegalMove(t.match, kWhite); // counting other cells overwrites flipRuns
    };
    t.click(27);
    EXPECT_EQ(t.view.callsOf("sendMove").size(), 1u);
    EXPECT_EQ(t.view.callsOf("showFlip").size(), 3u);
    for (int k : {19, 27, 28, 29})
        EXPECT_EQ(t.match.board[k], kBlack) << k;
    EXPECT_EQ(t.match.board[49], kWhite);

    // The connection ends while the box is open: the board was emptied, and
    // the move's pieces must not be turned on it.
    Table u;
    u.match = matchOn(kThreeFlips, kBlack, 0);
    u.match.myTurn = 1;
    u.link.whileSending = [&] {
        for (int k = 0; k < kCellCount; ++k)
            setCell(u.game, k / 8, k % 8, kEmpty);
        u.match.myTurn = 0;
    };
    u.click(27);
    EXPECT_EQ(u.match.board, Board{});
    EXPECT_TRUE(u.view.callsOf("showFlip").empty());
}

// While a pass notice is open the player ends the game against the computer
// and starts a new one as white: the old reply loop must not go on with it.
TEST(Reentrancy, NewGameUnderAPassNoticeIsLeftAlone)
{
    const char* computerPasses = "oooooo.o"
                                 "oooxoooo"
                                 "ooxoxoxo"
                                 "oxoooooo"
                                 "oxooooxo"
                                 "oooxoxxo"
                                 "ooooooxo"
                                 "o.xooxxo";
    const char* playerPasses = "o.xxxx.o"
                               "oxxxxxoo"
                               "oxxxoooo"
                               "oxxxoxox"
                               "oxxoooox"
                               "oxooooox"
                               "xoooxoo."
                               "o.oooooo";
    for (const char* picture : {computerPasses, playerPasses}) {
        Table t;
        t.match = matchOn(picture, kBlack);
        t.match.myTurn = 1;
        Board newGame{};
        t.view.onNotice = [&](const std::string&) {
            t.view.onNotice = nullptr;
            t.startComputerGame(kWhite); // the computer opens the new game at once
            newGame = t.match.board;
        };
        t.click(57);
        EXPECT_EQ(t.match.board, newGame);
        EXPECT_EQ(countCells(t.match.board, kBlack) + countCells(t.match.board, kWhite), 5);
        EXPECT_EQ(t.match.myTurn, 1);
        EXPECT_EQ(t.view.status, SJ("自分の番です　コマを置いて下さい"));
        EXPECT_TRUE(t.view.callsOf("playSound").empty());
    }
}

} // namespace
} // namespace kestrel
