#pragma once
// What the game logic may do to the screen. The Qt board view implements it;
// tests use a recording fake that never pauses.

#include <cstdint>
#include <string>

#include "engine/match_state.h"

namespace kestrel {

enum class Sound { Place, Flip, Win, Lose };

// The marks the player may switch on over the board's cells.
struct MoveMarks {
    std::uint64_t legal = 0; // bit k: the player may play cell k now
    int last = -1;           // the cell of the last move made, or -1
    bool operator==(const MoveMarks&) const = default;
};

class GameView {
public:
    virtual ~GameView() = default;

    // Puts the name line, the board frame and the 64 cells at their pixel positions.
    virtual void layoutBoard() = 0;
    // state 0: the empty picture at once; 1 or 2: the placing animation (200 ms);
    // anything else: refresh only.
    virtual void showCell(int cell, int state) = 0;
    // The flip animation to side 1 or 2 (200 ms); any other value does nothing.
    virtual void showFlip(int cell, int side) = 0;
    virtual void showCounts(int black, int white) = 0;
    // Texts are Shift-JIS bytes.
    virtual void setStatus(const std::string& text) = 0;
    // Modal "情報" box; returns when the player closes it. Events keep being
    // handled meanwhile.
    virtual void showNotice(const std::string& text) = 0;
    // Returns at once; a new sound cuts off the one still playing.
    virtual void playSound(Sound sound) = 0;
    // The cell under a point of the main window's client area, or -1.
    virtual int cellAt(int x, int y) const = 0;
    // Blocks the thread for ms milliseconds; no event is handled meanwhile.
    virtual void pause(int ms) = 0;
    // Draws the hint's mark over cell k's picture, painted at once; the
    // picture itself stays as it is. -1 takes the mark away.
    virtual void showHintMark(int cell) = 0;
    // Says the text to screen readers, even when it was said last; nothing is drawn.
    virtual void announce(const std::string& text) = 0;
    // Shows every cell as the board holds it at once: no animation, no
    // pause, no sound (undo, redo and a replay's steps).
    virtual void showPosition(const Board& board) = 0;
    // Draws the move marks over the cells' pictures, painted at once; the
    // pictures themselves stay as they are. No marks: the pictures alone.
    virtual void showMoveMarks(const MoveMarks& marks) = 0;
};

} // namespace kestrel
