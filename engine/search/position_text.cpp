#include "engine/search/position_text.h"

#include <vector>

namespace kestrel::search {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// The cell a character stands for, or -1.
int cellStateOf(char c)
{
    switch (c) {
    case 'X':
    case 'x':
    case '*':
        return kBlack;
    case 'O':
    case 'o':
        return kWhite;
    case '-':
    case '.':
        return kEmpty;
    default:
        return -1;
    }
}

// The text in quotes, bytes outside printable ASCII as \xNN.
std::string quoted(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "'";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out + "'";
}

PositionLine fault(std::string message)
{
    PositionLine line;
    line.kind = PositionLine::Kind::Fault;
    line.fault = std::move(message);
    return line;
}

} // namespace

PositionLine readPositionLine(std::string_view text)
{
    if (const std::size_t comment = text.find(';'); comment != std::string_view::npos)
        text = text.substr(0, comment);
    const std::vector<std::string_view> words = wordsOf(text);
    if (words.empty())
        return {};
    const std::string_view cells = words[0];
    if (cells.size() != kCellCount)
        return fault("the board has " + std::to_string(cells.size()) + " cells, not 64");
    PositionLine line;
    for (int k = 0; k < kCellCount; ++k) {
        const int state = cellStateOf(cells[static_cast<std::size_t>(k)]);
        if (state < 0)
            return fault("cell " + moveName(k) + " is " +
                         quoted(cells.substr(static_cast<std::size_t>(k), 1)) + ", not X, O or -");
        line.board[k] = static_cast<CellState>(state);
    }
    if (words.size() == 1)
        return fault("the side to move (X or O) is missing after the board");
    const int side = words[1].size() == 1 ? cellStateOf(words[1][0]) : -1;
    if (side != kBlack && side != kWhite)
        return fault("the side to move is " + quoted(words[1]) + ", not X or O");
    if (words.size() > 2)
        return fault("unexpected " + quoted(words[2]) + " after the side to move");
    line.kind = PositionLine::Kind::Position;
    line.side = side;
    return line;
}

std::string positionLineOf(const Board& board, Side side)
{
    std::string text;
    for (CellState cell : board)
        text += cell == kBlack ? 'X' : cell == kWhite ? 'O' : '-';
    text += side == kBlack ? " X" : " O";
    return text;
}

std::string moveName(int move)
{
    if (move < 0 || move >= kCellCount)
        return "pass";
    return {static_cast<char>('a' + move % 8), static_cast<char>('1' + move / 8)};
}

} // namespace kestrel::search
