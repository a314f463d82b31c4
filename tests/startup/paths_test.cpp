#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "app/startup/paths.h"
#include "support/temp_dir.h"
#include "text/cp932.h"

using namespace kestrel;

TEST(Paths, SettingsFilesLieBesideTheExecutable)
{
    Settings s;
    fillPaths(s, "/opt/games/kestrelbay/corvidae");
    EXPECT_EQ(s.exePath, "/opt/games/kestrelbay/corvidae");
    EXPECT_EQ(s.exeDirectory, "/opt/games/kestrelbay/");
    EXPECT_EQ(s.settingsFilePath, "/opt/games/kestrelbay/lumenini.fil");
    EXPECT_EQ(s.addressListPath, "/opt/games/kestrelbay/lumenip.fil");

    // At the root of the file system.
    fillPaths(s, "/corvidae");
    EXPECT_EQ(s.exeDirectory, "/");
    EXPECT_EQ(s.settingsFilePath, "/lumenini.fil");
    EXPECT_EQ(s.addressListPath, "/lumenip.fil");

    // A renamed executable keeps its settings under the usual names.
    fillPaths(s, "/home/hanako/bin/my reversi.v2");
    EXPECT_EQ(s.exeDirectory, "/home/hanako/bin/");
    EXPECT_EQ(s.settingsFilePath, "/home/hanako/bin/lumenini.fil");
    EXPECT_EQ(executableFileName(s.exePath), "my reversi.v2");

    // Long paths are taken whole, never cut.
    std::string deep = "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/corvidae";
    fillPaths(s, deep);
    EXPECT_EQ(s.settingsFilePath,
              "/" + std::string(300, 'd') + "/" + std::string(200, 'e') + "/lumenini.fil");
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
    EXPECT_EQ(executableFileName(self), "startup_tests");

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
