#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/settings_files.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

using namespace kestrel;
using kestrel::testing::readBytes;
using kestrel::testing::TempDir;
using kestrel::testing::writeBytes;

namespace {

// Makes every write beyond `bytes` into any file fail (EFBIG) while it
// lives: a real disk-full-like failure, which works even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

class SavingSettings : public ::testing::Test {
protected:
    SavingSettings()
    {
        settings.settingsFilePath = dir / "lumenini.fil";
        settings.addressListPath = dir / "lumenip.fil";
        settings.playerName = "taro";
        settings.port = 20001;
        settings.dialUp = 1;
        oldList = {"10.0.0.1", "10.0.0.2"};
    }

    void saveOld()
    {
        ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
        ASSERT_EQ(writeAddressList(settings, oldList), SaveResult::Ok);
        oldSettingsBytes = readBytes(settings.settingsFilePath);
        oldListBytes = readBytes(settings.addressListPath);
        settings.playerName = toCp932("新しい名前");
        settings.port = 25000;
        settings.dialUp = 0;
    }

    // Names in the directory other than the two files: leftovers of a save.
    std::vector<std::string> strayFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            std::string name = entry.path().filename().string();
            if (name != "lumenini.fil" && name != "lumenip.fil")
                names.push_back(name);
        }
        return names;
    }

    TempDir dir;
    Settings settings;
    std::vector<std::string> oldList;
    std::string oldSettingsBytes;
    std::string oldListBytes;
};

} // namespace

TEST_F(SavingSettings, FailedWriteLeavesTheOldFilesAndTableIntact)
{
    saveOld();
    {
        FileSizeLimit limit(10); // the new file breaks off after 10 bytes
        EXPECT_EQ(writeSettingsFile(settings), SaveResult::WriteFailed);
        EXPECT_EQ(writeAddressList(settings, {"10.0.0.3", "10.0.0.4", "10.0.0.5"}), SaveResult::WriteFailed);
    }
    EXPECT_EQ(readBytes(settings.settingsFilePath), oldSettingsBytes);
    EXPECT_EQ(readBytes(settings.addressListPath), oldListBytes);
    EXPECT_EQ(settings.extraAddresses, oldList);
    EXPECT_TRUE(strayFiles().empty());

    Settings reloaded = settings;
    loadSettings(reloaded);
    EXPECT_EQ(reloaded.playerName, "taro");
    EXPECT_EQ(reloaded.port, 20001);

    // Once writing works again the same save goes through.
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    loadSettings(reloaded);
    EXPECT_EQ(reloaded.playerName, toCp932("新しい名前"));
    EXPECT_EQ(reloaded.port, 25000);
}

TEST_F(SavingSettings, FailedWriteOfANewFileLeavesNoFileBehind)
{
    FileSizeLimit limit(0);
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::WriteFailed);
    EXPECT_EQ(writeAddressList(settings, {"10.0.0.3"}), SaveResult::WriteFailed);
    EXPECT_FALSE(std::filesystem::exists(settings.settingsFilePath));
    EXPECT_FALSE(std::filesystem::exists(settings.addressListPath));
    EXPECT_TRUE(settings.extraAddresses.empty());
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(SavingSettings, FileThatCannotBeOpenedIsReportedAndNothingChanges)
{
    saveOld();
    // A directory in the file's place.
    std::filesystem::remove(settings.settingsFilePath);
    std::filesystem::create_directory(settings.settingsFilePath);
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::OpenFailed);
    EXPECT_TRUE(std::filesystem::is_directory(settings.settingsFilePath));

    std::filesystem::remove(settings.addressListPath);
    std::filesystem::create_directory(settings.addressListPath);
    EXPECT_EQ(writeAddressList(settings, {"10.0.0.9"}), SaveResult::OpenFailed);
    EXPECT_EQ(settings.extraAddresses, oldList);
    EXPECT_TRUE(strayFiles().empty());

    // A directory path whose last folder is really a file.
    writeBytes(dir / "plain", "x");
    settings.settingsFilePath = dir / "plain/lumenini.fil";
    settings.addressListPath = dir / "plain/lumenip.fil";
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::OpenFailed);
    EXPECT_EQ(writeAddressList(settings, {"10.0.0.9"}), SaveResult::OpenFailed);
    EXPECT_EQ(settings.extraAddresses, oldList);
    EXPECT_EQ(readBytes(dir / "plain"), "x");
}

