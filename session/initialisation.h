#pragma once
// The main window's start: settings, board, socket and the first announcement,
// in the order the window is brought up.

#include <functional>
#include <string>

namespace kestrel {

struct Program;

// How opening the socket went. A failing step has already shown its box.
enum class SocketOpenResult { Ok, PortFailed, OtherFailed };

struct InitialisationHooks {
    // The account's login name, Shift-JIS, empty when it could not be obtained.
    std::string loginName;
    // Opens the socket on settings.port and works out match.broadcastAddress.
    std::function<SocketOpenResult()> openSocket;
    // Runs a command of the window as if chosen from its menu (Settings, Exit).
    std::function<void(int id)> command;
};

// Brings the program up: control states, login name, settings files and
// preferences, board, counts, the socket and the first MSG_HELLO; on a
// socket failure the settings dialog (for a port that cannot be used) and
// then Exit.
// Returns true when the program runs on.
bool initialiseMainDialog(Program& program, const InitialisationHooks& hooks);

} // namespace kestrel
