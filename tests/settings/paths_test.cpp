#include <gtest/gtest.h>

#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/paths.h"
#include "settings/settings_files.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

using namespace kestrel;

// The paths for an executable whose folder may be written, with no other facts.
Settings besideTheExecutable(const std::string& exePath)
{
    Settings s;
    SettingsPlaceFacts facts;
    facts.exeDirectory = exePath.substr(0, exePath.rfind('/') + 1);
    facts.exeDirectoryWritable = true;
    facts.home = "/home/hanako";
    fillPaths(s, exePath, settingsDirectoryFor(facts));
    return s;
}

TEST(Paths, SettingsFilesLieBesideAnExecutableInAWritableFolder)
{
    Settings s = besideTheExecutable("/opt/games/kestrelbay/corvidae");
    EXPECT_EQ(s.exePath, "/opt/games/kestrelbay/corvidae");
    EXPECT_EQ(s.exeDirectory, "/opt/games/kestrelbay/");
    EXPECT_EQ(s.settingsFilePath, "/opt/games/kestrelbay/lumenini.fil");
    EXPECT_EQ(s.addressListPath, "/opt/games/kestrelbay/lumenip.fil");

    // At the root of the file system.
    s = besideTheExecutable("/corvidae");
    EXPECT_EQ(s.exeDirectory, "/");
    EXPECT_EQ(s.settingsFilePath, "/lumenini.fil");
    EXPECT_EQ(s.addressListPath, "/lumenip.fil");

    // A renamed executable keeps its settings under the usual names.
    s = besideTheExecutable("/home/hanako/bin/my reversi.v2");
    EXPECT_EQ(s.exeDirectory, "/home/hanako/bin/");
    EXPECT_EQ(s.settingsFilePath, "/home/hanako/bin/lumenini.fil");
    EXPECT_EQ(executableFileName(s.exePath), "my reversi.v2");

    // Long paths are taken whole, never cut.
    std::string deep = "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/corvidae";
    s = besideTheExecutable(deep);
    EXPECT_EQ(s.settingsFilePath,
              "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/lumenini.fil");
}

TEST(Paths, SettingsFolderFollowsTheExecutablesFolderAndTheEnvironment)
{
    struct Case {
        bool writable, installed;
        const char* xdgConfigHome;
        const char* home;
        const char* folder;
    };
    const char* exe = "/usr/games/";
    const Case cases[] = {
        {true, false, "/home/taro/.cfg", "/home/taro", "/usr/games/"}, // a folder of the player's own
        {false, false, "", "/home/taro", "/home/taro/.config/kestrelbay/"},
        {false, false, "/home/taro/.cfg", "/home/taro", "/home/taro/.cfg/kestrelbay/"},
        {false, false, "/home/taro/.cfg/", "/home/taro/", "/home/taro/.cfg/kestrelbay/"},
        {false, false, "relative/cfg", "/home/taro",
         "/home/taro/.config/kestrelbay/"}, // not absolute: ignored
        {false, false, "", "/", "/.config/kestrelbay/"},
        {true, true, "", "/root", "/root/.config/kestrelbay/"}, // installed, though root may write there
        {false, false, "", "", "/usr/games/"},                  // nowhere else: saving reports its failure
        {false, false, "", "home/taro", "/usr/games/"},
        {false, true, "/xdg", "", "/xdg/kestrelbay/"},
    };
    for (const Case& c : cases) {
        SettingsPlaceFacts facts{exe, c.writable, c.installed, c.xdgConfigHome, c.home};
        EXPECT_EQ(settingsDirectoryFor(facts), c.folder)
            << c.writable << c.installed << " '" << c.xdgConfigHome << "' '" << c.home << "'";
    }
}

