#pragma once
// The main window: board area, order-of-play box, names and counts, chat and
// status line under a menu bar of six commands. Every control carries its
// decimal id as objectName, so the board view and the tests find it; the
// logic reaches the controls through the Dialog interface.

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <map>

#include "session/ports.h"
#include "ui/look.h"

class QAction;
class QWidget;

namespace kestrel {

class BoardMenu;

// Lines the chat log keeps; older ones are dropped as new ones come. Far
// more than anyone scrolls back through, and a peer flooding chat lines
// cannot grow the program without limit (each line is at most 999 bytes).
constexpr int kChatLogLines = 1000;

// Client area of the window in pixels, below the menu bar.
constexpr int kClientWidth = 523;
constexpr int kClientHeight = 340;

class MainWindow final : public QMainWindow, public Dialog {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Menu items and the buttons 1083, 1087, 1088, 1093, by id. A command
    // runs from the event loop after its trigger has returned, so that the
    // menu item or button (and whoever activated it: a screen reader waits
    // for the answer) is not held while the command's dialogs and boxes run
    // their nested event loops.
    std::function<void(int id)> onCommand;
    // The close box (and Alt+F4). While set, the window does not close by itself:
    // the handler runs the Exit command. Closes the program asks for itself
    // (close(), or quitting the event loop) go through.
    std::function<void()> onClose;
    // A left-button press in the client area, in client coordinates; like a
    // command, it runs from the event loop after the press has returned.
    std::function<void(int x, int y)> onBoardPress;
    // A press on the board at (x, y) from elsewhere (the keyboard): onBoardPress
    // from the event loop, as for a press of the mouse.
    void pressBoard(int x, int y);
    // Command id from the event loop, as its menu item runs it.
    void command(int id);

    // The board's context menu. Its items are commands (onCommand) and are
    // enabled and checked by id like the menu bar's; a right click on the
    // board opens it, and so does openBoardMenu (the board's keys).
    BoardMenu& boardMenu() const { return *boardMenu_; }
    void openBoardMenu(QPoint global);
    // True for a point of the client area on the board (its frame included).
    bool onBoard(QPoint client) const;

    // The area below the menu bar that holds every control; the board view
    // places its cells here.
    QWidget* client() const { return client_; }
    // The control or menu item with this id, or nullptr.
    QWidget* control(int id) const;
    QAction* menuItem(int id) const;

    // Dialog; setChecked and isChecked take the board menu's items too, and
    // setText gives a menu item its text (an empty one hides the item).
    void enable(int id, bool on) override;
    void setChecked(int id, bool on) override;
    bool isChecked(int id) const override;
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void appendText(int id, const std::string& text) override;
    void focus(int id) override;
    void restoreIfMinimised() override;
    void bringToFront() override;
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showInformation(const std::string& text) override;
    // Any modal window of the program: a box, a dialog, a file dialog.
    bool boxOpen() const override;
    void copyText(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The chat input lets undo and redo pass to the window when it has no
    // typing of its own to undo or redo.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createMenu();
    void createTakeBackKeys();
    void setTabOrder();

    QWidget* client_ = nullptr;
    BoardMenu* boardMenu_ = nullptr;
    std::map<int, QAction*> menuItems_;
    bool shownBefore_ = false;
};

} // namespace kestrel
