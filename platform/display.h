#pragma once
// Whether a start can open its display, decided before the window system
// library starts: that library ends the process with an abort when its
// only platform cannot connect. The decision is plain data in, plain data
// out; the X connection attempt is passed in.

#include <functional>
#include <string>
#include <vector>

namespace kestrel {

// The environment variables the window system library chooses by.
struct DisplayEnvironment {
    std::string qpaPlatform;    // QT_QPA_PLATFORM: "xcb", "offscreen", "wayland;xcb", "xcb:option", ...
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string display;        // DISPLAY
};

// The platforms the library tries, in its order: QT_QPA_PLATFORM's list
// (names without their options), or else the Wayland one first when
// WAYLAND_DISPLAY is set or the session is a Wayland one, then X.
std::vector<std::string> platformsTried(const DisplayEnvironment& env);

enum class DisplayCheck {
    Usable,      // an X display answered, or a platform other than X comes first
    NoDisplay,   // only X would do, and DISPLAY is not set
    Unreachable, // only X would do, and nothing answers at DISPLAY
};

// Platforms other than X are left to the library (offscreen needs nothing;
// the others are rare, and their failure is caught as it happens).
DisplayCheck checkDisplay(const DisplayEnvironment& env,
                          const std::function<bool(const std::string& display)>& xDisplayAnswers);

// One line for the terminal: why the program cannot start here.
std::string displayProblemText(DisplayCheck check, const DisplayEnvironment& env);

} // namespace kestrel
