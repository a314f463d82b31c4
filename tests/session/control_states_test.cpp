// The phases the main window is put into: the control table of each phase,
// the flags, and what the board view is told, in order.
#include <gtest/gtest.h>

#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/program.h"
#include "tests/support/fake_machine.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::FakeDialog;
using testing::FakeTimers;
using testing::FakeTransport;
using testing::FakeView;

using Fixture = testing::FakeMachine;

// Expected enabled state per id; every id listed must be set that way.
void expectEnabled(const FakeDialog& dialog, std::initializer_list<std::pair<int, bool>> states)
{
    for (auto [id, on] : states) {
        ASSERT_TRUE(dialog.enabled.count(id)) << "id " << id << " was never set";
        EXPECT_EQ(dialog.isEnabled(id), on) << "id " << id;
    }
}

void expectUnconnectedControls(const FakeDialog& dialog)
{
    expectEnabled(dialog, {{ids::kMenuExit, true},
                           {ids::kMenuConnect, true},
                           {ids::kMenuDisconnect, false},
                           {ids::kMenuSettings, true},
                           {ids::kMenuHelp, true},
                           {ids::kMenuAbout, true},
                           {ids::kSend, false},
                           {ids::kFirstBlack, false},
                           {ids::kSecondWhite, false},
                           {ids::kDecide, false},
                           {ids::kGameStart, false},
                           {ids::kGameEnd, false}});
    EXPECT_TRUE(dialog.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(dialog.isChecked(ids::kSecondWhite));
}

// A game in progress against a network opponent, with white taken and a chat going on.
void putIntoPlayingPhase(Fixture& f)
{
    MatchState& m = f.program.match;
    m.connected = 1;
    m.vsComputer = 0;
    m.orderDecided = 1;
    m.myTurn = 1;
    m.mySide = 2;
    m.opponentName = SJ("はなこ");
    m.peerAddress = "10.0.0.2";
    m.board.fill(kEmpty);
    m.board[0] = kBlack;
    m.board[9] = kWhite;
    m.board[27] = kBlack;
    m.blackCount = 2;
    m.whiteCount = 1;
    f.dialog.enabled = {
        {ids::kMenuConnect, false}, {ids::kMenuDisconnect, true}, {ids::kSend, true}, {ids::kGameEnd, true}};
    f.dialog.checked = {{ids::kFirstBlack, false}, {ids::kSecondWhite, true}};
    f.dialog.texts = {{ids::kChatLog, SJ("【はなこ】\r\nよろしく\r\n")},
                      {ids::kChatInput, SJ("書きかけ")},
                      {ids::kOpponentLine, SJ("はなこ")},
                      {ids::kBlackName, SJ("はなこ")},
                      {ids::kWhiteName, "taro"}};
    f.view.setStatus(SJ("コマを置いて下さい"));
    f.view.clear();
}

TEST(ControlStates, InitialStatesAreThoseWithoutOpponent)
{
    Fixture f;
    f.dialog.checked[ids::kSecondWhite] = true;
    applyInitialControlStates(f.program);
    expectUnconnectedControls(f.dialog);
    EXPECT_TRUE(f.view.calls.empty()) << "the board is laid out by the initialisation itself";
}

TEST(ControlStates, NewGameWithNetworkOpponentOpensTheOrderDecision)
{
    Fixture f;
    putIntoPlayingPhase(f);
    resetForNewGame(f.program);

    const MatchState& m = f.program.match;
    EXPECT_EQ(m.orderDecided, 0);
    EXPECT_EQ(m.myTurn, 0);
    // The connection and the last side stay as they were.
    EXPECT_EQ(m.connected, 1);
    EXPECT_EQ(m.vsComputer, 0);
    EXPECT_EQ(m.mySide, 2);
    EXPECT_EQ(m.opponentName, SJ("はなこ"));
    EXPECT_EQ(m.peerAddress, "10.0.0.2");

    expectEnabled(f.dialog, {{ids::kMenuExit, true},
                             {ids::kMenuConnect, false},
                             {ids::kMenuDisconnect, true},
                             {ids::kMenuSettings, false},
                             {ids::kMenuHelp, true},
                             {ids::kMenuAbout, true},
                             {ids::kSend, true},
                             {ids::kFirstBlack, true},
                             {ids::kSecondWhite, true},
                             {ids::kDecide, true},
                             {ids::kGameStart, false},
                             {ids::kGameEnd, false}});
    EXPECT_TRUE(f.dialog.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(f.dialog.isChecked(ids::kSecondWhite));

    EXPECT_EQ(f.dialog.text(ids::kOpponentLine), SJ("はなこ"));
    EXPECT_EQ(f.view.status, SJ("先攻・後攻を決定して下さい"));
    for (int id : {ids::kChatLog, ids::kChatInput, ids::kBlackName, ids::kWhiteName}) {
        ASSERT_TRUE(f.dialog.texts.count(id)) << "id " << id << " was not emptied";
        EXPECT_EQ(f.dialog.text(id), "") << "id " << id;
    }

    Board start{};
    start[27] = kWhite;
    start[28] = kBlack;
    start[35] = kBlack;
    start[36] = kWhite;
    EXPECT_EQ(m.board, start);
    EXPECT_EQ(m.blackCount, 2);
    EXPECT_EQ(m.whiteCount, 2);
}

TEST(ControlStates, NewGameShowsTheStartingPositionInOrderAndTime)
{
    Fixture f;
    putIntoPlayingPhase(f);
    resetForNewGame(f.program);

    // The status comes first; then every cell emptied row by row, without pauses.
    const auto& calls = f.view.calls;
    ASSERT_EQ(calls.size(), 1u + 64u + 7u + 1u);
    EXPECT_EQ(calls[0].op, "setStatus");
    for (int k = 0; k < 64; ++k) {
        const auto& c = calls[1 + k];
        EXPECT_EQ(c.op, "showCell");
        EXPECT_EQ(c.a, k);
        EXPECT_EQ(c.b, 0);
        EXPECT_EQ(c.at, 0);
    }
    // The four starting pieces, each animated, with 100 ms between them.
    struct Step {
        const char* op;
        int a, b, at;
    };
    const Step expected[] = {{"showCell", 27, 2, 0},   {"pause", 100, 0, 200},    {"showCell", 28, 1, 300},
                             {"pause", 100, 0, 500},   {"showCell", 35, 1, 600},  {"pause", 100, 0, 800},
                             {"showCell", 36, 2, 900}, {"showCounts", 2, 2, 1100}};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& c = calls[65 + i];
        EXPECT_EQ(c.op, expected[i].op) << i;
        EXPECT_EQ(c.a, expected[i].a) << i;
        EXPECT_EQ(c.b, expected[i].b) << i;
        EXPECT_EQ(c.at, expected[i].at) << i;
    }
}

TEST(ControlStates, AgainstTheComputerTheSendButtonIsNeverTouched)
{
    Fixture f;
    putIntoPlayingPhase(f);
    f.program.match.vsComputer = 1;
    f.program.match.opponentName = SJ("コンピュータ");
    f.dialog.enabled.erase(ids::kSend);

    resetForNewGame(f.program);
    EXPECT_EQ(f.dialog.enabled.count(ids::kSend), 0u);
    EXPECT_EQ(f.program.match.vsComputer, 1);
    EXPECT_EQ(f.dialog.text(ids::kOpponentLine), SJ("コンピュータ"));
    EXPECT_TRUE(f.dialog.isEnabled(ids::kDecide));
    EXPECT_TRUE(f.dialog.isEnabled(ids::kMenuDisconnect));

    // Against the computer the way back is the same as against a person.
    resetToUnconnected(f.program);
    EXPECT_EQ(f.program.match.vsComputer, 0);
    expectUnconnectedControls(f.dialog);
}

TEST(ControlStates, UnconnectedEmptiesTheBoardAndKeepsTheChat)
{
    Fixture f;
    putIntoPlayingPhase(f);
    resetToUnconnected(f.program);

    const MatchState& m = f.program.match;
    EXPECT_EQ(m.connected, 0);
    EXPECT_EQ(m.vsComputer, 0);
    EXPECT_EQ(m.orderDecided, 0);
    EXPECT_EQ(m.myTurn, 0);
    EXPECT_EQ(m.opponentName, "");
    EXPECT_EQ(m.peerAddress, "");

    expectUnconnectedControls(f.dialog);
    for (int id : {ids::kOpponentLine, ids::kBlackName, ids::kWhiteName})
        EXPECT_EQ(f.dialog.text(id), "") << "id " << id;
    EXPECT_EQ(f.view.status, "");
    // The conversation stays readable after the opponent has gone.
    EXPECT_EQ(f.dialog.text(ids::kChatLog), SJ("【はなこ】\r\nよろしく\r\n"));
    EXPECT_EQ(f.dialog.text(ids::kChatInput), SJ("書きかけ"));

    EXPECT_EQ(m.board, Board{});
    EXPECT_EQ(m.blackCount, 0);
    EXPECT_EQ(m.whiteCount, 0);

    // Every cell emptied in row-major order at once, then the counts: no animation, no sound.
    auto cells = f.view.callsOf("showCell");
    ASSERT_EQ(cells.size(), 64u);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(cells[k].a, k);
        EXPECT_EQ(cells[k].b, 0);
    }
    EXPECT_TRUE(f.view.callsOf("pause").empty());
    EXPECT_TRUE(f.view.callsOf("playSound").empty());
    EXPECT_EQ(f.view.now, 0);
    ASSERT_FALSE(f.view.calls.empty());
    EXPECT_EQ(f.view.calls.back().op, "showCounts");
    EXPECT_EQ(f.view.shownBlack, 0);
    EXPECT_EQ(f.view.shownWhite, 0);
}

} // namespace
} // namespace kestrel
