#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "settings/settings_files.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

using namespace kestrel;
using kestrel::testing::readBytes;
using kestrel::testing::TempDir;
using kestrel::testing::writeBytes;

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    SettingsFiles()
    {
        settings.exeDirectory = dir.path() + "/";
        settings.settingsFilePath = dir / "lumenini.fil";
        settings.addressListPath = dir / "lumenip.fil";
    }

    // A settings file with the given name field, port and dial-up value.
    static std::string settingsFile(const std::string& nameField, std::string port, std::string dialUp)
    {
        return nameField + std::string(64 - nameField.size(), '\0') + port + dialUp;
    }

    Settings loaded()
    {
        Settings copy = settings;
        copy.playerName = "stale";
        copy.extraAddresses = {"stale"};
        loadSettings(copy);
        return copy;
    }

    TempDir dir;
    Settings settings;
};

// 31 double-byte characters and one single-byte one: 63 bytes.
std::string sixtyThreeByteName()
{
    std::string name;
    for (int i = 0; i < 31; ++i)
        name += toCp932("漢");
    return name + "a";
}

} // namespace

TEST_F(SettingsFiles, SettingsFileHasTheFixedSeventyTwoByteLayout)
{
    settings.playerName = sixtyThreeByteName();
    settings.port = 20000;
    settings.dialUp = 1;
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    std::string expected = sixtyThreeByteName() + std::string("\0", 1) + std::string("\x20\x4E\x00\x00", 4) +
                           std::string("\x01\x00\x00\x00", 4);
    EXPECT_EQ(readBytes(settings.settingsFilePath), expected);
    EXPECT_EQ(expected.size(), 72u);

    settings.playerName = "taro";
    settings.port = -2;
    settings.dialUp = 0x01020304;
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    EXPECT_EQ(readBytes(settings.settingsFilePath),
              settingsFile("taro", "\xFE\xFF\xFF\xFF", std::string("\x04\x03\x02\x01", 4)));

    // A name longer than the field is cut to 63 bytes on a character boundary.
    settings.playerName = "x" + sixtyThreeByteName();
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    std::string bytes = readBytes(settings.settingsFilePath);
    ASSERT_EQ(bytes.size(), 72u);
    EXPECT_EQ(bytes.substr(0, 64), "x" + sixtyThreeByteName().substr(0, 62) + std::string(1, '\0'));
}

