#include <gtest/gtest.h>

#include "text/cp932.h"

using kestrel::cutCp932;
using kestrel::fromCp932;
using kestrel::toCp932;

TEST(Cp932, EncodesTheWindowsFormsOfSpecialCharacters)
{
    EXPECT_EQ(toCp932("①"), "\x87\x40");
    EXPECT_EQ(toCp932("～"), "\x81\x60");
    EXPECT_EQ(toCp932("〜"), "\x81\x60"); // wave dash takes the same code
    EXPECT_EQ(toCp932("ｱ"), "\xB1");      // half-width katakana is one byte
    EXPECT_EQ(toCp932("黒の勝ちです"), "\x8D\x95\x82\xCC\x8F\x9F\x82\xBF\x82\xC5\x82\xB7");
    EXPECT_EQ(toCp932("taro"), "taro");
}

TEST(Cp932, RoundTripsAndReplacesWhatItCannotMap)
{
    EXPECT_EQ(fromCp932(toCp932("情報①ｶﾀｶﾅ")), "情報①ｶﾀｶﾅ");
    EXPECT_EQ(toCp932("a😀b"), "a?b");
    EXPECT_EQ(fromCp932("a\xFF"
                        "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(fromCp932("x\x81"), "x\xEF\xBF\xBD"); // lead byte cut off at the end
}

TEST(Cp932, CutNeverSplitsADoubleByteCharacter)
{
    std::string kanji = toCp932("漢字漢字"); // 8 bytes
    EXPECT_EQ(cutCp932(kanji, 8), kanji);
    EXPECT_EQ(cutCp932(kanji, 7), kanji.substr(0, 6));
    EXPECT_EQ(cutCp932("ab" + kanji, 3), "ab");
    EXPECT_EQ(cutCp932("abc", 2), "ab");
}
