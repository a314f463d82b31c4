#include "ui/dialogs/help_window.h"

#include "session/dialogs/dialog_ids.h"
#include "session/dialogs/help_text.h"

namespace kestrel {

HelpWindow::HelpWindow() : DialogWindow({"説明", 211, 187, /*minimiseBox=*/false, /*topMost=*/true})
{
    addButton(dlg::kOk, {160, 170, 50, 14}, "OK", [this] { close(); });
    addTextView(dlg::kHelpText, {2, 2, 206, 164}, "説明");
    setText(dlg::kHelpText, helpText());
    onCloseBox = [this] { close(); };
    focus(dlg::kOk);
}

HelpWindow::~HelpWindow() = default;

} // namespace kestrel
