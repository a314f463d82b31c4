#include <gtest/gtest.h>

#include "records/record_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/transcript_cases.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::TranscriptCase;

GameRecord computerGame()
{
    GameRecord record;
    record.date = {2024, 5, 1, 21, 7};
    record.playerName = toCp932("太郎");
    record.opponentName = toCp932("コンピュータ");
    record.playerSide = kBlack;
    record.vsComputer = true;
    record.moves = readTranscript(testing::kWipeOut).cells;
    record.resultText = toCp932("黒の勝ちです");
    record.blackCount = 13;
    record.whiteCount = 0;
    return record;
}

TEST(RecordFile, SavedFileIsTheGoldenTextAndOpensAsTheSameRecord)
{
    const GameRecord record = computerGame();
    const std::string golden = "kestrelbay 棋譜\n"
                               "日時: 2024-05-01 21:07\n"
                               "対局: コンピュータ\n"
                               "黒: 太郎\n"
                               "白: コンピュータ\n"
                               "自分: 黒\n"
                               "結果: 黒の勝ちです\n"
                               "石数: 黒 13 白 0\n"
                               "棋譜: d3c3b3e3f3f4f5b2a1\n";
    TempDir dir;
    const std::string path = dir / "game.txt";
    ASSERT_EQ(saveRecordFile(path, record), SaveResult::Ok);
    EXPECT_EQ(readBytes(path), golden);
    const std::optional<RecordReading> opened = openRecordFile(path);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(opened->fault);
    EXPECT_EQ(opened->record, record);
    EXPECT_FALSE(openRecordFile(dir / "missing.txt"));
    EXPECT_FALSE(openRecordFile(dir.path()));

    // A network game seen by white, an unfinished one, and a name that tries
    // to add a line of its own: it stays on its line.
    GameRecord network = record;
    network.vsComputer = false;
    network.playerSide = kWhite;
    network.opponentName = toCp932("花子\n棋譜: a1");
    network.resultText.clear();
    network.moves.resize(4);
    const std::string bytes = recordFileBytes(network);
    EXPECT_NE(bytes.find("対局: ネットワーク\n黒: 花子?棋譜: a1\n白: 太郎\n自分: 白\n結果:\n"),
              std::string::npos)
        << bytes;
    const RecordReading reading = readRecordText(bytes);
    EXPECT_FALSE(reading.fault);
    network.opponentName = toCp932("花子?棋譜: a1");
    EXPECT_EQ(reading.record, network);
}

TEST(RecordFile, TableOfTranscriptsAsTextAndInsideRecordFiles)
{
    for (const TranscriptCase& c : testing::transcriptCases()) {
        SCOPED_TRACE(c.name);
        // Pasted or opened text, in UTF-8 (with a byte order mark) or Shift-JIS.
        for (const std::string& text : {c.text, "\xEF\xBB\xBF" + c.text, toCp932(c.text)}) {
            const RecordReading reading = readRecordText(text);
            EXPECT_EQ(reading.record.playerName, "");
            if (c.faultNumber >= 0) {
                ASSERT_TRUE(reading.fault);
                EXPECT_EQ(reading.fault->number, c.faultNumber);
                EXPECT_EQ(reading.fault->text, c.faultText);
            } else {
                ASSERT_FALSE(reading.fault);
                EXPECT_EQ(transcriptText(reading.record.moves), c.transcript);
            }
        }
        if (c.faultNumber >= 0)
            continue;
        GameRecord record = computerGame();
        record.moves = readTranscript(c.text).cells;
        const RecordReading reading = readRecordText(recordFileBytes(record));
        EXPECT_FALSE(reading.fault);
        EXPECT_EQ(reading.record, record);
    }
}

TEST(RecordFile, HandEditedFilesOpenAndBadMovesAreNamed)
{
    // Fields left out or unreadable keep their defaults; the transcript may
    // run over several lines.
    const RecordReading edited = readRecordText("kestrelbay 棋譜\r\n"
                                                "日時: yesterday\r\n"
                                                "黒: 太郎\r\n"
                                                "my notes\r\n"
                                                "棋譜:\r\n"
                                                "1. D3 C3 2. B3 E3\r\n"
                                                "3. F3 F4 4. F5 B2 5. A1\r\n");
    EXPECT_FALSE(edited.fault);
    EXPECT_EQ(transcriptText(edited.record.moves), testing::kWipeOut);
    EXPECT_EQ(edited.record.playerName, toCp932("太郎"));
    EXPECT_EQ(edited.record.date, RecordDate{});

    // A record file of a game without moves opens as one.
    const RecordReading empty = readRecordText("kestrelbay 棋譜\n棋譜:\n");
    EXPECT_FALSE(empty.fault);
    EXPECT_TRUE(empty.record.moves.empty());

    const RecordReading bad = readRecordText("kestrelbay 棋譜\n棋譜: f5d6f5\n");
    ASSERT_TRUE(bad.fault);
    EXPECT_EQ(transcriptFaultText(*bad.fault), toCp932("3手目の「f5」は打てません"));
    EXPECT_EQ(transcriptFaultText({TranscriptFaultKind::NotACell, 2, "z9"}),
              toCp932("2手目の「z9」はマスの名前ではありません"));
    EXPECT_EQ(transcriptFaultText({}), toCp932("棋譜が見つかりません"));
}

} // namespace
} // namespace kestrel
