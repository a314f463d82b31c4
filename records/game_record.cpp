#include "records/game_record.h"

#include <charconv>
#include <cstdio>

#include "engine/transcript.h"

namespace kestrel {
namespace {

// The number of exactly `digits` digits at text[at], if there is one.
std::optional<int> fixedNumber(std::string_view text, std::size_t at, std::size_t digits)
{
    if (at + digits > text.size())
        return std::nullopt;
    int value = 0;
    const char* first = text.data() + at;
    const char* last = first + digits;
    for (const char* p = first; p != last; ++p)
        if (*p < '0' || *p > '9')
            return std::nullopt;
    std::from_chars(first, last, value);
    return value;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

RecordDate recordDateOf(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string dateText(const RecordDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", date.year, date.month, date.day, date.hour,
                  date.minute);
    return text;
}

std::optional<RecordDate> dateOfText(std::string_view text)
{
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':')
        return std::nullopt;
    const auto year = fixedNumber(text, 0, 4), month = fixedNumber(text, 5, 2), day = fixedNumber(text, 8, 2),
               hour = fixedNumber(text, 11, 2), minute = fixedNumber(text, 14, 2);
    if (!year || !month || !day || !hour || !minute)
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) || *hour > 23 ||
        *minute > 59)
        return std::nullopt;
    return RecordDate{*year, *month, *day, *hour, *minute};
}

const std::string& blackName(const GameRecord& record)
{
    return record.playerSide == kBlack ? record.playerName : record.opponentName;
}

const std::string& whiteName(const GameRecord& record)
{
    return record.playerSide == kBlack ? record.opponentName : record.playerName;
}

bool isCompleteRecord(const GameRecord& record)
{
    const bool countsFit = record.blackCount >= 0 && record.whiteCount >= 0 &&
                           record.blackCount + record.whiteCount <= kCellCount;
    const bool sideKnown = record.playerSide == kBlack || record.playerSide == kWhite;
    const bool dateReal = dateOfText(dateText(record.date)) == record.date;
    return dateReal && countsFit && sideKnown && replayMoves(record.moves).badMove < 0;
}

} // namespace kestrel
