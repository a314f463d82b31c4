// Any contents of the two settings files. Loading must never read past what
// a file holds, and what it gives must fit the fields and survive a save and
// a second load unchanged.
//
// Input: byte 0 gives the length of the settings file's part (0-255; more
// than 72 bytes is read as its first 72), the rest is the address list.
// Every sixteenth input also goes through real files.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "fuzz/check.h"
#include "settings/settings_files.h"

namespace {

using namespace kestrel;
using fuzzing::check;

Settings defaults()
{
    Settings settings;
    settings.loginUserName = "taro";
    settings.playerName = "taro";
    return settings;
}

void checkFields(const Settings& settings)
{
    check(settings.playerName.size() <= 63, "the name has at most 63 bytes");
    check(settings.playerName.find('\0') == std::string::npos, "no zero byte in the name");
    check(settings.extraAddresses.size() <= Settings::kMaxAddresses, "at most 1000 addresses");
    for (const std::string& address : settings.extraAddresses)
        check(address.size() <= 15 && address.find('\0') == std::string::npos, "an address fits its record");
}

void write(const std::string& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

// The files of this process, in a folder of its own.
const std::string& folder()
{
    static const std::string path = [] {
        std::string pattern = "/tmp/kestrel-settings-fuzz-XXXXXX";
        return std::string(mkdtemp(pattern.data()) ? pattern : "/tmp");
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view ini = input.substr(0, data[0]);
    const std::string_view list = input.substr(ini.size());

    Settings loaded = defaults();
    readSettingsFileBytes(loaded, ini);
    readAddressListBytes(loaded, list);
    checkFields(loaded);
    if (ini.empty())
        check(loaded.playerName == "taro" && loaded.port == 20000 && loaded.dialUp == 0, "defaults kept");
    check(loaded.extraAddresses.size() == std::min<std::size_t>((list.size() + 15) / 16, 1000),
          "one address per record, a last partial one included");

    // Saved and loaded again: the same fields.
    const std::string savedIni = settingsFileBytes(loaded);
    const std::string savedList = addressListBytes(loaded.extraAddresses);
    check(savedIni.size() == kSettingsFileSize, "the settings file has 72 bytes");
    check(savedList.size() == 16 * loaded.extraAddresses.size(), "16 bytes per address");
    Settings again = defaults();
    readSettingsFileBytes(again, savedIni);
    readAddressListBytes(again, savedList);
    check(again.playerName == loaded.playerName || (loaded.playerName.empty() && again.playerName.empty()),
          "the name survives a save");
    check(again.port == loaded.port && again.dialUp == loaded.dialUp, "port and dial-up survive a save");
    check(again.extraAddresses == loaded.extraAddresses, "the addresses survive a save");

    // Through real files: loadSettings reads what the bytes give.
    if (size % 16 == 0) {
        Settings fromFiles = defaults();
        fromFiles.settingsFilePath = folder() + "/lumenini.fil";
        fromFiles.addressListPath = folder() + "/lumenip.fil";
        write(fromFiles.settingsFilePath, ini);
        write(fromFiles.addressListPath, list);
        loadSettings(fromFiles);
        check(fromFiles.playerName == loaded.playerName && fromFiles.port == loaded.port &&
                  fromFiles.dialUp == loaded.dialUp && fromFiles.extraAddresses == loaded.extraAddresses,
              "the files load as their bytes read");
    }
    return 0;
}
