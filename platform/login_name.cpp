#include "platform/login_name.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "settings/settings.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

std::string nameFromUserDatabase()
{
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found && found->pw_name ? found->pw_name : "";
}

std::string nameFromEnvironment()
{
    for (const char* variable : {"USER", "LOGNAME"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "";
}

} // namespace

std::string fitLoginName(std::string_view utf8)
{
    std::string name = toCp932(utf8);
    return name.size() <= kMaxNameBytes ? name : "";
}

std::string loginUserName()
{
    std::string name = nameFromUserDatabase();
    if (name.empty())
        name = nameFromEnvironment();
    return fitLoginName(name);
}

} // namespace kestrel