TEST_F(SettingsFiles, AddressListIsSixteenByteZeroFilledRecords)
{
    ASSERT_EQ(writeAddressList(settings, {"10.0.0.1", "192.168.100.200", "gw"}), SaveResult::Ok);
    std::string expected = std::string("10.0.0.1\0\0\0\0\0\0\0\0", 16) +
                           std::string("192.168.100.200\0", 16) +
                           std::string("gw\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    EXPECT_EQ(readBytes(settings.addressListPath), expected);
    EXPECT_EQ(settings.extraAddresses, (std::vector<std::string>{"10.0.0.1", "192.168.100.200", "gw"}));

    ASSERT_EQ(writeAddressList(settings, {}), SaveResult::Ok);
    EXPECT_TRUE(std::filesystem::exists(settings.addressListPath));
    EXPECT_EQ(readBytes(settings.addressListPath), "");
    EXPECT_TRUE(settings.extraAddresses.empty());
    EXPECT_TRUE(loaded().extraAddresses.empty());
}

TEST_F(SettingsFiles, AddressListKeepsAtMostAThousandRowsOfFifteenBytes)
{
    std::vector<std::string> list;
    for (int i = 0; i < 1005; ++i)
        list.push_back("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256));
    list[0] = "a-host-name-longer-than-fifteen";
    ASSERT_EQ(writeAddressList(settings, list), SaveResult::Ok);
    EXPECT_EQ(readBytes(settings.addressListPath).size(), 16000u);
    ASSERT_EQ(settings.extraAddresses.size(), 1000u);
    EXPECT_EQ(settings.extraAddresses[0], "a-host-name-lon");
    EXPECT_EQ(settings.extraAddresses[999], "10.0.3.231");
    EXPECT_EQ(loaded().extraAddresses, settings.extraAddresses);
}

TEST_F(SettingsFiles, MissingFilesGiveTheDefaults)
{
    Settings s = loaded();
    EXPECT_EQ(s.playerName, "No Name");
    EXPECT_EQ(s.port, 20000);
    EXPECT_EQ(s.dialUp, 0);
    EXPECT_TRUE(s.extraAddresses.empty());

    settings.loginUserName = "hanako";
    EXPECT_EQ(loaded().playerName, "hanako");

    // Something that is not a regular file counts as missing; a fifo must not hang the start.
    std::filesystem::create_directory(settings.settingsFilePath);
    ASSERT_EQ(::mkfifo(settings.addressListPath.c_str(), 0600), 0);
    s = loaded();
    EXPECT_EQ(s.playerName, "hanako");
    EXPECT_EQ(s.port, 20000);
    EXPECT_TRUE(s.extraAddresses.empty());
}

TEST_F(SettingsFiles, StoredValuesLoadAsTheyAreWithoutValidation)
{
    settings.loginUserName = "hanako";
    writeBytes(settings.settingsFilePath,
               settingsFile("abcd", std::string("\x50\x00\x00\x00", 4), std::string("\x07\x00\x00\x00", 4)));
    Settings s = loaded();
    EXPECT_EQ(s.playerName, "abcd"); // the 60 zero bytes are not part of the name
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.dialUp, 7);

    settings.playerName = sixtyThreeByteName();
    settings.port = 29999;
    settings.dialUp = 1;
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    s = loaded();
    EXPECT_EQ(s.playerName, sixtyThreeByteName());
    EXPECT_EQ(s.port, 29999);
    EXPECT_EQ(s.dialUp, 1);

    // An empty name field is an empty name, as stored.
    writeBytes(settings.settingsFilePath,
               settingsFile("", std::string("\x50\x00\x00\x00", 4), std::string(4, '\0')));
    EXPECT_EQ(loaded().playerName, "");
}

TEST_F(SettingsFiles, ShortSettingsFileSetsOnlyTheFieldsItHolds)
{
    settings.loginUserName = "hanako";
    std::string full =
        settingsFile("taro", std::string("\x50\x00\x00\x00", 4), std::string("\x01\x00\x00\x00", 4));

    writeBytes(settings.settingsFilePath, "");
    Settings s = loaded();
    EXPECT_EQ(s.playerName, "hanako");
    EXPECT_EQ(s.port, 20000);

    writeBytes(settings.settingsFilePath, "jiro"); // name field cut short, no zero
    EXPECT_EQ(loaded().playerName, "jiro");

    writeBytes(settings.settingsFilePath, full.substr(0, 10));
    s = loaded();
    EXPECT_EQ(s.playerName, "taro");
    EXPECT_EQ(s.port, 20000);

    writeBytes(settings.settingsFilePath, full.substr(0, 67)); // port not held in full
    s = loaded();
    EXPECT_EQ(s.playerName, "taro");
    EXPECT_EQ(s.port, 20000);
    EXPECT_EQ(s.dialUp, 0);

    writeBytes(settings.settingsFilePath, full.substr(0, 71)); // dial-up not held in full
    s = loaded();
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.dialUp, 0);

    writeBytes(settings.settingsFilePath, full + "trailing bytes");
    s = loaded();
    EXPECT_EQ(s.playerName, "taro");
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.dialUp, 1);
}

TEST_F(SettingsFiles, NameFieldWithoutZeroIsCutOnACharacterBoundary)
{
    std::string field(64, 'n');
    writeBytes(settings.settingsFilePath, settingsFile(field, std::string(4, '\0'), std::string(4, '\0')));
    EXPECT_EQ(loaded().playerName, std::string(63, 'n'));

    // A double-byte character at bytes 62-63 does not fit into 63 bytes.
    field = std::string(62, 'n') + toCp932("漢");
    writeBytes(settings.settingsFilePath, settingsFile(field, std::string(4, '\0'), std::string(4, '\0')));
    EXPECT_EQ(loaded().playerName, std::string(62, 'n'));
}

TEST_F(SettingsFiles, DamagedAddressListNeverReadsPastItsRecords)
{
    // A partial last record counts, up to its first zero.
    writeBytes(settings.addressListPath, std::string("10.0.0.1\0\0\0\0\0\0\0\0", 16) + "gate");
    EXPECT_EQ(loaded().extraAddresses, (std::vector<std::string>{"10.0.0.1", "gate"}));
    writeBytes(settings.addressListPath,
               std::string("10.0.0.1\0\0\0\0\0\0\0\0", 16) + std::string("gw\0x", 4));
    EXPECT_EQ(loaded().extraAddresses, (std::vector<std::string>{"10.0.0.1", "gw"}));

    // A record without a zero gives 15 bytes; the next record stands on its own.
    writeBytes(settings.addressListPath, std::string(16, 'a') + std::string("b\0", 2) + std::string(14, 'c'));
    EXPECT_EQ(loaded().extraAddresses, (std::vector<std::string>{std::string(15, 'a'), "b"}));

    // Only the first thousand records are read.
    std::string many;
    for (int i = 0; i < 1002; ++i) {
        std::string text = "r" + std::to_string(i);
        many += text + std::string(16 - text.size(), '\0');
    }
    writeBytes(settings.addressListPath, many);
    std::vector<std::string> rows = loaded().extraAddresses;
    ASSERT_EQ(rows.size(), 1000u);
    EXPECT_EQ(rows.front(), "r0");
    EXPECT_EQ(rows.back(), "r999");
}
