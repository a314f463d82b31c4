#include "ui/dialogs/about_window.h"

#include <QLabel>

#include "session/dialogs/about_dialog.h"
#include "session/dialogs/dialog_ids.h"

namespace kestrel {

AboutWindow::AboutWindow(Dialog& dialog, std::function<bool(const std::string& link)> openLink)
    : DialogWindow({"情報", 187, 51, /*minimiseBox=*/false, /*topMost=*/true})
{
    addButton(dlg::kOk, {158, 24, 28, 26}, "OK", [this] { close(); });
    addLabel({2, 2, 72, 20}, "", Qt::AlignHCenter, /*sunken=*/true)->setText(displayText(aboutTitleText()));
    addLabel({76, 2, 110, 20}, "", Qt::AlignHCenter, /*sunken=*/true)
        ->setText(displayText(makerNoticeText()));
    addButton(dlg::kMailButton, {2, 24, 154, 26}, "",
              [this, &dialog, openLink = std::move(openLink)] { onMailButton(dialog, *this, openLink); });
    setText(dlg::kMailButton, mailButtonText());
    onCloseBox = [this] { close(); };
    focus(dlg::kOk);
}

AboutWindow::~AboutWindow() = default;

} // namespace kestrel
