#pragma once
// The board's context menu: "ヒント", undo and redo, the computer's levels
// under "コンピュータの強さ" as radio items, the two marks as check items, the
// game records (copy, save, open, the recent games as a submenu) and the
// steps of a replay. It opens at a right click on the board, or at the Menu
// key or Shift+F10 on it; nothing of it is drawn before. Its items are
// commands by id (session/control_ids.h), like the menu bar's: choosing one
// calls onCommand, and the logic sets their states and the recent games'
// texts through the main window's Dialog port from onOpen, just before the
// menu shows.

#include <QMenu>
#include <functional>
#include <map>

namespace kestrel {

class BoardMenu final : public QMenu {
    Q_OBJECT
public:
    explicit BoardMenu(QWidget* parent);

    enum class Check { None, Box, Radio };
    // An item that runs command `id`, at the end of `into` (a submenu) or of
    // the menu itself. Box items check and clear themselves; the Radio items
    // of one submenu exclude one another.
    QAction* addCommand(int id, const QString& text, Check check = Check::None, QMenu* into = nullptr);
    // A submenu; with an id, the item that opens it is enabled by that id.
    QMenu* addSubmenu(const QString& text, int id = 0);
    // The item of command id (or of a submenu's id), or nullptr.
    QAction* item(int id) const;

    // Shows the menu with its top-left corner at a point of the screen,
    // unless it is open already.
    void openAt(QPoint global);

    std::function<void(int id)> onCommand;
    std::function<void()> onOpen;

private:
    void addTakeBack();
    void addRecords();
    void addReplaySteps();

    std::map<int, QAction*> items_;
    std::map<QMenu*, QActionGroup*> radioGroups_;
};

} // namespace kestrel
