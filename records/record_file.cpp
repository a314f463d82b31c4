#include "records/record_file.h"

#include "records/record_lines.h"
#include "settings/file_io.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// True when every byte sequence is well-formed UTF-8 (lead byte, then the
// continuation bytes it announces).
bool isUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t length = b < 0x80           ? 1
                                   : (b >> 5) == 0x6  ? 2
                                   : (b >> 4) == 0xE  ? 3
                                   : (b >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// A text from an editor or the clipboard as UTF-8. Text that is not UTF-8 is
// taken as code page 932, so that its trail bytes cannot pass for moves.
std::string asUtf8(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    return isUtf8(bytes) ? std::string(bytes) : fromCp932(bytes);
}

RecordReading readRecordFileText(std::string_view text, std::size_t headerAt)
{
    RecordFields fields;
    std::size_t transcriptAt = headerAt;
    std::size_t pos = headerAt;
    while (pos < text.size() && !fields.transcript) {
        const std::string_view line = lineAt(text, pos);
        readRecordLine(fields, line);
        if (fields.transcript)
            transcriptAt = static_cast<std::size_t>(fields.transcript->data() - text.data());
    }
    RecordReading reading{recordOfFields(fields), std::nullopt};
    TranscriptReading moves = readTranscript(text.substr(transcriptAt));
    reading.record.moves = std::move(moves.cells);
    const bool noMoves = moves.fault && moves.fault->kind == TranscriptFaultKind::NoMoves;
    if (!(noMoves && fields.transcript))
        reading.fault = std::move(moves.fault);
    return reading;
}

} // namespace

std::string recordFileBytes(const GameRecord& record)
{
    return std::string(kRecordFileFirstLine) + "\n" + recordLines(record);
}

RecordReading readRecordText(std::string_view bytes)
{
    const std::string text = asUtf8(bytes);
    std::size_t pos = 0;
    if (lineAt(text, pos) == kRecordFileFirstLine)
        return readRecordFileText(text, pos);
    TranscriptReading moves = readTranscript(text);
    RecordReading reading;
    reading.record.moves = std::move(moves.cells);
    reading.fault = std::move(moves.fault);
    return reading;
}

SaveResult saveRecordFile(const std::string& path, const GameRecord& record)
{
    return replaceFile(path, recordFileBytes(record));
}

std::optional<RecordReading> openRecordFile(const std::string& path)
{
    const std::optional<std::string> bytes = readFilePrefix(path, kRecordFileReadLimit);
    if (!bytes)
        return std::nullopt;
    return readRecordText(*bytes);
}

std::string transcriptFaultText(const TranscriptFault& fault)
{
    const std::string move = std::to_string(fault.number) + "手目の「" + fault.text + "」";
    switch (fault.kind) {
    case TranscriptFaultKind::NotACell:
        return toCp932(move + "はマスの名前ではありません");
    case TranscriptFaultKind::NotPlayable:
        return toCp932(move + "は打てません");
    case TranscriptFaultKind::NoMoves:
        break;
    }
    return SJ("棋譜が見つかりません");
}

} // namespace kestrel
