#pragma once
// Keyboard play on the board. One cell at a time carries the keyboard mark
// and is the board's one stop in the tab order (after the game-end button):
// the arrow keys move the mark, and the keyboard focus with it, from cell to
// cell; Enter or Space press the marked cell as a click in its middle would.
// The mark is drawn while the board has the focus. Screen readers follow the
// focus from cell to cell and read each cell's name ("4行4列 空き"). The Menu
// key and Shift+F10 open the board's context menu. While a game record is
// replayed, Left, Right, Home, End and Escape step through it instead.

#include <QObject>
#include <QPoint>
#include <functional>

namespace kestrel {

class BoardView;

class BoardKeys final : public QObject {
public:
    static constexpr int kFirstMarked = 27; // 4行4列, beside the centre

    // Takes the cells' key and focus events.
    explicit BoardKeys(BoardView& view);

    int marked() const { return marked_; }
    // Moves the mark (and the focus, if the board has it) to a cell.
    void mark(int cell);
    // Gives the keyboard focus to the marked cell.
    void focusMarked();

    // Enter or Space on the marked cell, with the middle of the cell in the
    // client area's coordinates.
    std::function<void(int x, int y)> onPress;
    // The Menu key or Shift+F10, with the middle of the marked cell on the screen.
    std::function<void(QPoint global)> onMenu;
    // Left, Right, Home, End or Escape (Qt::Key): true when a replay took
    // it; otherwise the arrows move the mark.
    std::function<bool(int key)> onReplayKey;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(int key);
    void openMenu();

    BoardView& view_;
    int marked_ = kFirstMarked;
};

} // namespace kestrel
