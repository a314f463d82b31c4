#pragma once
// Where the running program and its settings files lie. The files are always
// looked for beside the executable, whatever the working directory is.

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

// Sets exePath, exeDirectory (up to and including the last '/'),
// settingsFilePath and addressListPath.
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
