#pragma once
// Recording list box of an open connect dialog.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/ports.h"

namespace kestrel::testing {

class FakePeerListView : public PeerListView {
public:
    std::vector<std::string> items;
    int selected = -1;            // single selection, -1 for none
    std::vector<std::string> log; // "insert 0 name", "delete 0", "select 0"

    void insertItem(int position, const std::string& name) override
    {
        log.push_back("insert " + std::to_string(position) + " " + name);
        if (position < 0 || position > static_cast<int>(items.size())) {
            ADD_FAILURE() << "insert at " << position << " into " << items.size() << " items";
            return;
        }
        items.insert(items.begin() + position, name);
        if (selected >= position)
            ++selected;
    }
    void deleteItem(int position) override
    {
        log.push_back("delete " + std::to_string(position));
        if (position < 0 || position >= static_cast<int>(items.size())) {
            ADD_FAILURE() << "delete at " << position << " of " << items.size() << " items";
            return;
        }
        items.erase(items.begin() + position);
        if (selected == position)
            selected = -1;
        else if (selected > position)
            --selected;
    }
    bool isSelected(int position) const override { return selected == position; }
    void select(int position) override
    {
        log.push_back("select " + std::to_string(position));
        selected = position;
    }
};

} // namespace kestrel::testing
