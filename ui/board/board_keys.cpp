#include "ui/board/board_keys.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

#include "ui/board/board_view.h"

namespace kestrel {
namespace {

// The cell an arrow key leads to; the mark stops at the edges of the board.
int cellAfter(int cell, int key)
{
    const int row = cell / 8, column = cell % 8;
    switch (key) {
    case Qt::Key_Left:
        return column > 0 ? cell - 1 : cell;
    case Qt::Key_Right:
        return column < 7 ? cell + 1 : cell;
    case Qt::Key_Up:
        return row > 0 ? cell - 8 : cell;
    case Qt::Key_Down:
        return row < 7 ? cell + 8 : cell;
    default:
        return cell;
    }
}

} // namespace

BoardKeys::BoardKeys(BoardView& view) : view_(view)
{
    for (int k = 0; k < kCellCount; ++k) {
        if (QLabel* cell = view_.cellLabel(k)) {
            // Focus by the keys only: the cells let every click through to the window.
            cell->setFocusPolicy(k == marked_ ? Qt::TabFocus : Qt::ClickFocus);
            cell->installEventFilter(this);
        }
    }
}

void BoardKeys::mark(int cell)
{
    if (cell < 0 || cell >= kCellCount || cell == marked_)
        return;
    QLabel* from = view_.cellLabel(marked_);
    QLabel* to = view_.cellLabel(cell);
    marked_ = cell;
    if (from == nullptr || to == nullptr)
        return;
    // The marked cell is the board's one tab stop.
    from->setFocusPolicy(Qt::ClickFocus);
    to->setFocusPolicy(Qt::TabFocus);
    // The focus goes along when the board has it in its window (active or not).
    if (from->window()->focusWidget() == from)
        to->setFocus(Qt::OtherFocusReason); // moves the drawn mark through the focus events
}

void BoardKeys::focusMarked()
{
    if (QLabel* cell = view_.cellLabel(marked_))
        cell->setFocus(Qt::OtherFocusReason);
}

bool BoardKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        view_.showMark(view_.cellLabel(marked_) == watched ? marked_ : -1);
        break;
    case QEvent::FocusOut:
        view_.showMark(-1);
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
        if ((others == Qt::NoModifier && key->key() == Qt::Key_Menu) ||
            (others == Qt::ShiftModifier && key->key() == Qt::Key_F10)) {
            openMenu();
            return true;
        }
        if (others == Qt::NoModifier && keyPressed(key->key()))
            return true;
        break;
    }
    case QEvent::ContextMenu:
        // The window system's own menu event for the Menu key; its press
        // has been taken above where it came as a key.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
            openMenu();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void BoardKeys::openMenu()
{
    QLabel* cell = view_.cellLabel(marked_);
    if (onMenu && cell != nullptr)
        onMenu(cell->mapToGlobal(cell->rect().center()));
}

bool BoardKeys::keyPressed(int key)
{
    const bool replayKey = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
                           key == Qt::Key_End || key == Qt::Key_Escape;
    if (replayKey && onReplayKey && onReplayKey(key))
        return true;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        mark(cellAfter(marked_, key));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (onPress) {
            const QPoint middle = view_.cellMiddle(marked_);
            onPress(middle.x(), middle.y());
        }
        return true;
    default:
        return false;
    }
}

} // namespace kestrel
