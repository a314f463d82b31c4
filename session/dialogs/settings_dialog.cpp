#include "session/dialogs/settings_dialog.h"

#include <vector>

#include "session/dialogs/dialog_controls.h"
#include "session/dialogs/dialog_ids.h"
#include "session/peers.h"
#include "session/program.h"
#include "settings/settings_files.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

unsigned char folded(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

} // namespace

std::string nameFromBox(const std::string& boxText, const std::string& loginName)
{
    if (boxText.empty()) {
        // Without a login name the program's own default stands in, as at
        // start-up: an empty name would reach other players as "0".
        return loginName.empty() ? std::string(kDefaultPlayerName) : cutCp932(loginName, kMaxNameBytes);
    }
    return cutCp932(boxText, kMaxNameBytes);
}

std::int32_t portFromBox(std::string_view boxText)
{
    return decimalValue(boxText.substr(0, kPortBoxChars));
}

bool addressBefore(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (folded(a[i]) != folded(b[i]))
            return folded(a[i]) < folded(b[i]);
    }
    return a.size() < b.size();
}

SettingsDialog::SettingsDialog(Program& program, DialogControls& controls, Shortcut shortcut)
    : program_(program), controls_(controls), shortcut_(std::move(shortcut))
{
}

void SettingsDialog::initialise()
{
    const Settings& settings = program_.settings;
    controls_.setChecked(dlg::kDesktopShortcut, shortcutExists(shortcut_));
    controls_.setText(dlg::kNameBox, settings.playerName);
    controls_.setText(dlg::kPortBox, std::to_string(settings.port));
    controls_.clearItems(dlg::kAddressList);
    for (const std::string& address : settings.extraAddresses)
        insertSorted(address);
    controls_.setChecked(dlg::kDialUp, settings.dialUp == 1);
    controls_.focus(dlg::kNameBox);
}

void SettingsDialog::onStandardPort()
{
    controls_.setText(dlg::kPortBox, std::to_string(kStandardPort));
    controls_.focus(dlg::kOk);
}

void SettingsDialog::onAddAddress()
{
    // A record holds 15 bytes: what is added is what will be saved.
    const std::string address = cutCp932(controls_.text(dlg::kAddressBox), kMaxAddressBytes);
    if (!address.empty()) {
        insertSorted(address);
        controls_.setText(dlg::kAddressBox, std::string());
    }
    controls_.focus(dlg::kAddressBox);
}

void SettingsDialog::onDeleteAddress()
{
    const int selected = controls_.selectedItem(dlg::kAddressList);
    if (selected >= 0)
        controls_.deleteItem(dlg::kAddressList, selected);
    controls_.focus(dlg::kAddressBox);
}

void SettingsDialog::onOk()
{
    Settings& settings = program_.settings;
    settings.playerName = nameFromBox(controls_.text(dlg::kNameBox), settings.loginUserName);

    const std::int32_t port = portFromBox(controls_.text(dlg::kPortBox));
    if (port < kLowestPort || port > kHighestPort) {
        program_.dialog.showError(SJ("ポート番号が範囲外です"));
        controls_.focus(dlg::kPortBox);
        return;
    }
    settings.port = port;
    settings.dialUp = controls_.isChecked(dlg::kDialUp) ? 1 : 0;

    if (!saveFiles())
        return;

    // Without a socket (the port could not be bound at start-up) there is
    // nothing to announce with: every send would only bring up an error box.
    if (program_.match.socketFailed == 0)
        sendToAll(program_, MSG_HELLO, announcementPayload(settings));
    program_.match.dialogAccepted = 1;
    controls_.close();
}

bool SettingsDialog::saveFiles()
{
    Settings& settings = program_.settings;
    SaveResult result = writeSettingsFile(settings);
    if (result != SaveResult::Ok) {
        program_.dialog.showError(saveFailureText(result));
        return false;
    }
    if (controls_.isChecked(dlg::kDesktopShortcut))
        createShortcut(shortcut_);
    else
        deleteShortcut(shortcut_);

    std::vector<std::string> shown;
    const int count = controls_.itemCount(dlg::kAddressList);
    for (int i = 0; i < count; ++i)
        shown.push_back(controls_.itemText(dlg::kAddressList, i));
    result = writeAddressList(settings, shown);
    if (result != SaveResult::Ok) {
        program_.dialog.showError(saveFailureText(result));
        return false;
    }
    return true;
}

void SettingsDialog::onCancel()
{
    program_.match.dialogAccepted = 0;
    controls_.close();
}

void SettingsDialog::insertSorted(const std::string& address)
{
    int position = controls_.itemCount(dlg::kAddressList);
    while (position > 0 && addressBefore(address, controls_.itemText(dlg::kAddressList, position - 1)))
        --position;
    controls_.insertItem(dlg::kAddressList, position, address);
}

} // namespace kestrel
