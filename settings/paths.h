#pragma once
// Where the running program and its settings files lie. The files are
// looked for beside the executable, whatever the working directory is, as
// long as the player may write there; an installed copy, whose folder the
// player cannot write, keeps them in the user's configuration folder.

#include <string>

#include "settings/settings.h"

namespace kestrel {

inline constexpr const char* kSettingsFileName = "lumenini.fil";
inline constexpr const char* kAddressListFileName = "lumenip.fil";
inline constexpr std::size_t kExeFileNameBuffer = 128;

// Full path of the running executable, from /proc/self/exe; when that cannot
// be read, argv0 made absolute (looked up on PATH when it holds no '/').
// Paths of any length are taken whole.
std::string currentExecutablePath(const char* argv0);

// argv0 as an absolute path: a bare command name is looked up on PATH, any
// other relative name is taken from the working directory.
std::string absoluteProgramPath(const char* argv0);

// The folder of the user's configuration below which the files go when the
// executable's folder cannot hold them.
inline constexpr const char* kConfigFolderName = "kestrelbay";

// What decides where the settings files live, gathered once at start-up.
struct SettingsPlaceFacts {
    std::string exeDirectory;           // ends in '/'
    bool exeDirectoryWritable = false;  // files may be created in it
    bool exeDirectoryInstalled = false; // the folder the build installs the program into
    std::string xdgConfigHome;          // $XDG_CONFIG_HOME, as set
    std::string home;                   // $HOME, or the account's home folder when it is unset
};

// The folder (ending in '/') that holds both settings files, for loading and
// saving alike:
// - the executable's folder when it may be written and is not the folder
//   the program is installed into: a copy unpacked into a folder of the
//   player's own keeps its settings beside itself;
// - otherwise "kestrelbay/" in $XDG_CONFIG_HOME, or in $HOME/.config when
//   that is unset or not an absolute path;
// - the executable's folder after all when neither gives an absolute path.
std::string settingsDirectoryFor(const SettingsPlaceFacts& facts);

// The facts for an executable in exeDirectory, from the file system and the
// environment of this process.
SettingsPlaceFacts settingsPlaceFacts(const std::string& exeDirectory);

// Whether this process may create files in directory (its permission bits,
// a read-only mount, its existence).
bool directoryWritable(const std::string& directory);

// Sets exePath, exeDirectory (up to and including the last '/'), and
// settingsFilePath and addressListPath in settingsDirectory.
void fillPaths(Settings& settings, const std::string& exePath, const std::string& settingsDirectory);

// The same, with the settings directory decided for this process by
// settingsDirectoryFor(settingsPlaceFacts(...)).
void fillPaths(Settings& settings, const std::string& exePath);

// The part of exePath after its last '/' (all of it when it has none), or ""
// when that name in Shift-JIS with a terminating zero would not fit 128 bytes.
std::string executableFileName(const std::string& exePath);

// The text of the box shown when another copy is already running:
// "<file name>\nこのプログラムは既に起動しています", as Shift-JIS bytes. The
// file name is given as the file system holds it (UTF-8).
std::string duplicateStartText(const std::string& exeFileName);
// Its caption, "二重起動", as Shift-JIS bytes.
const std::string& duplicateStartCaption();

} // namespace kestrel
