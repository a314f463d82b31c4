#pragma once
// The controls of an open secondary dialog as its decisions need them,
// addressed by id. Texts are Shift-JIS bytes. The Qt dialogs implement it;
// tests use a recording fake.

#include <string>

namespace kestrel {

class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual void setText(int id, const std::string& text) = 0;
    virtual std::string text(int id) const = 0;
    virtual void setChecked(int id, bool on) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void focus(int id) = 0;

    // List boxes: entries by position, single selection.
    virtual int itemCount(int listId) const = 0;
    virtual std::string itemText(int listId, int position) const = 0;
    // Inserts before `position`; the entry count puts it at the end.
    virtual void insertItem(int listId, int position, const std::string& text) = 0;
    virtual void deleteItem(int listId, int position) = 0;
    virtual void clearItems(int listId) = 0;
    virtual int selectedItem(int listId) const = 0; // -1 when none is selected
    virtual void selectItem(int listId, int position) = 0;

    // Ends the dialog. The handler that asks returns first; the dialog's run
    // returns after it.
    virtual void close() = 0;
};

} // namespace kestrel
