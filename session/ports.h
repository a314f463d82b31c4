#pragma once
// The ports the logic talks to, apart from the game view (engine/game_view.h):
// datagram transport, timers, the main window's controls and modal boxes, its
// dialogs. Implemented on Qt in platform/ and ui/; recording fakes in tests/support.

#include <cstdint>
#include <string>
#include <string_view>

#include "wire/address.h"

namespace kestrel {

class Transport {
public:
    virtual ~Transport() = default;
    // Sends one datagram. Returns 0 when the socket took it, else the socket's error code.
    virtual int sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes) = 0;
    // Host-name look-up: the first IPv4 address of the answer; false when there is none.
    virtual bool resolve(const std::string& hostName, Ipv4& address) = 0;
};

// Timers of the main window by identifier (the retry timers, id = seq).
class Timers {
public:
    virtual ~Timers() = default;
    // Starts timer id, replacing a running one with the same id.
    virtual void start(int id, int ms) = 0;
    // Stops timer id; nothing happens when it is not running.
    virtual void stop(int id) = 0;
};

// The main window's controls, addressed by their ids (1001-1095, menu
// 40001-40007), and the program's modal boxes. Texts are Shift-JIS bytes.
class Dialog {
public:
    virtual ~Dialog() = default;
    virtual void enable(int id, bool on) = 0; // menu items are grayed when off
    virtual void setChecked(int id, bool on) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void setText(int id, const std::string& text) = 0;
    virtual std::string text(int id) const = 0;
    virtual void appendText(int id, const std::string& text) = 0; // at the end of an edit
    virtual void focus(int id) = 0;
    virtual void restoreIfMinimised() = 0;
    virtual void bringToFront() = 0; // raise without staying top-most
    // Caption "エラー", warning icon, OK.
    virtual void showError(const std::string& text) = 0;
    // Caption "確認", question icon, Yes and No. True for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // Caption "確認", information icon, OK.
    virtual void showInformation(const std::string& text) = 0;
    // True while a box or a dialog of the program is open: a command that
    // must not run under one (undo, redo) asks when it runs.
    virtual bool boxOpen() const = 0;
    // Puts text (Shift-JIS) on the desktop's clipboard for other programs.
    virtual void copyText(const std::string& text) = 0;
};

// The main window's modal dialogs. Each call returns when its dialog has
// closed; the outcome is in the program record (match.dialogAccepted and the
// fields the dialog sets). Events keep being handled while one is open.
class SecondaryDialogs {
public:
    virtual ~SecondaryDialogs() = default;
    virtual void runConnectDialog() = 0;
    virtual void runSettingsDialog() = 0;
    virtual void runHelpDialog() = 0;
    virtual void runAboutDialog() = 0;
    // The file dialogs of the game records: the path chosen (the file
    // system's bytes), or empty when the player cancelled. Saving suggests
    // `suggestedName` and asks before a file is replaced.
    virtual std::string runSaveRecordDialog(const std::string& suggestedName) = 0;
    virtual std::string runOpenRecordDialog() = 0;
    // When one of these dialogs is open: brings it to the front and returns
    // true. A command that would open a second one does this instead.
    virtual bool raiseOpenDialog() = 0;
};

// The list box of an open connect dialog, kept in step with the peer list.
class PeerListView {
public:
    virtual ~PeerListView() = default;
    virtual void insertItem(int position, const std::string& name) = 0;
    virtual void deleteItem(int position) = 0;
    virtual bool isSelected(int position) const = 0;
    virtual void select(int position) = 0;
};

} // namespace kestrel
