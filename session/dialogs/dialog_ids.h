#pragma once
// Ids of the controls of the secondary dialogs (settings, connect, help,
// about). OK and Cancel have the same ids in every dialog.

namespace kestrel::dlg {

constexpr int kOk = 1065; // the default button: Enter presses it
constexpr int kCancel = 1066;

// Settings dialog.
constexpr int kNameBox = 1068;
constexpr int kPortBox = 1069;
constexpr int kStandardPort = 1070; // "標準に戻す"
constexpr int kAddressBox = 1071;
constexpr int kAddAddress = 1072;
constexpr int kDeleteAddress = 1073;
constexpr int kAddressList = 1074;
constexpr int kDialUp = 1080;
constexpr int kDesktopShortcut = 1092;

// Connect dialog.
constexpr int kPeerList = 1075;
constexpr int kPortLabel = 1077;
constexpr int kRefresh = 1078;  // "リスト更新"
constexpr int kComputer = 1095; // "コンピュータと対戦する"

// Help and about dialogs.
constexpr int kHelpText = 1093;
constexpr int kMailButton = 1094;

} // namespace kestrel::dlg
