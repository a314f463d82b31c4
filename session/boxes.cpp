#include "session/boxes.h"

#include <algorithm>

#include "session/program.h"

namespace kestrel {

void showErrorBox(Program& program, const std::string& text)
{
    std::vector<std::string>& open = program.boxes.errors;
    if (open.size() >= OpenBoxes::kMaxErrorBoxes || std::find(open.begin(), open.end(), text) != open.end())
        return;
    open.push_back(text);
    program.dialog.showError(text);
    // Boxes close in the reverse order they opened, but remove by text all the same.
    open.erase(std::find(open.begin(), open.end(), text));
}

} // namespace kestrel
