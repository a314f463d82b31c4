#pragma once
// The desktop shortcut to the program: a launcher file "kestrelbay.desktop"
// in the user's desktop folder. Where that folder is follows the XDG user
// directories (the rule of xdg-user-dir) as a function of plain data, so it
// is tested without touching the environment. Nothing here reports a
// failure to the player.

#include <functional>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace kestrel {

inline constexpr const char* kShortcutFileName = "kestrelbay.desktop";
// The launcher's icon, a picture file beside the executable.
inline constexpr const char* kShortcutIconName = "kestrelbay.png";

// What the desktop folder is worked out from.
struct DesktopPlaces {
    std::string home;                    // the home folder; empty when unknown
    std::string xdgConfigHome;           // $XDG_CONFIG_HOME as set, possibly empty
    std::optional<std::string> userDirs; // the user-dirs.dirs file's content, when it could be read
};

// $XDG_CONFIG_HOME/user-dirs.dirs when that is an absolute path, else
// ~/.config/user-dirs.dirs; empty when neither can be named.
std::string userDirsFilePath(const std::string& home, const std::string& xdgConfigHome);

// The desktop folder without a trailing slash: the last valid
// XDG_DESKTOP_DIR line of the user-dirs file ("$HOME/..." or an absolute
// path in double quotes), else ~/Desktop. Empty when no home is known and
// the file names no absolute folder.
std::string desktopFolder(const DesktopPlaces& places);

// The contents of the launcher: starts target in workingDirectory, with icon.
// Exec holds the target as one quoted argument, so any path is safe there.
std::string launcherText(const std::string& target, const std::string& workingDirectory,
                         const std::string& icon);

// The places of this process: $HOME (or the account's home folder),
// $XDG_CONFIG_HOME and the user-dirs file.
DesktopPlaces currentDesktopPlaces();

struct Shortcut {
    std::string path;             // the launcher file; empty when no desktop folder is known
    std::string target;           // the executable
    std::string workingDirectory; // its folder
    std::string icon;             // the icon file beside it
    // After the file is written: the platform's finishing touches (the icon
    // file, the desktop's trust mark). Optional; failures are its own.
    std::function<void(const Shortcut&)> finishOnDesktop;
};

// The shortcut of the running program, worked out anew each time the
// settings dialog opens.
Shortcut prepareShortcut(const Settings& settings, const DesktopPlaces& places);

// True when something exists at the shortcut's path.
bool shortcutExists(const Shortcut& shortcut);
// Writes the launcher (whole or not at all) and makes it executable. False
// when it could not be written; the desktop folder is never created.
bool createShortcut(const Shortcut& shortcut);
// Removes the launcher; a missing one is no error.
void deleteShortcut(const Shortcut& shortcut);

} // namespace kestrel
