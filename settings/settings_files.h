#pragma once
// The two files that keep the player's settings, beside the executable or in
// the user's configuration folder, as decided once at start-up:
// "lumenini.fil" (name, port, dial-up flag; 72 bytes) and "lumenip.fil"
// (the extra addresses, one zero-filled 16-byte record each).

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace kestrel {

enum class SaveResult { Ok, OpenFailed, WriteFailed };

inline constexpr std::size_t kSettingsFileSize = 72;
inline constexpr std::size_t kNameFieldSize = kMaxNameBytes + 1;
inline constexpr std::size_t kAddressRecordSize = kMaxAddressBytes + 1;
inline constexpr const char* kDefaultPlayerName = "No Name";

// The texts of the error box after a failed save, as Shift-JIS bytes.
const std::string& openFailedText();  // "ファイルをオープンできません"
const std::string& writeFailedText(); // "ファイルに書き込むことができません"
// The text for a failed result; empty for SaveResult::Ok.
const std::string& saveFailureText(SaveResult result);

// Fills playerName, port, dialUp and extraAddresses from the two files.
// The caller has set loginUserName and the paths. A file that is missing or
// unreadable leaves the defaults (login name or "No Name", 20000, 0, no
// addresses); what is read is not validated. Never reports anything.
//
// Damaged files are read without ever going past what they hold:
// - a settings file shorter than 72 bytes sets only the fields it holds in
//   full; a name field cut short gives the bytes present up to the first
//   zero (an empty file keeps the default name);
// - a name field without a zero byte gives its first 63 bytes, cut on a
//   character boundary;
// - a last address record shorter than 16 bytes counts as a record: its
//   bytes up to the first zero;
// - an address record without a zero byte gives its first 15 bytes;
// - only the first 1000 records are read.
void loadSettings(Settings& settings);

// What loadSettings takes from the bytes of each file, read as above:
// fields of the settings file replace their defaults; records of the
// address list are appended to extraAddresses.
void readSettingsFileBytes(Settings& settings, std::string_view bytes);
void readAddressListBytes(Settings& settings, std::string_view bytes);

// Writes playerName (cut to 63 bytes), port and dialUp to settingsFilePath.
// The file is replaced as a whole: the new content goes to a temporary file
// beside it, which takes the old file's place only once it has been written
// and flushed completely. On failure the old file stays as it was.
SaveResult writeSettingsFile(const Settings& settings);

// Writes the first 1000 entries of list (each cut to 15 bytes) to
// addressListPath, replaced as a whole like the settings file, and on
// success makes them the new extraAddresses. On failure extraAddresses and
// the old file stay as they were.
SaveResult writeAddressList(Settings& settings, const std::vector<std::string>& list);

// The bytes of the two files, as the writers above store them.
std::string settingsFileBytes(const Settings& settings);
std::string addressListBytes(const std::vector<std::string>& list);

} // namespace kestrel
