#include "settings/desktop_shortcut.h"

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "settings/file_io.h"
#include "settings/settings_files.h"

namespace kestrel {
namespace {

constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// The folder a line `XDG_DESKTOP_DIR="..."` names, read as the desktop
// libraries read the file: the value in double quotes, backslash escapes
// taken literally, either "$HOME" with an optional "/rest" or an absolute
// path. Anything else is not a valid line.
std::optional<std::string> desktopLine(std::string_view line, const std::string& home)
{
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR";
    line = skipBlanks(line);
    if (line.substr(0, kKey.size()) != kKey)
        return std::nullopt;
    line = skipBlanks(line.substr(kKey.size()));
    if (line.empty() || line.front() != '=')
        return std::nullopt;
    line = skipBlanks(line.substr(1));
    if (line.empty() || line.front() != '"')
        return std::nullopt;
    line.remove_prefix(1);

    std::string prefix;
    if (line.substr(0, 5) == "$HOME") {
        if (home.empty())
            return std::nullopt;
        line.remove_prefix(5);
        if (!line.empty() && line.front() != '/' && line.front() != '"')
            return std::nullopt; // "$HOMEX" is some other variable
        prefix = home;
    } else if (line.empty() || line.front() != '/') {
        return std::nullopt;
    }
    std::string rest;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"')
            return withoutTrailingSlashes(prefix + rest);
        if (c == '\\' && i + 1 < line.size())
            c = line[++i];
        rest += c;
    }
    return std::nullopt; // no closing quote
}

// A desktop entry value of type string: backslash and control characters escaped.
std::string escapeValue(std::string_view value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    if (!out.empty() && out.front() == ' ')
        out.replace(0, 1, "\\s");
    return out;
}

// One argument of Exec: in double quotes, with the four characters that
// stay special inside them escaped, and "%" doubled (field codes).
std::string execArgument(std::string_view path)
{
    std::string out = "\"";
    for (char c : path) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string homeOfAccount()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr)
        return {};
    return found->pw_dir;
}

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string userDirsFilePath(const std::string& home, const std::string& xdgConfigHome)
{
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        return withoutTrailingSlashes(xdgConfigHome) + "/user-dirs.dirs";
    if (home.empty())
        return {};
    return withoutTrailingSlashes(home) + "/.config/user-dirs.dirs";
}

std::string desktopFolder(const DesktopPlaces& places)
{
    const std::string home = places.home.empty() ? std::string() : withoutTrailingSlashes(places.home);
    std::optional<std::string> folder;
    if (places.userDirs) {
        std::string_view text = *places.userDirs;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            if (std::optional<std::string> named = desktopLine(text.substr(0, end), home))
                folder = named; // the last valid line wins, as when the file is sourced
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
    }
    if (folder)
        return *folder;
    return home.empty() ? std::string() : home + "/Desktop";
}

std::string launcherText(const std::string& target, const std::string& workingDirectory,
                         const std::string& icon)
{
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n"
                       "Name=ケストレルベイ\n"
                       "Comment=LANの仲間やコンピュータと対戦するリバーシ\n";
    text += "Exec=" + escapeValue(execArgument(target)) + "\n";
    text += "Path=" + escapeValue(workingDirectory) + "\n";
    text += "Icon=" + escapeValue(icon) + "\n";
    text += "Terminal=false\n"
            "Categories=Game;BoardGame;\n";
    return text;
}

DesktopPlaces currentDesktopPlaces()
{
    DesktopPlaces places;
    places.home = environmentValue("HOME");
    if (places.home.empty())
        places.home = homeOfAccount();
    places.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    const std::string file = userDirsFilePath(places.home, places.xdgConfigHome);
    if (!file.empty())
        places.userDirs = readFilePrefix(file, kMaxUserDirsBytes);
    return places;
}

Shortcut prepareShortcut(const Settings& settings, const DesktopPlaces& places)
{
    Shortcut shortcut;
    const std::string folder = desktopFolder(places);
    if (!folder.empty())
        shortcut.path = (folder == "/" ? "" : folder) + "/" + kShortcutFileName;
    shortcut.target = settings.exePath;
    shortcut.workingDirectory = settings.exeDirectory;
    shortcut.icon = settings.exeDirectory + kShortcutIconName;
    return shortcut;
}

bool shortcutExists(const Shortcut& shortcut)
{
    struct stat info {};
    return !shortcut.path.empty() && ::lstat(shortcut.path.c_str(), &info) == 0;
}

bool createShortcut(const Shortcut& shortcut)
{
    if (shortcut.path.empty())
        return false;
    const std::string text = launcherText(shortcut.target, shortcut.workingDirectory, shortcut.icon);
    if (replaceFile(shortcut.path, text) != SaveResult::Ok)
        return false;
    // Desktops start only launchers that are executable: execute wherever read is allowed.
    struct stat info {};
    if (::stat(shortcut.path.c_str(), &info) == 0)
        ::chmod(shortcut.path.c_str(), (info.st_mode & 07777) | ((info.st_mode & 0444) >> 2));
    if (shortcut.finishOnDesktop)
        shortcut.finishOnDesktop(shortcut);
    return true;
}

void deleteShortcut(const Shortcut& shortcut)
{
    if (!shortcut.path.empty())
        ::unlink(shortcut.path.c_str());
}

} // namespace kestrel
