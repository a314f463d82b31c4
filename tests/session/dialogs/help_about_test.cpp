// The help text's layout, byte for byte where it is fixed (the about
// dialog's mail button is shown in tests/app/dialogs_window_test.cpp).
#include <gtest/gtest.h>

#include "session/dialogs/help_text.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text ends in \\r\\n";
    return lines;
}

// The number of ideographic spaces (81 40) a line starts with.
int indentOf(const std::string& line)
{
    int n = 0;
    while (line.compare(static_cast<std::size_t>(2 * n), 2, "\x81\x40") == 0)
        ++n;
    return n;
}

TEST(HelpText, FortyLinesOfElevenParagraphsInTheirForm)
{
    const std::string& text = helpText();
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[0], "");

    // Paragraphs: "・" first, empty lines between; sub-items (two spaces
    // and a circled number) only in the fifth (①②) and sixth (①②③).
    std::vector<std::string> subItems(12);
    int paragraph = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) {
            EXPECT_FALSE(lines[i - 1].empty()) << i;
            continue;
        }
        if (lines[i - 1].empty()) {
            ++paragraph;
            EXPECT_EQ(line.substr(0, 2), "\x81\x45") << "line " << i << " starts with ・";
            continue;
        }
        const int indent = indentOf(line);
        if (indent == 2) {
            ASSERT_GE(line.size(), 6u);
            EXPECT_EQ(line[4], '\x87') << i;
            subItems[static_cast<std::size_t>(paragraph)] += line.substr(4, 2);
        } else {
            EXPECT_EQ(indent, subItems[static_cast<std::size_t>(paragraph)].empty() ? 1 : 3) << "line " << i;
        }
    }
    EXPECT_EQ(paragraph, 11);
    for (int p = 1; p <= 11; ++p) {
        const std::string expected = p == 5 ? SJ("①②") : p == 6 ? SJ("①②③") : "";
        EXPECT_EQ(subItems[static_cast<std::size_t>(p)], expected) << "paragraph " << p;
    }
    for (const char* named : {"scripts/run.sh", "scripts/test.sh", "build/app/corvidae", "lumenini.fil",
                              "lumenip.fil", "~/.config/kestrelbay/"})
        EXPECT_NE(text.find(named), std::string::npos) << named;
}

} // namespace
} // namespace kestrel
