#include "engine/transcript.h"

#include "engine/board.h"

namespace kestrel {
namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAsciiSeparator(unsigned char c)
{
    return c <= 0x20 || c == 0x7F || (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) ||
           (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

// Length in bytes of the separator at text[i]; 0 when none starts there.
std::size_t separatorAt(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80)
        return isAsciiSeparator(c) ? 1 : 0;
    // Japanese text separates moves with these as often as with ASCII ones.
    for (std::string_view wide : {"　", "、", "。", "，", "．"})
        if (text.substr(i).starts_with(wide))
            return wide.size();
    return 0;
}

bool isNumber(std::string_view word)
{
    for (char c : word)
        if (!isDigit(c))
            return false;
    return true;
}

bool isPass(std::string_view word)
{
    std::string lower;
    for (char c : word)
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower == "pass" || lower == "pa" || lower == "ps";
}

// The moves of a word made of letters each followed by digits; nothing for
// a word of any other shape.
std::optional<std::vector<WrittenMove>> movesOf(std::string_view word)
{
    std::vector<WrittenMove> moves;
    std::size_t i = 0;
    while (i < word.size()) {
        if (!isAsciiLetter(word[i]))
            return std::nullopt;
        std::size_t end = i + 1;
        while (end < word.size() && isDigit(word[end]))
            ++end;
        if (end == i + 1)
            return std::nullopt;
        const std::string_view text = word.substr(i, end - i);
        moves.push_back({cellOfMoveName(text).value_or(-1), std::string(text)});
        i = end;
    }
    return moves;
}

} // namespace

Board startBoard()
{
    Board board{};
    board[cellIndex(3, 3)] = kWhite;
    board[cellIndex(3, 4)] = kBlack;
    board[cellIndex(4, 3)] = kBlack;
    board[cellIndex(4, 4)] = kWhite;
    return board;
}

int applyMove(Board& board, int cell, Side side)
{
    if (!isCellIndex(cell) || board[cell] != kEmpty || (side != kBlack && side != kWhite))
        return 0;
    MatchState scratch;
    scratch.board = board;
    const int flips = countFlips(scratch, cell / 8, cell % 8, side);
    if (flips == 0)
        return 0;
    board[cell] = static_cast<CellState>(side);
    for (int d = 0; d < 8; ++d)
        for (int h = 1; h <= scratch.flipRuns[d]; ++h)
            board[cell + h * kDirections[d].indexStep] = static_cast<CellState>(side);
    return flips;
}

Side sideToMoveAfter(const Board& board, Side mover)
{
    MatchState scratch;
    scratch.board = board;
    const Side opponent = 3 - mover;
    if (hasLegalMove(scratch, opponent))
        return opponent;
    if (hasLegalMove(scratch, mover))
        return mover;
    return kNoSide;
}

std::string moveName(int cell)
{
    if (!isCellIndex(cell))
        return {};
    return {static_cast<char>('a' + cell % 8), static_cast<char>('1' + cell / 8)};
}

std::optional<int> cellOfMoveName(std::string_view name)
{
    if (name.size() != 2)
        return std::nullopt;
    const char letter = static_cast<char>(name[0] | 0x20); // ASCII lower case
    const char digit = name[1];
    if (letter < 'a' || letter > 'h' || digit < '1' || digit > '8')
        return std::nullopt;
    return cellIndex(digit - '1', letter - 'a');
}

std::string transcriptText(std::span<const int> cells)
{
    std::string text;
    for (int cell : cells)
        text += moveName(cell);
    return text;
}

std::vector<WrittenMove> findTranscript(std::string_view text)
{
    std::vector<WrittenMove> best;
    std::vector<WrittenMove> current;
    auto endStretch = [&] {
        if (current.size() > best.size())
            best = std::move(current);
        current.clear();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (const std::size_t separator = separatorAt(text, i)) {
            i += separator;
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && separatorAt(text, end) == 0)
            ++end;
        const std::string_view word = text.substr(i, end - i);
        i = end;
        if (isNumber(word) || isPass(word))
            continue;
        if (auto moves = movesOf(word))
            current.insert(current.end(), moves->begin(), moves->end());
        else
            endStretch();
    }
    endStretch();
    return best;
}

Replay replayMoves(std::span<const int> cells)
{
    Replay replay;
    Board board = startBoard();
    Side toMove = kBlack;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Side mover = toMove;
        if (mover == kNoSide || applyMove(board, cells[i], mover) == 0) {
            replay.badMove = static_cast<int>(i);
            break;
        }
        toMove = sideToMoveAfter(board, mover);
        replay.steps.push_back({cells[i], mover, board, toMove});
    }
    return replay;
}

Board positionAfter(const Replay& replay, std::size_t moves)
{
    return moves == 0 ? startBoard() : replay.steps.at(moves - 1).board;
}

Side toMoveAfter(const Replay& replay, std::size_t moves)
{
    return moves == 0 ? kBlack : replay.steps.at(moves - 1).toMove;
}

TranscriptReading readTranscript(std::string_view text)
{
    TranscriptReading reading;
    const std::vector<WrittenMove> written = findTranscript(text);
    if (written.empty()) {
        reading.fault = TranscriptFault{};
        return reading;
    }
    for (const WrittenMove& move : written)
        reading.cells.push_back(move.cell);
    reading.replay = replayMoves(reading.cells);
    if (const int bad = reading.replay.badMove; bad >= 0) {
        const WrittenMove& move = written[static_cast<std::size_t>(bad)];
        const auto kind = move.cell < 0 ? TranscriptFaultKind::NotACell : TranscriptFaultKind::NotPlayable;
        reading.fault = TranscriptFault{kind, bad + 1, move.text};
        reading.cells.resize(static_cast<std::size_t>(bad));
    }
    return reading;
}

} // namespace kestrel
