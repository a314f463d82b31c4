#include "ui/dialogs/settings_window.h"

#include <QFile>
#include <QLineEdit>

#include "platform/desktop.h"
#include "session/dialogs/dialog_ids.h"
#include "ui/input_method.h"
#include "ui/resources.h"

namespace kestrel {
namespace {

// The launcher names a picture file; the program's icon lives in the
// executable, so it is written beside it once.
void provideIconFile(const std::string& path)
{
    const QString target = QString::fromStdString(path);
    if (QFile::exists(target))
        return;
    initResources();
    QFile::copy(iconPath(), target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther);
}

} // namespace

Shortcut shortcutOnThisDesktop(const Settings& settings)
{
    Shortcut shortcut = prepareShortcut(settings, currentDesktopPlaces());
    shortcut.finishOnDesktop = [](const Shortcut& made) {
        provideIconFile(made.icon);
        markTrusted(made.path);
    };
    return shortcut;
}

SettingsWindow::SettingsWindow(Program& program, Shortcut shortcut)
    : DialogWindow({"設定", 183, 225}), logic_(program, *this, std::move(shortcut))
{
    addButton(dlg::kOk, {112, 210, 32, 14}, "OK", [this] { logic_.onOk(); });
    addButton(dlg::kCancel, {148, 210, 32, 14}, "ｷｬﾝｾﾙ", [this] { logic_.onCancel(); });
    addLineEdit(dlg::kAddressBox, {8, 120, 66, 12}, "追加するＩＰアドレス");
    addButton(dlg::kAddAddress, {76, 120, 30, 12}, "追加->>", [this] { logic_.onAddAddress(); });
    addButton(dlg::kDeleteAddress, {76, 134, 30, 12}, "削除<<-", [this] { logic_.onDeleteAddress(); });
    addList(dlg::kAddressList, {108, 120, 68, 84}, "ブロードキャストできないＩＰアドレス");
    addGroup({4, 6, 176, 60}, "初期設定");
    addLabel({8, 20, 38, 12}, "名　前");
    enableJapaneseInput(addLineEdit(dlg::kNameBox, {48, 20, 126, 12}, "名前"));
    addLabel({8, 36, 38, 12}, "ポート番号");
    addLineEdit(dlg::kPortBox, {48, 36, 36, 12}, "ポート番号");
    // Up to the button beside it: the range does not fit the 40 units of
    // the resource in this font.
    addLabel({88, 38, 45, 10}, "1000～30000");
    addButton(dlg::kStandardPort, {134, 36, 40, 12}, "標準に戻す", [this] { logic_.onStandardPort(); });
    addGroup({4, 104, 176, 104}, "ブロードキャストできないＩＰアドレス");
    addCheckBox(dlg::kDialUp, {8, 52, 78, 10}, "ダイヤルアップ接続");
    addCheckBox(dlg::kDesktopShortcut, {8, 82, 112, 12}, "デスクトップに登録する");
    addGroup({4, 70, 176, 30}, "随時設定");
    onCloseBox = [this] { logic_.onCancel(); };
    logic_.initialise();
}

SettingsWindow::~SettingsWindow() = default;

} // namespace kestrel
