#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include "platform/login_name.h"
#include "text/cp932.h"

using namespace kestrel;

TEST(LoginName, IsShiftJisOfAtMostSixtyThreeBytes)
{
    EXPECT_EQ(fitLoginName("taro"), "taro");
    EXPECT_EQ(fitLoginName("山田"), "\x8E\x52\x93\x63");
    EXPECT_EQ(fitLoginName(std::string(63, 'a')), std::string(63, 'a'));
    EXPECT_EQ(fitLoginName(std::string(64, 'a')), ""); // does not fit: not obtained

    // The limit is on the Shift-JIS bytes, not on the UTF-8 ones.
    std::string kanji31, kanji32;
    for (int i = 0; i < 31; ++i)
        kanji31 += "漢";
    kanji32 = kanji31 + "漢";
    EXPECT_EQ(fitLoginName(kanji31 + "a").size(), 63u); // 94 bytes of UTF-8
    EXPECT_EQ(fitLoginName(kanji32), "");
    EXPECT_EQ(fitLoginName(""), "");
}

TEST(LoginName, IsTheAccountRunningTheProgram)
{
    const passwd* entry = ::getpwuid(::geteuid());
    if (!entry)
        GTEST_SKIP() << "the account has no entry in the user database";
    EXPECT_EQ(loginUserName(), fitLoginName(entry->pw_name));
    EXPECT_FALSE(loginUserName().empty());
}
