#pragma once
// The common transcript of a game ("f5d6c3d3..."): a column letter a-h and a
// row number 1-8 per move, passes left out since they follow from the
// position. Column letter a-h is column 0-7 and row number 1-8 is row 0-7 of
// the board as the local player sees it, so "f5" is cell 4 * 8 + 5 = 37.
// Plain functions, no input or output: the window, the records and the
// engine tool all read and write transcripts through these.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/match_state.h"

namespace kestrel {

// The side to move when the game is over: neither.
inline constexpr Side kNoSide = 0;

// The four starting pieces: 27 white, 28 black, 35 black, 36 white.
Board startBoard();

// Plays `side` at `cell` on `board` without any view, turning what
// countFlips finds. Returns the number of pieces turned; 0 when the cell is
// not empty or the move turns nothing, and then the board is unchanged.
int applyMove(Board& board, int cell, Side side);

// Who moves after `mover` has moved on `board`: the opponent when it can
// move, else `mover` again (the opponent passes), else kNoSide.
Side sideToMoveAfter(const Board& board, Side mover);

// "f5" for cell 37; empty for an index outside 0-63.
std::string moveName(int cell);

// The cell a two-character name stands for ("f5" or "F5"), if any.
std::optional<int> cellOfMoveName(std::string_view name);

// The transcript of a move list: "f5d6c3", lower case, no separators.
// Cells outside 0-63 are left out (they are never played).
std::string transcriptText(std::span<const int> cells);

// One move as a text wrote it.
struct WrittenMove {
    int cell = -1;    // -1 when the text names no cell ("i3", "f0", "d66")
    std::string text; // as written: "F5", "i3"
};

// The moves of the transcript that a text holds. How a text is read:
// - Words are runs of characters between separators. Separators are ASCII
//   white space and punctuation, and the ideographic space and the
//   full-width comma and full stops (、。，．　).
// - A word of letters each followed by digits ("f5d6c3", "F5", "i9") holds
//   moves, one per letter; a word of digits is a move number; "pass", "pa"
//   and "ps" in any case are passes. All of these are skipped or taken as
//   moves; any other word ("Black:", "黒", "comment") is foreign text.
// - The transcript is the longest stretch of words without foreign text
//   (counted in moves; the first of equal stretches).
// So "f5d6c3", "F5 D6 C3", "1. f5 d6 2. c3", "f5, d6, c3" and one move per
// line with or without numbers all read as the same three moves. Written
// passes are skipped: the position says who moves. The text is UTF-8; moves
// are ASCII letters and digits, and a word with other characters is foreign.
std::vector<WrittenMove> findTranscript(std::string_view text);

// The position after each move of a game, from the start position.
struct ReplayStep {
    int cell = -1;
    Side mover = kNoSide;
    Board board{};         // after the move
    Side toMove = kNoSide; // next to move; after a pass the side that can move
};

struct Replay {
    std::vector<ReplayStep> steps; // one per move that could be played
    // Index of the first move that cannot be played (cell outside 0-63,
    // occupied, turning nothing, or after the end of the game); -1 when all
    // could be played. Steps stop before it.
    int badMove = -1;
};

Replay replayMoves(std::span<const int> cells);

// The position after the first `moves` steps (0: the start position), and
// the side to move there. `moves` is at most replay.steps.size().
Board positionAfter(const Replay& replay, std::size_t moves);
Side toMoveAfter(const Replay& replay, std::size_t moves);

// Why a transcript cannot be replayed.
enum class TranscriptFaultKind {
    NoMoves,    // the text holds no transcript
    NotACell,   // a move names no cell
    NotPlayable // a move on an occupied cell, turning nothing, or after the end
};

struct TranscriptFault {
    TranscriptFaultKind kind = TranscriptFaultKind::NoMoves;
    int number = 0;   // 1 for the transcript's first move; 0 for NoMoves
    std::string text; // the move as written; empty for NoMoves
};

// A text's transcript, checked by replaying it. Without a fault `cells`
// holds every move and `replay` every step; with one they stop before the
// move that cannot be played.
struct TranscriptReading {
    std::vector<int> cells;
    Replay replay;
    std::optional<TranscriptFault> fault;
};

TranscriptReading readTranscript(std::string_view text);

} // namespace kestrel
