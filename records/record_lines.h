#pragma once
// The labelled lines that describe one game in both record files (UTF-8):
//   日時: 2024-05-01 21:07
//   対局: コンピュータ             (or ネットワーク)
//   黒: 太郎
//   白: コンピュータ
//   自分: 黒                        (the local player's colour)
//   結果: 黒の勝ちです              (empty for a game not finished)
//   石数: 黒 40 白 24
//   棋譜: f5d6c3d3c4f4
// Names and the result are written on one line each, control characters
// shown as "?", and read back with the spaces around them removed.

#include <optional>
#include <string>
#include <string_view>

#include "records/game_record.h"

namespace kestrel {

std::string recordLines(const GameRecord& record);

// What the lines of one record gave, field by field.
struct RecordFields {
    std::optional<RecordDate> date;
    std::optional<bool> vsComputer;
    std::optional<std::string> black; // Shift-JIS
    std::optional<std::string> white;
    std::optional<Side> playerSide;
    std::optional<std::string> result;
    std::optional<int> blackCount;
    std::optional<int> whiteCount;
    std::optional<std::string_view> transcript; // the value of the 棋譜 line
};

enum class RecordLineKind {
    Field,    // a field line, stored
    BadField, // a field's label with a value that cannot be read, or a field given twice
    Other     // no field line
};

RecordLineKind readRecordLine(RecordFields& fields, std::string_view line);

// True when every field was given.
bool hasAllFields(const RecordFields& fields);

// The record of the fields given; the others keep their defaults. The
// transcript is left to the caller.
GameRecord recordOfFields(const RecordFields& fields);

// Text up to the next line break and the position after it; a "\r" before
// the break is left out.
std::string_view lineAt(std::string_view text, std::size_t& pos);

} // namespace kestrel