TEST_F(SavingSettings, ReplacedFileKeepsItsPermissions)
{
    saveOld();
    ASSERT_EQ(::chmod(settings.settingsFilePath.c_str(), 0640), 0);
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    struct stat st {};
    ASSERT_EQ(::stat(settings.settingsFilePath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A new file gets what a plain create gives: 0666 less the umask.
    std::filesystem::remove(settings.addressListPath);
    mode_t mask = ::umask(022);
    ASSERT_EQ(writeAddressList(settings, {"10.0.0.7"}), SaveResult::Ok);
    ::umask(mask);
    ASSERT_EQ(::stat(settings.addressListPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(SavingSettings, SavingThroughASymbolicLinkKeepsTheLink)
{
    std::filesystem::create_directory(dir / "real");
    writeBytes(dir / "real/kept.fil", "old");
    std::filesystem::create_symlink(dir / "real/kept.fil", settings.settingsFilePath);
    ASSERT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(settings.settingsFilePath));
    EXPECT_EQ(readBytes(dir / "real/kept.fil"), settingsFileBytes(settings));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"), {}), 1);
}

namespace {

// Runs the two saves as an unprivileged user in a child process and returns
// their results.
std::pair<SaveResult, SaveResult> saveAsNobody(Settings& settings, const std::vector<std::string>& list)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        int first = static_cast<int>(writeSettingsFile(settings));
        int second = static_cast<int>(writeAddressList(settings, list));
        ::_exit(first * 10 + second);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 98;
    EXPECT_LT(code, 98) << "the child could not run as another user";
    return {static_cast<SaveResult>(code / 10), static_cast<SaveResult>(code % 10)};
}

} // namespace

TEST_F(SavingSettings, ReadOnlyDirectoryAndReadOnlyFileAreHandledLikeAPlainOpen)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    saveOld();
    // The directory belongs to root and only the settings file to the player.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(settings.settingsFilePath.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(settings.addressListPath.c_str(), 0644), 0);

    auto [settingsResult, listResult] = saveAsNobody(settings, {"10.0.0.9"});
    EXPECT_EQ(settingsResult, SaveResult::Ok); // rewritten in place
    EXPECT_EQ(readBytes(settings.settingsFilePath), settingsFileBytes(settings));
    EXPECT_EQ(listResult, SaveResult::OpenFailed);
    EXPECT_EQ(readBytes(settings.addressListPath), oldListBytes);
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(SavingSettings, FirstSaveMakesTheMissingFolderAndAFileInItsPlaceFailsToOpen)
{
    settings.settingsFilePath = dir / "config/kestrelbay/lumenini.fil";
    settings.addressListPath = dir / "config/kestrelbay/lumenip.fil";
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::Ok);
    EXPECT_EQ(writeAddressList(settings, oldList), SaveResult::Ok);
    EXPECT_EQ(readBytes(settings.settingsFilePath), settingsFileBytes(settings));
    EXPECT_EQ(readBytes(settings.addressListPath).size(), 32u);
    for (const char* made : {"config", "config/kestrelbay"}) // private to the player, as made
        EXPECT_EQ(std::filesystem::status(dir / made).permissions(), std::filesystem::perms::owner_all);

    writeBytes(dir / "blocked", "x");
    settings.settingsFilePath = dir / "blocked/kestrelbay/lumenini.fil";
    settings.addressListPath = dir / "blocked/kestrelbay/lumenip.fil";
    EXPECT_EQ(writeSettingsFile(settings), SaveResult::OpenFailed);
    EXPECT_EQ(writeAddressList(settings, {"10.0.0.9"}), SaveResult::OpenFailed);
    EXPECT_EQ(settings.extraAddresses, oldList);
    EXPECT_EQ(readBytes(dir / "blocked"), "x");
}

TEST(SaveFailureTexts, AreTheTwoErrorMessages)
{
    EXPECT_EQ(saveFailureText(SaveResult::OpenFailed), toCp932("ファイルをオープンできません"));
    EXPECT_EQ(saveFailureText(SaveResult::WriteFailed), toCp932("ファイルに書き込むことができません"));
    EXPECT_EQ(openFailedText(), "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x83\x49\x81\x5B\x83\x76\x83\x93"
                                "\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_EQ(saveFailureText(SaveResult::Ok), "");
}
