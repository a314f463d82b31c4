#include "settings/settings_files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "settings/file_io.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

// The text of a zero-terminated field: its bytes up to the first zero, or,
// when it holds no zero, as many whole characters as fit in maxBytes.
std::string fieldText(std::string_view field, std::size_t maxBytes)
{
    std::size_t zero = field.find('\0');
    if (zero != std::string_view::npos)
        return std::string(field.substr(0, zero));
    return cutCp932(field, maxBytes);
}

// A field of size bytes holding text (cut to size - 1 bytes), zero-filled.
void appendField(std::string& out, std::string_view text, std::size_t size)
{
    std::string value = fieldText(text, size - 1);
    out += value;
    out.append(size - value.size(), '\0');
}

void appendInt32(std::string& out, std::int32_t value)
{
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

std::int32_t int32At(std::string_view bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

void loadSettingsFile(Settings& settings)
{
    if (std::optional<std::string> bytes = readFilePrefix(settings.settingsFilePath, kSettingsFileSize))
        readSettingsFileBytes(settings, *bytes);
}

void loadAddressList(Settings& settings)
{
    if (std::optional<std::string> bytes =
            readFilePrefix(settings.addressListPath, Settings::kMaxAddresses * kAddressRecordSize))
        readAddressListBytes(settings, *bytes);
}

// The entries that go into the file and the table: at most 1000, each as
// its record will hold it.
std::vector<std::string> storedAddresses(const std::vector<std::string>& list)
{
    std::size_t count = std::min<std::size_t>(list.size(), Settings::kMaxAddresses);
    std::vector<std::string> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(fieldText(list[i], kMaxAddressBytes));
    return rows;
}

} // namespace

const std::string& openFailedText()
{
    return SJ("ファイルをオープンできません");
}

const std::string& writeFailedText()
{
    return SJ("ファイルに書き込むことができません");
}

const std::string& saveFailureText(SaveResult result)
{
    static const std::string none;
    switch (result) {
    case SaveResult::OpenFailed:
        return openFailedText();
    case SaveResult::WriteFailed:
        return writeFailedText();
    case SaveResult::Ok:
        break;
    }
    return none;
}

void readSettingsFileBytes(Settings& settings, std::string_view data)
{
    data = data.substr(0, kSettingsFileSize);
    if (data.empty())
        return;
    settings.playerName = fieldText(data.substr(0, kNameFieldSize), kMaxNameBytes);
    if (data.size() >= kNameFieldSize + 4)
        settings.port = int32At(data, kNameFieldSize);
    if (data.size() >= kNameFieldSize + 8)
        settings.dialUp = int32At(data, kNameFieldSize + 4);
}

void readAddressListBytes(Settings& settings, std::string_view data)
{
    data = data.substr(0, Settings::kMaxAddresses * kAddressRecordSize);
    for (std::size_t at = 0; at < data.size(); at += kAddressRecordSize)
        settings.extraAddresses.push_back(fieldText(data.substr(at, kAddressRecordSize), kMaxAddressBytes));
}

void loadSettings(Settings& settings)
{
    settings.playerName = settings.loginUserName.empty() ? kDefaultPlayerName : settings.loginUserName;
    settings.port = kStandardPort;
    settings.dialUp = 0;
    settings.extraAddresses.clear();
    loadSettingsFile(settings);
    loadAddressList(settings);
}

std::string settingsFileBytes(const Settings& settings)
{
    std::string out;
    out.reserve(kSettingsFileSize);
    appendField(out, settings.playerName, kNameFieldSize);
    appendInt32(out, settings.port);
    appendInt32(out, settings.dialUp);
    return out;
}

std::string addressListBytes(const std::vector<std::string>& list)
{
    std::vector<std::string> rows = storedAddresses(list);
    std::string out;
    out.reserve(rows.size() * kAddressRecordSize);
    for (const std::string& row : rows)
        appendField(out, row, kAddressRecordSize);
    return out;
}

SaveResult writeSettingsFile(const Settings& settings)
{
    // The user's configuration folder is made by the first save that needs it.
    if (!makeFolderFor(settings.settingsFilePath))
        return SaveResult::OpenFailed;
    return replaceFile(settings.settingsFilePath, settingsFileBytes(settings));
}

SaveResult writeAddressList(Settings& settings, const std::vector<std::string>& list)
{
    if (!makeFolderFor(settings.addressListPath))
        return SaveResult::OpenFailed;
    SaveResult result = replaceFile(settings.addressListPath, addressListBytes(list));
    if (result == SaveResult::Ok)
        settings.extraAddresses = storedAddresses(list);
    return result;
}

} // namespace kestrel
