#pragma once
// The record file that "棋譜を保存..." writes and "棋譜を開く..." reads: UTF-8
// text readable in any editor, a first line naming it, the game's labelled
// lines (record_lines.h) and the transcript last:
//   kestrelbay 棋譜
//   日時: 2024-05-01 21:07
//   対局: コンピュータ
//   黒: 太郎
//   白: コンピュータ
//   自分: 黒
//   結果: 黒の勝ちです
//   石数: 黒 40 白 24
//   棋譜: f5d6c3d3c4f4...

#include <optional>
#include <string>
#include <string_view>

#include "engine/transcript.h"
#include "records/game_record.h"
#include "settings/settings_files.h"

namespace kestrel {

inline constexpr std::string_view kRecordFileFirstLine = "kestrelbay 棋譜";

// Files larger than this are read only this far.
inline constexpr std::size_t kRecordFileReadLimit = 1 << 20;

std::string recordFileBytes(const GameRecord& record);

struct RecordReading {
    // The header's fields when the text is a record file (the others keep
    // their defaults, so a hand-edited header still opens), and the moves:
    // all of them, or those before the fault.
    GameRecord record;
    std::optional<TranscriptFault> fault;
};

// Reads a record file, or any other text that holds a transcript
// (findTranscript says how). The text is UTF-8, or code page 932 when it is
// not valid UTF-8; a byte order mark is skipped. In a record file the
// transcript is what follows "棋譜:", which may go on over several lines; a
// record file with nothing there is a game without moves, while another text
// without a transcript is a NoMoves fault.
RecordReading readRecordText(std::string_view bytes);

// Writes the record file whole or not at all (settings/file_io.h).
SaveResult saveRecordFile(const std::string& path, const GameRecord& record);

// Reads the file at path as readRecordText does; nothing when it does not
// open or is not a regular file.
std::optional<RecordReading> openRecordFile(const std::string& path);

// The box text for a transcript that cannot be replayed, Shift-JIS:
// "12手目の「e3」は打てません" and the like.
std::string transcriptFaultText(const TranscriptFault& fault);

} // namespace kestrel
