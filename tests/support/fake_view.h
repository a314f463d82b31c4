#pragma once
// Recording game view: never pauses, keeps a virtual clock so that tests can
// check the timing of animations and pauses from the calls alone.

#include <bit>
#include <functional>
#include <string>
#include <vector>

#include "engine/game_view.h"

namespace kestrel::testing {

struct ViewCall {
    std::string op;     // "showCell", "showFlip", "showCounts", "setStatus", "showNotice",
                        // "playSound", "layoutBoard", "pause", "showHintMark", "announce",
                        // "showPosition", "showMoveMarks"
    int a = 0;          // cell, black count, sound, milliseconds, the last move's mark
    int b = 0;          // state, side, white count, the number of legal cells marked
    std::string text{}; // Shift-JIS text of setStatus / showNotice / announce
    int at = 0;         // virtual time in ms when the call began
};

class FakeView : public GameView {
public:
    // Length of the placing and flip animations, as the real view shows them.
    static constexpr int kAnimationMs = 200;

    std::vector<ViewCall> calls;
    int now = 0;       // virtual milliseconds
    int cellSize = 34; // geometry of the real board, for cellAt
    int boardLeft = 10;
    int boardTop = 25;
    std::string status; // last status text
    int shownBlack = -1, shownWhite = -1;
    Board position{}; // every cell as showCell and showPosition left it
    MoveMarks marks;  // as last shown
    // Runs while a notice is "open", so tests can deliver events meanwhile.
    std::function<void(const std::string&)> onNotice;

    void layoutBoard() override { record({"layoutBoard"}); }
    void showCell(int cell, int state) override
    {
        record({"showCell", cell, state});
        if (cell >= 0 && cell < kCellCount && state >= 0 && state <= 2)
            position[static_cast<std::size_t>(cell)] = static_cast<CellState>(state);
        if (state == 1 || state == 2)
            now += kAnimationMs;
    }
    void showFlip(int cell, int side) override
    {
        record({"showFlip", cell, side});
        if (cell >= 0 && cell < kCellCount && (side == 1 || side == 2))
            position[static_cast<std::size_t>(cell)] = static_cast<CellState>(side);
        if (side == 1 || side == 2)
            now += kAnimationMs;
    }
    void showCounts(int black, int white) override
    {
        shownBlack = black;
        shownWhite = white;
        record({"showCounts", black, white});
    }
    void setStatus(const std::string& text) override
    {
        status = text;
        record({"setStatus", 0, 0, text});
    }
    void showNotice(const std::string& text) override
    {
        record({"showNotice", 0, 0, text});
        if (onNotice)
            onNotice(text);
    }
    void playSound(Sound sound) override { record({"playSound", static_cast<int>(sound)}); }
    int cellAt(int x, int y) const override
    {
        if (x < boardLeft || y < boardTop)
            return -1;
        int col = (x - boardLeft) / cellSize;
        int row = (y - boardTop) / cellSize;
        return col < 8 && row < 8 ? row * 8 + col : -1;
    }
    void pause(int ms) override
    {
        record({"pause", ms});
        now += ms;
    }
    void showHintMark(int cell) override { record({"showHintMark", cell}); }
    void announce(const std::string& text) override { record({"announce", 0, 0, text}); }
    void showPosition(const Board& board) override
    {
        position = board;
        record({"showPosition"});
    }
    void showMoveMarks(const MoveMarks& shown) override
    {
        marks = shown;
        record({"showMoveMarks", shown.last, std::popcount(shown.legal)});
    }

    // Client point in the middle of cell k, for clicks.
    int xOf(int cell) const { return boardLeft + (cell % 8) * cellSize + cellSize / 2; }
    int yOf(int cell) const { return boardTop + (cell / 8) * cellSize + cellSize / 2; }

    std::vector<ViewCall> callsOf(const std::string& op) const
    {
        std::vector<ViewCall> out;
        for (const auto& c : calls)
            if (c.op == op)
                out.push_back(c);
        return out;
    }
    void clear() { calls.clear(); }

private:
    void record(ViewCall call)
    {
        call.at = now;
        calls.push_back(std::move(call));
    }
};

} // namespace kestrel::testing
