// kestrel-engine's command line and line protocol.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <streambuf>
#include <vector>

#include "engine/search/position_text.h"
#include "tools/engine/engine_options.h"
#include "tools/engine/engine_session.h"

namespace kestrel {
namespace {

TEST(EngineToolOptions, TableOfCommandLines)
{
    using Mode = EngineOptions::Mode;
    struct Case {
        std::vector<std::string> arguments;
        bool ok;
        Mode mode;
        int level;
        long timeMs; // 0: none
        std::string error;
        bool solve = false;
    };
    const Case cases[] = {
        {{"--level", "2"}, true, Mode::Level, 2, 0, ""},
        {{"--level=3", "--time", "250"}, true, Mode::Level, 3, 250, ""},
        {{"--time=50", "--level", "0"}, true, Mode::Level, 0, 50, ""},
        {{"--solve"}, true, Mode::Solve, 0, 0, ""},
        {{"--list-levels"}, true, Mode::ListLevels, 0, 0, ""},
        {{"--replay", "--solve"}, true, Mode::Replay, 0, 0, "", true},
        {{"--help"}, true, Mode::Help, 0, 0, ""},
        {{}, false, Mode::Help, 0, 0, "choose one of --level N, --solve, --replay and --list-levels"},
        {{"--level"}, false, Mode::Help, 0, 0, "--level needs a value"},
        {{"--level", "4"}, false, Mode::Help, 0, 0, "--level must be a level from 0 to 3, not '4'"},
        {{"--level", "1x"}, false, Mode::Help, 0, 0, "--level must be a level from 0 to 3, not '1x'"},
        {{"--level", "1", "--time", "0"},
         false,
         Mode::Help,
         0,
         0,
         "--time must be milliseconds from 1 to 86400000, not '0'"},
        {{"--solve", "--time", "100"},
         false,
         Mode::Help,
         0,
         0,
         "--time bounds a level's search; it goes with --level only"},
        {{"--solve", "--replay", "--level", "1"},
         false,
         Mode::Help,
         0,
         0,
         "choose one of --level, --solve, --replay and --list-levels"},
        {{"--solve=yes"}, false, Mode::Help, 0, 0, "--solve takes no value"},
        {{"--depth", "3"}, false, Mode::Help, 0, 0, "unknown option '--depth'"},
    };
    for (const Case& c : cases) {
        EngineOptions options;
        std::string error;
        const bool ok = parseEngineOptions(c.arguments, options, error);
        const std::string context = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(ok, c.ok) << context;
        if (!ok) {
            EXPECT_EQ(error, c.error) << context;
            continue;
        }
        EXPECT_EQ(options.mode, c.mode) << context;
        EXPECT_EQ(options.level, c.level) << context;
        EXPECT_EQ(options.time ? options.time->count() : 0, c.timeMs) << context;
        EXPECT_EQ(options.solve, c.solve) << context;
    }
}

// Each line through the protocol, at level 0 and solving: the first words
// of the answer, or the message on standard error.
TEST(EngineToolLines, TableOfGoodAndBadLines)
{
    struct Case {
        std::string line;
        std::string move;   // empty when there is no answer
        std::string solved; // the exact score --solve gives; empty: not solved here
        std::string fault;  // the message after "line N: "; empty when none
        bool over = false;  // a finished game: every level answers the final score too
    };
    const std::string opening = "---------------------------OX------XO---------------------------";
    const std::string oneWhiteDisc = "-OXXXXXX" + std::string(56, 'X');
    const Case cases[] = {
        {opening + " X", "d3", "", ""},
        {"  " + opening + "\tX   ; the opening\r", "d3", "", ""},
        {"---------------------------ox......xo--------------------------- x", "d3", "", ""},
        {"---------------------------O*------*O--------------------------- *", "d3", "", ""},
        // One white disc left to turn: black takes everything.
        {oneWhiteDisc + " X", "a1", "+64", ""},
        // White has no move but black has: white passes.
        {oneWhiteDisc + " O", "pass", "-64", ""},
        // The game is over: no move, the final difference, empties to the winner.
        {std::string(60, 'X') + "---- O", "pass", "-64", "", true},
        {"", "", "", ""},
        {"   ; only a comment", "", "", ""},
        {opening, "", "", "the side to move (X or O) is missing after the board"},
        {opening.substr(1) + " X", "", "", "the board has 63 cells, not 64"},
        {opening + "- X", "", "", "the board has 65 cells, not 64"},
        {"---------------------------OX------XQ--------------------------- X", "", "",
         "cell e5 is 'Q', not X, O or -"},
        {"---------------------------OX------X\xff--------------------------- X", "", "",
         "cell e5 is '\\xFF', not X, O or -"},
        {opening + " B", "", "", "the side to move is 'B', not X or O"},
        {opening + " XO", "", "", "the side to move is 'XO', not X or O"},
        {opening + " X white", "", "", "unexpected 'white' after the side to move"},
    };
    for (const bool solve : {false, true}) {
        EngineOptions options;
        options.mode = solve ? EngineOptions::Mode::Solve : EngineOptions::Mode::Level;
        for (const Case& c : cases) {
            if (solve && c.solved.empty() && !c.move.empty())
                continue; // too far from the end to solve in a test
            std::istringstream in("\n" + c.line + "\n");
            std::ostringstream out, err;
            EXPECT_EQ(answerPositions(in, out, err, options), c.fault.empty() ? 0 : 1) << c.line;
            EXPECT_EQ(err.str(), c.fault.empty() ? "" : "kestrel-engine: line 2: " + c.fault + "\n")
                << c.line;
            std::istringstream answer(out.str());
            std::string move, score;
            answer >> move >> score;
            EXPECT_EQ(move, c.move) << c.line;
            if (solve || c.over) {
                EXPECT_EQ(score, c.solved) << c.line;
            }
        }
    }
}

// Answers keep coming after a bad line, each on its own line, and the exit
// status remembers the fault.
TEST(EngineToolLines, GoesOnAfterAFault)
{
    const std::string opening = "---------------------------OX------XO---------------------------";
    std::istringstream in(opening + " X\nnonsense\n" + opening + " O\n");
    std::ostringstream out, err;
    EngineOptions options;
    options.mode = EngineOptions::Mode::Level;
    options.level = 1;
    EXPECT_EQ(answerPositions(in, out, err, options), 1);
    EXPECT_EQ(err.str(), "kestrel-engine: line 2: the board has 8 cells, not 64\n");
    std::istringstream lines(out.str());
    std::string first, second, rest;
    ASSERT_TRUE(std::getline(lines, first));
    ASSERT_TRUE(std::getline(lines, second));
    EXPECT_FALSE(std::getline(lines, rest));
    EXPECT_EQ(first.substr(0, 3), "d3 ");
    EXPECT_NE(second.find(" depth=2 nodes="), std::string::npos) << second;
}

// Gives its lines one at a time, noting each in `events` when it is read.
class LineSource : public std::streambuf {
public:
    LineSource(std::vector<std::string> lines, std::vector<std::string>& events)
        : lines_(std::move(lines)), events_(events)
    {
    }

private:
    int_type underflow() override
    {
        if (next_ == lines_.size())
            return traits_type::eof();
        current_ = lines_[next_++] + "\n";
        events_.push_back("read " + std::to_string(next_));
        setg(current_.data(), current_.data(), current_.data() + current_.size());
        return traits_type::to_int_type(current_[0]);
    }

