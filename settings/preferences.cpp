#include "settings/preferences.h"

#include <charconv>
#include <optional>

#include "settings/file_io.h"
#include "settings/settings_files.h"

namespace kestrel {
namespace {

constexpr std::string_view kLevelKey = "level";
constexpr std::string_view kLegalMovesKey = "mark-legal-moves";
constexpr std::string_view kLastMoveKey = "mark-last-move";

// One or two decimal digits.
std::optional<int> smallNumber(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 0)
        return std::nullopt;
    return value;
}

std::optional<bool> switchValue(std::string_view text)
{
    if (text == "0" || text == "1")
        return text == "1";
    return std::nullopt;
}

void readLine(std::string_view line, Preferences& preferences)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == kLevelKey) {
        if (std::optional<int> level = smallNumber(value))
            preferences.level = *level;
    } else if (key == kLegalMovesKey || key == kLastMoveKey) {
        if (std::optional<bool> on = switchValue(value))
            (key == kLegalMovesKey ? preferences.markLegalMoves : preferences.markLastMove) = *on;
    }
}

// The next line of text (without its "\n" or "\r\n"), taken off its front.
std::string_view takeLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::string settingsFolder(const Settings& settings)
{
    const std::size_t slash = settings.settingsFilePath.rfind('/');
    return slash == std::string::npos ? std::string() : settings.settingsFilePath.substr(0, slash + 1);
}

std::string preferencesPath(const Settings& settings)
{
    return settingsFolder(settings) + kPreferencesFileName;
}

std::string preferencesBytes(const Preferences& preferences)
{
    std::string text(kPreferencesFirstLine);
    text += "\n";
    text += std::string(kLevelKey) + "=" + std::to_string(preferences.level) + "\n";
    text += std::string(kLegalMovesKey) + "=" + (preferences.markLegalMoves ? "1" : "0") + "\n";
    text += std::string(kLastMoveKey) + "=" + (preferences.markLastMove ? "1" : "0") + "\n";
    return text;
}

Preferences readPreferencesBytes(std::string_view bytes)
{
    Preferences preferences;
    if (bytes.size() > kPreferencesSizeLimit || takeLine(bytes) != kPreferencesFirstLine)
        return preferences;
    while (!bytes.empty())
        readLine(takeLine(bytes), preferences);
    return preferences;
}

Preferences loadPreferences(const std::string& path)
{
    // One byte more than a file of ours may hold shows a larger one.
    const std::optional<std::string> bytes = readFilePrefix(path, kPreferencesSizeLimit + 1);
    return bytes ? readPreferencesBytes(*bytes) : Preferences{};
}

SaveResult savePreferences(const std::string& path, const Preferences& preferences)
{
    if (!makeFolderFor(path))
        return SaveResult::OpenFailed;
    return replaceFile(path, preferencesBytes(preferences));
}

} // namespace kestrel