// In a private mount namespace (root) the executable's folder becomes a
// read-only mount, as an installed program's folder is to its player;
// otherwise its permission bits say so. The child saves there as the program
// would and reports by its exit code: 10 + the settings file's result, then
// 20 + the list's, 1 when the folder still looked writable, 2 when it could
// not be made read-only.
int saveWithReadOnlyExecutableFolder(const std::string& bin, const std::string& config)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount(bin.c_str(), bin.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                ::mount(nullptr, bin.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                ::_exit(2);
        } else if (::chmod(bin.c_str(), 0555) != 0) {
            ::_exit(2);
        }
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        if (directoryWritable(bin))
            ::_exit(1);
        Settings s;
        fillPaths(s, bin + "/corvidae");
        s.playerName = "taro";
        SaveResult first = writeSettingsFile(s);
        if (first != SaveResult::Ok)
            ::_exit(10 + static_cast<int>(first));
        SaveResult second = writeAddressList(s, {"10.0.0.1"});
        ::_exit(second == SaveResult::Ok ? 0 : 20 + static_cast<int>(second));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(Paths, ReadOnlyExecutableFolderKeepsTheSettingsInTheConfigurationFolder)
{
    kestrel::testing::TempDir dir;
    const std::string bin = dir / "bin";
    const std::string config = dir / "config";
    ASSERT_TRUE(std::filesystem::create_directory(bin));

    // A folder of the player's own: the settings lie beside the executable.
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    Settings own;
    fillPaths(own, bin + "/corvidae");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(directoryWritable(bin));
    EXPECT_EQ(own.settingsFilePath, bin + "/lumenini.fil");
    EXPECT_EQ(own.addressListPath, bin + "/lumenip.fil");

    // Read-only: both files go to <config>/kestrelbay/, made by the first save.
    ASSERT_EQ(saveWithReadOnlyExecutableFolder(bin, config), 0);
    const std::string folder = config + "/kestrelbay";
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    Settings saved;
    saved.settingsFilePath = folder + "/lumenini.fil";
    saved.addressListPath = folder + "/lumenip.fil";
    loadSettings(saved);
    EXPECT_EQ(saved.playerName, "taro");
    EXPECT_EQ(saved.extraAddresses, std::vector<std::string>{"10.0.0.1"});
    EXPECT_TRUE(std::filesystem::is_empty(bin));
    std::filesystem::permissions(bin, std::filesystem::perms::owner_all); // for the clean-up without root
}

TEST(Paths, ExecutableFileNameMustFitOneHundredTwentyEightBytes)
{
    EXPECT_EQ(executableFileName("/usr/games/corvidae"), "corvidae");
    EXPECT_EQ(executableFileName("corvidae"), "corvidae");
    EXPECT_EQ(executableFileName("/" + std::string(127, 'n')), std::string(127, 'n'));
    EXPECT_EQ(executableFileName("/" + std::string(128, 'n')), "");
    // Counted in Shift-JIS bytes: 63 kanji are 126 bytes there (189 in UTF-8) and fit; 64 do not.
    std::string kanji63, kanji64;
    for (int i = 0; i < 63; ++i)
        kanji63 += "漢";
    kanji64 = kanji63 + "漢";
    EXPECT_EQ(executableFileName("/games/" + kanji63), kanji63);
    EXPECT_EQ(executableFileName("/games/" + kanji64), "");
    EXPECT_EQ(executableFileName(std::string(300, 'd') + "/" + std::string(20, 'n')), std::string(20, 'n'));
}

TEST(Paths, DuplicateStartTextNamesTheExecutable)
{
    const std::string message = "\x82\xB1\x82\xCC\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80\x82\xCD\x8A\xF9"
                                "\x82\xC9\x8B\x4E\x93\xAE\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7";
    EXPECT_EQ(duplicateStartText("corvidae"), "corvidae\n" + message);
    EXPECT_EQ(duplicateStartText(""), "\n" + message); // a name that did not fit
    EXPECT_EQ(duplicateStartText("リバーシ"), toCp932("リバーシ") + "\n" + message);
    EXPECT_EQ(duplicateStartCaption(), "\x93\xF1\x8F\x64\x8B\x4E\x93\xAE");
}

TEST(Paths, ExecutablePathIsAbsolute)
{
    std::string self = currentExecutablePath(nullptr);
    EXPECT_EQ(self, std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(executableFileName(self), "settings_tests");

    // Without /proc: argv[0] relative to the working directory, or found on PATH.
    kestrel::testing::TempDir dir;
    std::string cwd = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    std::string relative = absoluteProgramPath("./bin/corvidae");
    std::string bare = absoluteProgramPath("sh");
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    EXPECT_EQ(relative, std::filesystem::canonical(dir.path()).string() + "/./bin/corvidae");
    EXPECT_EQ(absoluteProgramPath("/usr/games/corvidae"), "/usr/games/corvidae");
    EXPECT_EQ(bare.front(), '/');
    EXPECT_EQ(executableFileName(bare), "sh");
    EXPECT_TRUE(std::filesystem::exists(bare));
}