    std::vector<std::string> lines_;
    std::vector<std::string>& events_;
    std::size_t next_ = 0;
    std::string current_;
};

// Notes in `events` what had been written each time the stream is flushed.
class FlushRecorder : public std::streambuf {
public:
    explicit FlushRecorder(std::vector<std::string>& events) : events_(events) {}

private:
    int_type overflow(int_type c) override
    {
        pending_ += traits_type::to_char_type(c);
        return c;
    }
    int sync() override
    {
        events_.push_back("flushed " + pending_.substr(0, pending_.find(' ')));
        pending_.clear();
        return 0;
    }

    std::vector<std::string>& events_;
    std::string pending_;
};

// A program conversing through a pipe gets each answer before it sends the next line.
TEST(EngineToolLines, EachAnswerIsFlushedBeforeTheNextLineIsRead)
{
    const std::string opening = "---------------------------OX------XO---------------------------";
    std::vector<std::string> events;
    LineSource source({opening + " X", "bad", opening + " O"}, events);
    FlushRecorder recorder(events);
    std::istream in(&source);
    std::ostream out(&recorder);
    std::ostringstream err;
    EngineOptions options;
    options.mode = EngineOptions::Mode::Level;
    answerPositions(in, out, err, options);
    EXPECT_EQ(events, (std::vector<std::string>{"read 1", "flushed d3", "read 2", "read 3", "flushed e3"}));
}

// Boards written in the text form read back the same, with the side to move.
TEST(EngineToolLines, WrittenPositionsReadBack)
{
    std::mt19937 random(9);
    for (int i = 0; i < 200; ++i) {
        Board board{};
        for (CellState& cell : board)
            cell = static_cast<CellState>(random() % 3);
        const Side side = static_cast<Side>(1 + random() % 2);
        const std::string text = search::positionLineOf(board, side);
        const search::PositionLine line = search::readPositionLine(text + " ; written");
        ASSERT_EQ(line.kind, search::PositionLine::Kind::Position) << text;
        EXPECT_EQ(line.board, board) << text;
        EXPECT_EQ(line.side, side) << text;
    }
}

TEST(EngineToolLines, ListsTheLevels)
{
    std::ostringstream out;
    listLevels(out);
    EXPECT_EQ(out.str(), "0 標準\n1 中級\n2 上級\n3 達人\n");
}

} // namespace
} // namespace kestrel
