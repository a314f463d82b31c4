#pragma once
// The about dialog: title and version, the maker's notice, the feedback
// mail button and OK.

#include <functional>
#include <string>

#include "ui/dialogs/dialog_window.h"

namespace kestrel {

class Dialog;

class AboutWindow final : public DialogWindow {
    Q_OBJECT
public:
    // dialog: where the warning box comes from. openLink: hands a link to
    // the desktop, true when a program took it.
    AboutWindow(Dialog& dialog, std::function<bool(const std::string& link)> openLink);
    ~AboutWindow() override;
};

} // namespace kestrel
