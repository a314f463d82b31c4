#pragma once
// One game as it is kept: when and by whom it was played, its moves and how
// it ended. Texts are Shift-JIS bytes as the program holds them; the files
// that keep records are UTF-8 and convert at their boundary.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/match_state.h"

namespace kestrel {

// Local date and time to the minute.
struct RecordDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    bool operator==(const RecordDate&) const = default;
};

// The local date and time of `time` (std::time(nullptr) for now).
RecordDate recordDateOf(std::time_t time);

// "2024-05-01 21:07".
std::string dateText(const RecordDate& date);

// The date such a text gives; nothing for any other text or an impossible
// date or time.
std::optional<RecordDate> dateOfText(std::string_view text);

struct GameRecord {
    RecordDate date;          // when the game began
    std::string playerName;   // the local player
    std::string opponentName; // the network opponent, or the computer's name
    Side playerSide = kBlack; // the local player's colour; the opponent has the other
    bool vsComputer = false;
    // Cells from the start position as the local board showed them (a
    // network opponent's moves already turned by 180 degrees), passes left out.
    std::vector<int> moves;
    std::string resultText; // as shown at the end; empty for a game not finished
    int blackCount = 0;
    int whiteCount = 0;
    bool operator==(const GameRecord&) const = default;
};

const std::string& blackName(const GameRecord& record);
const std::string& whiteName(const GameRecord& record);

// True when the date is a real date and time, the side is black or white,
// the counts fit on the board and the moves replay from the start position:
// what a record must be before it joins the recent games.
bool isCompleteRecord(const GameRecord& record);

} // namespace kestrel
