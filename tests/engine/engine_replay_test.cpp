// kestrel-engine --replay: a game's positions, and their exact values.

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/transcript_cases.h"
#include "tools/engine/engine_replay.h"

namespace kestrel {
namespace {

// The lines printed; the exit status and standard error in `result`.
std::vector<std::string> replayed(const std::string& input, bool solve, std::string& result)
{
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = replayGame(in, out, err, {EngineOptions::Mode::Replay, 0, solve, {}});
    result = std::to_string(status) + " " + err.str();
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

// With --solve: a record file, a game with passes (white moves twice after
// 56, black after 58) that ends 35 to 28 with one empty cell (-8 for white),
// a move on an occupied cell, no transcript. Then, in the pass game from 20
// empty cells (line 40) on, no move gains on the exact value before it and a
// loss names another move as the best.
TEST(EngineToolReplay, TableOfInputsWithExactValues)
{
    const std::tuple<std::string, std::size_t, std::string, std::string> cases[] = {
        {"kestrelbay 棋譜\n黒: a1b2\n棋譜: f5d6\n  c3\n", 4,
         "3 c3 ------------------X--------XX------OXX-----O-------------------- O", "0 "},
        {testing::kPassGame, 60,
         "59 a8 XXXXXXX-XXXXXXXOXXOXXXOOXOXXXOXOXXOXOXOOXXXOOOXOXXOOOOOOXOOOOOOO O -8 over", "0 "},
        {"1. F5 D6 2. f5", 3, "2 d6 ---------------------------OX------OXX-----O-------------------- X",
         "1 kestrel-engine: move 3 \"f5\" cannot be played\n"},
        {"黒: 太郎\nno moves", 0, "", "1 kestrel-engine: no transcript in the input\n"},
    };
    std::vector<std::string> lines, passGame;
    for (const auto& [input, count, last, result] : cases) {
        std::string got;
        lines = replayed(input, true, got);
        EXPECT_EQ(got, result) << input;
        ASSERT_EQ(lines.size(), count) << input;
        EXPECT_EQ(lines.empty() ? "" : lines.back(), last) << input;
        EXPECT_TRUE(lines.empty() || lines[0] == "0 start " + std::string(27, '-') + "OX------XO" +
                                                     std::string(27, '-') + " X");
        if (input == testing::kPassGame)
            passGame = lines;
    }
    std::string mover = "X", was = "+0";
    int losses = 0;
    for (std::size_t n = 1; n < passGame.size(); ++n) {
        std::string number, move, cells, side, value, best, lost;
        std::istringstream(passGame[n]) >> number >> move >> cells >> side >> value >> best >> lost;
        EXPECT_EQ(side, n == 56 || n == 58 ? mover : mover == "X" ? "O" : "X") << n;
        EXPECT_EQ(value.empty(), n < 40) << n;
        const int got = n > 40 ? (side == mover ? 1 : -1) * std::stoi(value) : 0, loss = std::stoi(was) - got;
        EXPECT_GE(loss, 0) << n;
        EXPECT_EQ(best.starts_with("best=") && best != "best=" + move, loss > 0) << n;
        EXPECT_EQ(lost, loss > 0 ? "lost=" + std::to_string(loss) : "") << n;
        losses += loss > 0;
        mover = side;
        was = value.empty() ? "+0" : value;
    }
    EXPECT_GT(losses, 0);
}

} // namespace
} // namespace kestrel
