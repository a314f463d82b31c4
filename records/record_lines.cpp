#include "records/record_lines.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

#include "engine/transcript.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

constexpr std::string_view kDateLabel = "日時";
constexpr std::string_view kKindLabel = "対局";
constexpr std::string_view kBlackLabel = "黒";
constexpr std::string_view kWhiteLabel = "白";
constexpr std::string_view kPlayerLabel = "自分";
constexpr std::string_view kResultLabel = "結果";
constexpr std::string_view kCountsLabel = "石数";
constexpr std::string_view kTranscriptLabel = "棋譜";

constexpr std::string_view kComputerGame = "コンピュータ";
constexpr std::string_view kNetworkGame = "ネットワーク";

// Control characters shown as "?": a line break in a name must not become
// a line of its own, nor a field, and a name read holds none either.
std::string printable(std::string_view utf8)
{
    std::string text(utf8);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

// A Shift-JIS text as one UTF-8 line.
std::string oneLine(const std::string& cp932)
{
    return printable(fromCp932(cp932));
}

// A value as the Shift-JIS text the program holds.
std::string textOf(std::string_view utf8)
{
    return toCp932(printable(utf8));
}

std::string fieldLine(std::string_view label, std::string_view value)
{
    std::string line(label);
    line += ':';
    if (!value.empty()) {
        line += ' ';
        line += value;
    }
    line += '\n';
    return line;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string_view sideWord(Side side)
{
    return side == kWhite ? kWhiteLabel : kBlackLabel;
}

std::optional<int> countOf(std::string_view text)
{
    int value = -1;
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kCellCount)
        return std::nullopt;
    return value;
}

// "黒 40 白 24" into the two counts.
bool readCounts(RecordFields& fields, std::string_view value)
{
    const std::string black = std::string(kBlackLabel) + " ";
    const std::string white = std::string(" ") + std::string(kWhiteLabel) + " ";
    const std::size_t whiteAt = value.find(white);
    if (!value.starts_with(black) || whiteAt == std::string_view::npos)
        return false;
    const auto blackCount = countOf(value.substr(black.size(), whiteAt - black.size()));
    const auto whiteCount = countOf(value.substr(whiteAt + white.size()));
    if (!blackCount || !whiteCount || *blackCount + *whiteCount > kCellCount)
        return false;
    fields.blackCount = blackCount;
    fields.whiteCount = whiteCount;
    return true;
}

template <class T> bool storeOnce(std::optional<T>& field, std::type_identity_t<T> value)
{
    if (field)
        return false;
    field = std::move(value);
    return true;
}

bool storeValue(RecordFields& fields, std::string_view label, std::string_view value)
{
    if (label == kDateLabel) {
        const auto date = dateOfText(value);
        return date && storeOnce(fields.date, *date);
    }
    if (label == kKindLabel) {
        if (value != kComputerGame && value != kNetworkGame)
            return false;
        return storeOnce(fields.vsComputer, value == kComputerGame);
    }
    if (label == kBlackLabel)
        return storeOnce(fields.black, textOf(value));
    if (label == kWhiteLabel)
        return storeOnce(fields.white, textOf(value));
    if (label == kPlayerLabel) {
        if (value != kBlackLabel && value != kWhiteLabel)
            return false;
        return storeOnce(fields.playerSide, value == kBlackLabel ? kBlack : kWhite);
    }
    if (label == kResultLabel)
        return storeOnce(fields.result, textOf(value));
    if (label == kCountsLabel)
        return !fields.blackCount && readCounts(fields, value);
    return storeOnce(fields.transcript, value);
}

} // namespace

std::string recordLines(const GameRecord& record)
{
    return fieldLine(kDateLabel, dateText(record.date)) +
           fieldLine(kKindLabel, record.vsComputer ? kComputerGame : kNetworkGame) +
           fieldLine(kBlackLabel, oneLine(blackName(record))) +
           fieldLine(kWhiteLabel, oneLine(whiteName(record))) +
           fieldLine(kPlayerLabel, sideWord(record.playerSide)) +
           fieldLine(kResultLabel, oneLine(record.resultText)) +
           fieldLine(kCountsLabel, std::string(kBlackLabel) + " " + std::to_string(record.blackCount) + " " +
                                       std::string(kWhiteLabel) + " " + std::to_string(record.whiteCount)) +
           fieldLine(kTranscriptLabel, transcriptText(record.moves));
}

RecordLineKind readRecordLine(RecordFields& fields, std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return RecordLineKind::Other;
    const std::string_view label = trimmed(line.substr(0, colon));
    static constexpr std::string_view kLabels[] = {kDateLabel,   kKindLabel,      kBlackLabel,
                                                   kWhiteLabel,  kPlayerLabel,    kResultLabel,
                                                   kCountsLabel, kTranscriptLabel};
    bool known = false;
    for (std::string_view l : kLabels)
        known = known || label == l;
    if (!known)
        return RecordLineKind::Other;
    return storeValue(fields, label, trimmed(line.substr(colon + 1))) ? RecordLineKind::Field
                                                                      : RecordLineKind::BadField;
}

bool hasAllFields(const RecordFields& f)
{
    return f.date && f.vsComputer && f.black && f.white && f.playerSide && f.result && f.blackCount &&
           f.whiteCount && f.transcript;
}

GameRecord recordOfFields(const RecordFields& f)
{
    GameRecord record;
    record.date = f.date.value_or(RecordDate{});
    record.vsComputer = f.vsComputer.value_or(false);
    record.playerSide = f.playerSide.value_or(kBlack);
    const std::string black = f.black.value_or(std::string{});
    const std::string white = f.white.value_or(std::string{});
    record.playerName = record.playerSide == kBlack ? black : white;
    record.opponentName = record.playerSide == kBlack ? white : black;
    record.resultText = f.result.value_or(std::string{});
    record.blackCount = f.blackCount.value_or(0);
    record.whiteCount = f.whiteCount.value_or(0);
    return record;
}

std::string_view lineAt(std::string_view text, std::size_t& pos)
{
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    pos = end < text.size() ? end + 1 : end;
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace kestrel
