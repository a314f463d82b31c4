// Where the desktop launcher goes (the XDG user directories as plain data),
// what it says, and the launcher made, found and removed in a temporary home.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "settings/desktop_shortcut.h"
#include "tests/support/environment.h"
#include "tests/support/temp_dir.h"

namespace kestrel {
namespace {

using testing::EnvironmentValue;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TEST(DesktopShortcut, DesktopFolderFollowsTheUserDirsFile)
{
    struct Case {
        const char* home;
        std::optional<std::string> userDirs;
        const char* folder;
    } cases[] = {
        {"/home/taro", std::nullopt, "/home/taro/Desktop"},
        {"/home/taro/", "", "/home/taro/Desktop"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n", "/home/taro/デスクトップ"},
        {"/home/taro",
         "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/dl\"\n"
         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch/\"\n",
         "/home/taro/Schreibtisch"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"/data/desk\"", "/data/desk"},
        {"/home/taro", "  XDG_DESKTOP_DIR = \"$HOME\"\n", "/home/taro"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "/home/taro/b"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"\n", "/home/taro/My \"Desk\""},
        // Not valid lines: a relative folder, another variable, no closing quote.
        {"/home/taro", "XDG_DESKTOP_DIR=\"Desk\"\n", "/home/taro/Desktop"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"\n", "/home/taro/Desktop"},
        {"/home/taro", "XDG_DESKTOP_DIR=\"$HOME/x\n", "/home/taro/Desktop"},
        {"", std::nullopt, ""},
        {"", "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(desktopFolder({c.home, "", c.userDirs}), c.folder) << c.userDirs.value_or("(none)");

    EXPECT_EQ(userDirsFilePath("/home/taro", ""), "/home/taro/.config/user-dirs.dirs");
    EXPECT_EQ(userDirsFilePath("/home/taro", "/cfg/"), "/cfg/user-dirs.dirs");
    EXPECT_EQ(userDirsFilePath("/home/taro", "cfg"), "/home/taro/.config/user-dirs.dirs");
    EXPECT_EQ(userDirsFilePath("", ""), "");
}

TEST(DesktopShortcut, LauncherQuotesThePathForExec)
{
    EXPECT_EQ(launcherText("/opt/my games/a\"b$c%d\\e`f/corvidae", "/opt/my games/",
                           "/opt/my games/kestrelbay.png"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.0\n"
              "Name=ケストレルベイ\n"
              "Comment=LANの仲間やコンピュータと対戦するリバーシ\n"
              "Exec=\"/opt/my games/a\\\\\"b\\\\$c%%d\\\\\\\\e\\\\`f/corvidae\"\n"
              "Path=/opt/my games/\n"
              "Icon=/opt/my games/kestrelbay.png\n"
              "Terminal=false\n"
              "Categories=Game;BoardGame;\n");
}

TEST(DesktopShortcut, MadeFoundAndRemovedOnTheDesktopOfTheEnvironment)
{
    TempDir home;
    EnvironmentValue homeVar("HOME", home.path());
    EnvironmentValue configVar("XDG_CONFIG_HOME", home / "cfg");
    std::filesystem::create_directory(home / "cfg");
    writeBytes(home / "cfg/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/机\"\n");

    Settings settings;
    settings.exePath = "/opt/kb \"100%\"/corvidae";
    settings.exeDirectory = "/opt/kb \"100%\"/";
    Shortcut shortcut = prepareShortcut(settings, currentDesktopPlaces());
    ASSERT_EQ(shortcut.path, home / "机/kestrelbay.desktop");
    EXPECT_EQ(shortcut.icon, "/opt/kb \"100%\"/kestrelbay.png");
    int finished = 0;
    shortcut.finishOnDesktop = [&](const Shortcut&) { ++finished; };

    // The desktop folder is not made for the launcher.
    EXPECT_FALSE(createShortcut(shortcut));
    EXPECT_FALSE(shortcutExists(shortcut));
    EXPECT_FALSE(std::filesystem::exists(home / "机"));

    std::filesystem::create_directory(home / "机");
    EXPECT_TRUE(createShortcut(shortcut));
    EXPECT_TRUE(shortcutExists(shortcut));
    EXPECT_EQ(finished, 1);
    const std::string text = readBytes(shortcut.path);
    EXPECT_NE(text.find("Exec=\"/opt/kb \\\\\"100%%\\\\\"/corvidae\"\n"), std::string::npos) << text;
    struct stat info {};
    ASSERT_EQ(::stat(shortcut.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0100, 0100u) << "the owner may start it";

    deleteShortcut(shortcut);
    EXPECT_FALSE(shortcutExists(shortcut));
    deleteShortcut(shortcut); // a missing one is no error

    Shortcut nowhere = prepareShortcut(settings, {"", "", std::nullopt});
    EXPECT_EQ(nowhere.path, "");
    EXPECT_FALSE(shortcutExists(nowhere));
    EXPECT_FALSE(createShortcut(nowhere));
}

} // namespace
} // namespace kestrel
