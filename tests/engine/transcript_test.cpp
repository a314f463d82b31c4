#include <gtest/gtest.h>

#include "engine/transcript.h"
#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "tests/support/transcript_cases.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::boardFromPicture;
using testing::pictureOf;
using testing::Table;
using testing::TranscriptCase;
using testing::ViewCall;

// Moves after which the same side moves again.
std::vector<int> passesIn(const Replay& replay)
{
    std::vector<int> passes;
    for (std::size_t i = 1; i < replay.steps.size(); ++i)
        if (replay.steps[i].mover == replay.steps[i - 1].mover)
            passes.push_back(static_cast<int>(i));
    return passes;
}

TEST(Transcript, TableReadsReplaysAndWritesBack)
{
    for (const TranscriptCase& c : testing::transcriptCases()) {
        SCOPED_TRACE(c.name);
        const TranscriptReading reading = readTranscript(c.text);
        if (c.faultNumber >= 0) {
            ASSERT_TRUE(reading.fault);
            EXPECT_EQ(reading.fault->kind, c.fault);
            EXPECT_EQ(reading.fault->number, c.faultNumber);
            EXPECT_EQ(reading.fault->text, c.faultText);
            // Only the moves before the fault are kept.
            EXPECT_EQ(reading.cells.size(), static_cast<std::size_t>(std::max(0, c.faultNumber - 1)));
            EXPECT_EQ(reading.replay.steps.size(), reading.cells.size());
            continue;
        }
        ASSERT_FALSE(reading.fault) << reading.fault->text;
        EXPECT_EQ(transcriptText(reading.cells), c.transcript);
        const std::size_t n = reading.cells.size();
        const Board last = positionAfter(reading.replay, n);
        EXPECT_EQ(countCells(last, kBlack), c.black);
        EXPECT_EQ(countCells(last, kWhite), c.white);
        EXPECT_EQ(toMoveAfter(reading.replay, n), c.toMove);
        EXPECT_EQ(passesIn(reading.replay), c.passesAfter);
        EXPECT_EQ(readTranscript(transcriptText(reading.cells)).cells, reading.cells);
    }
}

TEST(Transcript, NamesCellsAsTheLocalBoardShowsThem)
{
    EXPECT_EQ(moveName(0), "a1");
    EXPECT_EQ(moveName(37), "f5");
    EXPECT_EQ(moveName(63), "h8");
    EXPECT_EQ(moveName(64), "");
    EXPECT_EQ(cellOfMoveName("F5"), 37);
    EXPECT_EQ(cellOfMoveName("i1"), std::nullopt);
    EXPECT_EQ(cellOfMoveName("a0"), std::nullopt);

    const TranscriptReading reading = readTranscript(testing::kWipeOut);
    ASSERT_EQ(reading.replay.steps.size(), 9u);
    EXPECT_EQ(pictureOf(reading.replay.steps[0].board), pictureOf(boardFromPicture("........"
                                                                                   "........"
                                                                                   "...x...."
                                                                                   "...xx..."
                                                                                   "...xo..."
                                                                                   "........"
                                                                                   "........"
                                                                                   "........")));
    EXPECT_EQ(pictureOf(positionAfter(reading.replay, 9)), pictureOf(boardFromPicture("x......."
                                                                                      ".x......"
                                                                                      ".xxxxx.."
                                                                                      "...xxx.."
                                                                                      "...xxx.."
                                                                                      "........"
                                                                                      "........"
                                                                                      "........")));
    EXPECT_EQ(positionAfter(reading.replay, 0), startBoard());
    EXPECT_EQ(toMoveAfter(reading.replay, 0), kBlack);
}

// Games played through the turn flow, taken down from what the view was told,
// replay to the board the flow left, with a pass wherever it gave notice of one.
TEST(Transcript, ComputerGamesReplayToTheBoardTheTurnFlowLeft)
{
    int passesSeen = 0;
    for (Side side : {kBlack, kWhite}) {
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            SCOPED_TRACE("side " + std::to_string(side) + " seed " + std::to_string(seed));
            Table t;
            t.startComputerGame(side);
            t.playRandom(seed);
            std::vector<int> moves, movers;
            int placed = 0, notices = 0;
            for (const ViewCall& c : t.view.calls) {
                if (c.op == "showCell" && (c.b == kBlack || c.b == kWhite) && ++placed > 4) {
                    moves.push_back(c.a);
                    movers.push_back(c.b);
                }
                notices += c.op == "showNotice";
            }
            const TranscriptReading reading = readTranscript(transcriptText(moves));
            ASSERT_FALSE(reading.fault) << reading.fault->number;
            EXPECT_EQ(reading.cells, moves);
            EXPECT_EQ(pictureOf(positionAfter(reading.replay, moves.size())), pictureOf(t.match.board));
            EXPECT_EQ(toMoveAfter(reading.replay, moves.size()), kNoSide);
            for (std::size_t i = 0; i < moves.size(); ++i)
                EXPECT_EQ(reading.replay.steps[i].mover, movers[i]) << "move " << i + 1;
            EXPECT_EQ(static_cast<int>(passesIn(reading.replay).size()), notices);
            passesSeen += notices;
        }
    }
    EXPECT_GT(passesSeen, 0);
}

} // namespace
} // namespace kestrel
