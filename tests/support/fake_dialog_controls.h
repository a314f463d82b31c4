#pragma once
// Recording controls of one secondary dialog: texts, check boxes, list
// boxes with a single selection, the focus and whether it was closed.

#include <map>
#include <string>
#include <vector>

#include "session/dialogs/dialog_controls.h"

namespace kestrel::testing {

class FakeDialogControls : public DialogControls {
public:
    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, int> selected; // -1 or missing: none
    int focused = 0;
    int closeCount = 0;

    void setText(int id, const std::string& text) override { texts[id] = text; }
    std::string text(int id) const override
    {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void setChecked(int id, bool on) override { checked[id] = on; }
    bool isChecked(int id) const override
    {
        auto it = checked.find(id);
        return it != checked.end() && it->second;
    }
    void focus(int id) override { focused = id; }
    int itemCount(int listId) const override { return static_cast<int>(items(listId).size()); }
    std::string itemText(int listId, int position) const override
    {
        return items(listId).at(static_cast<std::size_t>(position));
    }
    void insertItem(int listId, int position, const std::string& text) override
    {
        std::vector<std::string>& list = lists[listId];
        list.insert(list.begin() + position, text);
        int& sel = selected.try_emplace(listId, -1).first->second;
        if (sel >= position)
            ++sel;
    }
    void deleteItem(int listId, int position) override
    {
        std::vector<std::string>& list = lists[listId];
        list.erase(list.begin() + position);
        int& sel = selected.try_emplace(listId, -1).first->second;
        if (sel == position)
            sel = -1;
        else if (sel > position)
            --sel;
    }
    void clearItems(int listId) override
    {
        lists[listId].clear();
        selected[listId] = -1;
    }
    int selectedItem(int listId) const override
    {
        auto it = selected.find(listId);
        return it == selected.end() ? -1 : it->second;
    }
    void selectItem(int listId, int position) override { selected[listId] = position; }
    void close() override { ++closeCount; }

    const std::vector<std::string>& items(int listId) const
    {
        static const std::vector<std::string> none;
        auto it = lists.find(listId);
        return it == lists.end() ? none : it->second;
    }
};

} // namespace kestrel::testing
