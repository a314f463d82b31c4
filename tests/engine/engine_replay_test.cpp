// kestrel-engine --replay: the positions of a game, and their exact values.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/transcript_cases.h"
#include "tools/engine/engine_replay.h"

namespace kestrel {
namespace {

using testing::kPassGame;
using testing::kWipeOut;

std::vector<std::vector<std::string>> wordsOfLines(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back();
        for (std::string word; words >> word;)
            lines.back().push_back(word);
    }
    return lines;
}

struct Replayed {
    int status;
    std::string err;
    std::vector<std::vector<std::string>> lines;
};

Replayed replayed(const std::string& input, bool solve = false)
{
    EngineOptions options;
    options.mode = EngineOptions::Mode::Replay;
    options.solve = solve;
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = replayGame(in, out, err, options);
    return {status, err.str(), wordsOfLines(out.str())};
}

// Each line: its number, the move as the transcript has it, a board, the
// side to move; the last line's words after the board, and its disc counts.
TEST(EngineToolReplay, TableOfTranscripts)
{
    struct Case {
        const char* name;
        std::string input;
        std::string moves; // the moves printed, in order
        std::string last;  // the words after the last board
        int black, white;  // on the last board
        std::string fault; // on standard error; empty when none
    };
    const std::string start = "---------------------------OX------XO---------------------------";
    const Case cases[] = {
        {"PassGame", kPassGame, kPassGame, "O over", 35, 28, ""},
        {"WipeOut", "1. " + kWipeOut + " 10.", kWipeOut, "O over", 13, 0, ""},
        {"RecordFile", "kestrelbay 棋譜\n黒: a1b2\n棋譜: f5d6\n  c3\n", "f5d6c3", "O", 5, 2, ""},
        {"EmptyRecord", "kestrelbay 棋譜\n棋譜:\n", "", "X", 2, 2, ""},
        {"Occupied", "f5 d6 f5 c3", "f5d6", "X", 3, 3, "move 3 \"f5\" cannot be played"},
        {"NotACell", "F5 D66 c3", "f5", "O", 4, 1, "move 2 \"D66\" names no cell"},
        {"NoTranscript", "黒: 太郎\nno moves here", "", "", 0, 0, "no transcript in the input"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Replayed r = replayed(c.input);
        EXPECT_EQ(r.status, c.fault.empty() ? 0 : 1);
        EXPECT_EQ(r.err, c.fault.empty() ? "" : "kestrel-engine: " + c.fault + "\n");
        if (c.fault == "no transcript in the input") {
            EXPECT_TRUE(r.lines.empty());
            continue;
        }
        ASSERT_EQ(r.lines.size(), c.moves.size() / 2 + 1);
        EXPECT_EQ(r.lines[0], (std::vector<std::string>{"0", "start", start, "X"}));
        for (std::size_t n = 1; n < r.lines.size(); ++n) {
            ASSERT_GE(r.lines[n].size(), 4u) << n;
            EXPECT_EQ(r.lines[n][0], std::to_string(n));
            EXPECT_EQ(r.lines[n][1], c.moves.substr(2 * n - 2, 2));
            EXPECT_EQ(r.lines[n][2].size(), 64u);
        }
        const std::vector<std::string>& last = r.lines.back();
        std::string after;
        for (std::size_t i = 3; i < last.size(); ++i)
            after += (i > 3 ? " " : "") + last[i];
        EXPECT_EQ(after, c.last);
        EXPECT_EQ(std::count(last[2].begin(), last[2].end(), 'X'), c.black);
        EXPECT_EQ(std::count(last[2].begin(), last[2].end(), 'O'), c.white);
    }
    // In the pass game black passes after move 56 and white after 58.
    const Replayed r = replayed(kPassGame);
    char mover = 'X';
    for (std::size_t n = 1; n < 59; ++n) {
        const bool passed = n == 56 || n == 58;
        const char next = passed ? mover : mover == 'X' ? 'O' : 'X';
        EXPECT_EQ(r.lines[n][3], std::string(1, next)) << n;
        mover = next;
    }
}

// From 20 empty cells (move 40) on: the last value is the final disc
// difference, empty cells to the winner, and no move gains on the exact
// value before it; where the mover gets less, the line names another move
// as the best and what was lost.
TEST(EngineToolReplay, SolvesFromTwentyEmptyCells)
{
    const Replayed r = replayed(kPassGame, true);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 60u);
    int losses = 0;
    for (std::size_t n = 1; n < 60; ++n) {
        SCOPED_TRACE(n);
        const std::vector<std::string>& line = r.lines[n];
        const std::size_t words = line.size() - (n == 59 ? 1 : 0); // without "over"
        if (n < 40) {
            EXPECT_EQ(words, 4u);
            continue;
        }
        ASSERT_GE(words, 5u);
        if (n == 40) {
            EXPECT_EQ(words, 5u);
            continue;
        }
        const std::vector<std::string>& before = r.lines[n - 1];
        const int value = std::stoi(line[4]);
        const int moverValue = line[3] == before[3] ? value : -value;
        const int best = std::stoi(before[4]);
        EXPECT_LE(moverValue, best);
        if (moverValue == best) {
            EXPECT_EQ(words, 5u);
            continue;
        }
        ++losses;
        ASSERT_EQ(words, 7u);
        EXPECT_EQ(line[5].substr(0, 5), "best=");
        EXPECT_NE(line[5], "best=" + line[1]);
        EXPECT_EQ(line[6], "lost=" + std::to_string(best - moverValue));
    }
    EXPECT_GT(losses, 0);
    EXPECT_LT(losses, 19);
    const std::vector<std::string>& last = r.lines.back();
    ASSERT_EQ(last.back(), "over");
    ASSERT_EQ(last[3], "O");
    const auto own = std::count(last[2].begin(), last[2].end(), 'O');
    const auto theirs = std::count(last[2].begin(), last[2].end(), 'X');
    const auto winner = (own > theirs) - (own < theirs); // +1, -1 or 0 for a draw
    EXPECT_EQ(std::stoi(last[4]), own - theirs + winner * (64 - own - theirs));
}

} // namespace
} // namespace kestrel
