#pragma once
// The one way the secondary dialogs are built: a fixed-size dialog of the
// given dialog units with the program's font, icon and caption; controls
// placed from dialog units in template order (which makes the tab order),
// each named by its decimal id; Enter presses OK (1065, the default button),
// Escape does nothing, and the close box runs onCloseBox. It implements the
// controls interface that the dialogs' plain logic works through.

#include <QDialog>
#include <QRect>
#include <functional>

#include "session/dialogs/dialog_controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace kestrel {

class DialogWindow : public QDialog, public DialogControls {
    Q_OBJECT
public:
    struct Frame {
        const char* caption; // UTF-8
        int widthUnits;      // client size in dialog units
        int heightUnits;
        bool minimiseBox = false;
        bool topMost = false;
    };
    explicit DialogWindow(const Frame& frame);
    ~DialogWindow() override;

    // Shows the dialog and returns when it has closed. It blocks no other
    // window: datagrams, timers and the main window's clicks go on being
    // handled. It opens at the top left of `anchor` (the main window's
    // client area) when that is on screen, else in the middle of the screen.
    void run(QWidget* anchor);

    // What the close box does: Cancel, or OK where there is none.
    std::function<void()> onCloseBox;

    // The control with this id, or nullptr.
    QWidget* control(int id) const;

    // DialogControls
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void setChecked(int id, bool on) override;
    bool isChecked(int id) const override;
    void focus(int id) override;
    int itemCount(int listId) const override;
    std::string itemText(int listId, int position) const override;
    void insertItem(int listId, int position, const std::string& text) override;
    void deleteItem(int listId, int position) override;
    void clearItems(int listId) override;
    int selectedItem(int listId) const override;
    void selectItem(int listId, int position) override;
    void close() override;

    // The close box, Alt+F4 and a close the program asks for end here.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // Controls, in template order. id 0: a control without an id.
    QPushButton* addButton(int id, QRect units, const char* text, std::function<void()> onClick);
    QLabel* addLabel(QRect units, const char* text, Qt::Alignment align = Qt::AlignLeft, bool sunken = false,
                     int id = 0);
    QLineEdit* addLineEdit(int id, QRect units, const char* name);
    QListWidget* addList(int id, QRect units, const char* name);
    QCheckBox* addCheckBox(int id, QRect units, const char* text);
    QPlainTextEdit* addTextView(int id, QRect units, const char* name);
    // A frame with a title around controls; it never takes clicks meant for them.
    QGroupBox* addGroup(QRect units, const char* title);

    // A program text (Shift-JIS, "\r\n" line breaks) as a control shows it.
    static QString displayText(const std::string& text);

private:
    QListWidget* list(int id) const;
};

} // namespace kestrel
