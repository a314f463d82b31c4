#include "tools/peer/peer_options.h"

#include <gtest/gtest.h>

#include "text/cp932.h"
#include "tools/peer/console.h"

namespace kestrel::peer {
namespace {

bool parse(QStringList args, PeerOptions& options, std::string& error)
{
    args.prepend("kestrel-peer");
    return parsePeerOptions(args, options, error);
}

TEST(PeerOptions, ReadsEveryOptionAndConvertsTheNameToShiftJis)
{
    PeerOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--name",    "たろう",         "--port",    "23456",  "--dial-up", "--extra",
                       "127.0.0.2", "--extra",        "127.0.0.3", "--bind", "127.0.0.1", "--quit-after",
                       "1500",      "--log",          "--answer",  "yes",    "--answer",  "no",
                       "--clock",   "--time-divisor", "10"},
                      options, error))
        << error;
    EXPECT_EQ(options.name, toCp932("たろう"));
    EXPECT_EQ(options.port, 23456);
    EXPECT_TRUE(options.dialUp);
    EXPECT_EQ(options.extraAddresses, (std::vector<std::string>{"127.0.0.2", "127.0.0.3"}));
    EXPECT_EQ(options.bindAddress, "127.0.0.1");
    EXPECT_EQ(options.quitAfterMs, 1500);
    EXPECT_TRUE(options.log);
    EXPECT_EQ(options.answers, (std::deque<bool>{true, false}));
    EXPECT_TRUE(options.clock);
    EXPECT_EQ(options.timeDivisor, 10);

    PeerOptions defaults;
    ASSERT_TRUE(parse({}, defaults, error));
    EXPECT_EQ(defaults.port, 20000);
    EXPECT_TRUE(defaults.bindAddress.empty());
    EXPECT_EQ(defaults.quitAfterMs, -1);
    EXPECT_TRUE(defaults.answers.empty());
    EXPECT_FALSE(defaults.clock);
    EXPECT_EQ(defaults.timeDivisor, 1);

    // A name is cut to 63 bytes without splitting a double-byte character.
    PeerOptions longName;
    ASSERT_TRUE(parse({"--name", QString(40, QChar(0x3042))}, longName, error));
    EXPECT_EQ(longName.name.size(), 62u);
}

TEST(PeerOptions, RejectsBadValues)
{
    const std::vector<QStringList> bad = {
        {"--port", "999"},       {"--port", "30001"},
        {"--port", "x"},         {"--bind", "localhost"},
        {"--bind", "1.2.3"},     {"--quit-after", "-5"},
        {"--answer", "maybe"},   {"--extra", "a-name-longer-than-15"},
        {"--unknown"},           {"stray"},
        {"--time-divisor", "0"}, {"--time-divisor", "x"},
    };
    for (const QStringList& args : bad) {
        PeerOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << args.join(' ').toStdString();
        EXPECT_FALSE(error.empty());
    }
}

TEST(PeerOptions, StartsOnlyOnLoopbackOrInsideATestNamespace)
{
    PeerOptions options;
    // Nothing bound: it would broadcast on the machine's network.
    EXPECT_NE(startRefusal(options, false, false), "");
    options.bindAddress = "10.0.0.5";
    EXPECT_NE(startRefusal(options, false, false), "");
    options.bindAddress = "127.0.0.1";
    EXPECT_EQ(startRefusal(options, false, false), "");
    options.extraAddresses = {"127.0.0.2", "192.168.1.9"};
    EXPECT_NE(startRefusal(options, false, false), "");
    options.extraAddresses = {"127.0.0.2", "a-host"};
    EXPECT_NE(startRefusal(options, false, false), "");

    // The namespace flag counts only where the namespace is really separate.
    PeerOptions inNamespace;
    EXPECT_NE(startRefusal(inNamespace, true, false), "");
    EXPECT_EQ(startRefusal(inNamespace, true, true), "");
    // This test itself runs in the namespace of its parent.
    EXPECT_FALSE(inSeparateNetworkNamespace());

    EXPECT_TRUE(isLoopbackAddress("127.255.255.255"));
    EXPECT_FALSE(isLoopbackAddress("128.0.0.1"));
    EXPECT_FALSE(isLoopbackAddress("255.255.255.255"));
}

TEST(PeerConsole, PrintsShiftJisAsOneUtf8Line)
{
    EXPECT_EQ(printable(toCp932("7|9|こんにちは")), "7|9|こんにちは");
    EXPECT_EQ(printable(toCp932("ポート\r\n番号")), "ポート\\r\\n番号");
    EXPECT_EQ(printable(std::string("a\\b\0c\x1b", 6)), "a\\\\b\\x00c\\x1B");
}

} // namespace
} // namespace kestrel::peer
