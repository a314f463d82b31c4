#include "app/startup/paths.h"

#include <cerrno>
#include <cstdlib>
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

void fillPaths(Settings& settings, const std::string& exePath)
{
    settings.exePath = exePath;
    std::size_t slash = exePath.rfind('/');
    settings.exeDirectory = slash == std::string::npos ? "" : exePath.substr(0, slash + 1);
    settings.settingsFilePath = settings.exeDirectory + kSettingsFileName;
    settings.addressListPath = settings.exeDirectory + kAddressListFileName;
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
