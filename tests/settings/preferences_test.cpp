// The preferences file: its bytes, what is read from files written by hand,
// damaged or foreign, and its place beside the settings files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "settings/preferences.h"
#include "settings/settings_files.h"
#include "tests/support/temp_dir.h"

using namespace kestrel;
using kestrel::testing::readBytes;
using kestrel::testing::TempDir;

namespace {

TEST(Preferences, GoldenBytesAndWhatIsReadFromAnyFile)
{
    const Preferences chosen{.level = 3, .markLegalMoves = true, .markLastMove = false};
    const std::string golden = "kestrelbay preferences 1\n"
                               "level=3\n"
                               "mark-legal-moves=1\n"
                               "mark-last-move=0\n";
    EXPECT_EQ(preferencesBytes(chosen), golden);
    EXPECT_EQ(preferencesBytes(Preferences{}), "kestrelbay preferences 1\nlevel=0\nmark-legal-moves=0\n"
                                               "mark-last-move=0\n");

    struct Case {
        const char* what;
        std::string bytes;
        Preferences read;
    };
    const std::string first = "kestrelbay preferences 1\n";
    const Case cases[] = {
        {"its own bytes", golden, chosen},
        {"empty", "", {}},
        {"another first line", "kestrelbay preferences 2\nlevel=3\n", {}},
        {"no first line", "level=3\n", {}},
        {"line ends of another system",
         "kestrelbay preferences 1\r\nlevel=2\r\nmark-last-move=1\r\n",
         {.level = 2, .markLastMove = true}},
        {"no end of the last line", first + "level=1", {.level = 1}},
        {"values that cannot be read",
         first + "level=x\nlevel=-1\nlevel=123\nlevel=\nmark-last-move=2\n",
         {}},
        {"a good line among bad ones", first + "level 2\n=\nlevel=2\nmark-legal-moves=yes\n", {.level = 2}},
        {"keys of a later version", first + "colour=blue\nlevel=1\n", {.level = 1}},
        {"the last line of a key wins", first + "level=1\nlevel=2\n", {.level = 2}},
        {"a number the program has no level for", first + "level=42\n", {.level = 42}},
        {"larger than any file of ours", first + "level=2\n" + std::string(kPreferencesSizeLimit, '#'), {}},
        {"cut short in its first line", "kestrelbay pref", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readPreferencesBytes(c.bytes), c.read) << c.what;
}

TEST(Preferences, LiveBesideTheSettingsFilesWhichTheyNeverTouch)
{
    TempDir dir;
    Settings settings;
    settings.settingsFilePath = dir / "config/kestrelbay/lumenini.fil";
    settings.addressListPath = dir / "config/kestrelbay/lumenip.fil";
    const std::string path = preferencesPath(settings);
    EXPECT_EQ(path, dir / "config/kestrelbay/kestrelbay-preferences.txt");

    // Missing: the defaults. The first save makes the folder, for the player only.
    EXPECT_EQ(loadPreferences(path), Preferences{});
    const Preferences chosen{.level = 2};
    ASSERT_EQ(savePreferences(path, chosen), SaveResult::Ok);
    struct stat folder {};
    ASSERT_EQ(::stat((dir / "config/kestrelbay").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(readBytes(path), preferencesBytes(chosen));
    EXPECT_EQ(loadPreferences(path), chosen);
    EXPECT_FALSE(std::filesystem::exists(settings.settingsFilePath));
    EXPECT_FALSE(std::filesystem::exists(settings.addressListPath));

    // A folder at its path: the defaults.
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(loadPreferences(dir / "folder"), Preferences{});
}

} // namespace
