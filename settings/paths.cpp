#include "settings/paths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "text/cp932.h"

namespace kestrel {
namespace {

// readlink into a buffer that grows until the whole target fits.
std::string readLink(const char* path)
{
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = ::readlink(path, buffer.data(), buffer.size());
        if (n < 0)
            return "";
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string workingDirectory()
{
    std::string buffer(256, '\0');
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return "";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

std::string absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    std::string cwd = workingDirectory();
    if (cwd.empty())
        return path;
    return cwd + (cwd.back() == '/' ? "" : "/") + path;
}

bool isExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The file a shell would have started for a bare command name.
std::string searchPath(const std::string& name)
{
    const char* pathVariable = std::getenv("PATH");
    std::string list = pathVariable ? pathVariable : "";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        std::string dir = list.substr(start, end - start);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (isExecutableFile(candidate))
            return absolute(candidate);
        start = end + 1;
    }
    return absolute(name);
}

std::string directoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// The home folder of the account that runs the program.
std::string accountHome()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return "";
    return found->pw_dir;
}

bool sameDirectory(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

std::string currentExecutablePath(const char* argv0)
{
    std::string path = readLink("/proc/self/exe");
    if (path.empty())
        return absoluteProgramPath(argv0);
    // An executable replaced while it runs (rebuilt, updated) is reported
    // with this mark; the directory and the name are still the right ones.
    constexpr std::string_view deleted = " (deleted)";
    struct stat st {};
    if (path.ends_with(deleted) && ::stat(path.c_str(), &st) != 0)
        path.resize(path.size() - deleted.size());
    return path;
}

std::string absoluteProgramPath(const char* argv0)
{
    std::string name = argv0 ? argv0 : "";
    if (name.empty())
        return "";
    return name.find('/') == std::string::npos ? searchPath(name) : absolute(name);
}

std::string settingsDirectoryFor(const SettingsPlaceFacts& facts)
{
    if (facts.exeDirectoryWritable && !facts.exeDirectoryInstalled)
        return facts.exeDirectory;
    std::string config;
    if (facts.xdgConfigHome.starts_with('/'))
        config = withSlash(facts.xdgConfigHome);
    else if (facts.home.starts_with('/'))
        config = withSlash(facts.home) + ".config/";
    else
        return facts.exeDirectory;
    return config + kConfigFolderName + "/";
}

bool directoryWritable(const std::string& directory)
{
    // Creating a file needs write and search permission; a read-only mount
    // refuses it even to root. (The program is not set-user-id, so the real
    // user that access() asks about is the one that saves.)
    return !directory.empty() && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

SettingsPlaceFacts settingsPlaceFacts(const std::string& exeDirectory)
{
    SettingsPlaceFacts facts;
    facts.exeDirectory = exeDirectory;
    facts.exeDirectoryWritable = directoryWritable(exeDirectory);
#ifdef KESTREL_INSTALL_BINDIR
    facts.exeDirectoryInstalled = sameDirectory(exeDirectory, KESTREL_INSTALL_BINDIR);
#endif
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    facts.xdgConfigHome = xdg ? xdg : "";
    const char* home = std::getenv("HOME");
    facts.home = home && *home ? home : accountHome();
    return facts;
}

void fillPaths(Settings& settings, const std::string& exePath, const std::string& settingsDirectory)
{
    settings.exePath = exePath;
    settings.exeDirectory = directoryOf(exePath);
    settings.settingsFilePath = settingsDirectory + kSettingsFileName;
    settings.addressListPath = settingsDirectory + kAddressListFileName;
}

void fillPaths(Settings& settings, const std::string& exePath)
{
    fillPaths(settings, exePath, settingsDirectoryFor(settingsPlaceFacts(directoryOf(exePath))));
}

std::string executableFileName(const std::string& exePath)
{
    std::size_t slash = exePath.rfind('/');
    std::string name = slash == std::string::npos ? exePath : exePath.substr(slash + 1);
    // The buffer holds the name as the program's texts are held: in Shift-JIS.
    return toCp932(name).size() + 1 <= kExeFileNameBuffer ? name : "";
}

std::string duplicateStartText(const std::string& exeFileName)
{
    return toCp932(exeFileName) + "\n" + SJ("このプログラムは既に起動しています");
}

const std::string& duplicateStartCaption()
{
    return SJ("二重起動");
}

} // namespace kestrel
