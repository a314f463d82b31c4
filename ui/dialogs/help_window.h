#pragma once
// The help dialog: the help text, read-only and scrolling, and OK.

#include "ui/dialogs/dialog_window.h"

namespace kestrel {

class HelpWindow final : public DialogWindow {
    Q_OBJECT
public:
    HelpWindow();
    ~HelpWindow() override;
};

} // namespace kestrel
