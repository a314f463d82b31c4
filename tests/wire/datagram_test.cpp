#include <gtest/gtest.h>

#include <climits>

#include "tests/support/fake_ports.h"
#include "text/cp932.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

TEST(DatagramFormat, GoldenBytes)
{
    EXPECT_EQ(formatDatagram(1, MSG_HELLO, "taro$0"), "1|1|taro$0");
    EXPECT_EQ(formatDatagram(1, MSG_HELLO, "taro$0").size(), 10u);
    EXPECT_EQ(formatDatagram(7, MSG_HELLO_REPLY, "hanako$1"), "7|2|hanako$1");
    EXPECT_EQ(formatDatagram(-3, MSG_CHAT, "a|b\r\n"), "-3|9|a|b\r\n");
    EXPECT_EQ(formatDatagram(INT32_MAX, MSG_PASS_ACK, "0"), "2147483647|21|0");
    // Shift-JIS passes byte for byte, a trail byte 0x7C ("ポ") included.
    EXPECT_EQ(formatDatagram(2, MSG_HELLO, toCp932("花子") + "$0"), "2|1|\x89\xD4\x8E\x71$0");
    EXPECT_EQ(formatDatagram(3, MSG_CHAT, toCp932("ポ")), std::string("3|9|\x83\x7C"));
}

TEST(DatagramFormat, AddressTextIsDottedDecimalWithoutLeadingZeros)
{
    EXPECT_EQ(addressText(ip(10, 0, 0, 5)), "10.0.0.5");
    EXPECT_EQ(addressText(ip(192, 168, 1, 255)), "192.168.1.255");
    EXPECT_EQ(addressText(0xFFFFFFFFu), "255.255.255.255");
    EXPECT_EQ(addressText(0), "0.0.0.0");
}

TEST(DatagramFormat, DottedAddressIsReadStrictly)
{
    Ipv4 a = 0;
    EXPECT_TRUE(parseDottedAddress("10.0.0.5", a));
    EXPECT_EQ(a, ip(10, 0, 0, 5));
    EXPECT_TRUE(parseDottedAddress("255.255.255.255", a));
    EXPECT_EQ(a, 0xFFFFFFFFu);
    EXPECT_TRUE(parseDottedAddress("0.0.0.0", a));
    EXPECT_EQ(a, 0u);
    EXPECT_TRUE(parseDottedAddress("192.168.100.200", a));
    EXPECT_EQ(addressText(a), "192.168.100.200");

    a = 12345;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1.2.3.256", "1..2.3",
                            " 1.2.3.4", "1.2.3.4 ", "01.2.3.4", "1.2.3.010", "0x1.2.3.4", "1.2.3.-4",
                            "1.2.3.4x", "1234.1.1.1", "10.1", "167772161", "a.b.c.d", "host.example"}) {
        EXPECT_FALSE(parseDottedAddress(bad, a)) << bad;
    }
    EXPECT_EQ(a, 12345u); // untouched on failure
}

TEST(DatagramFormat, DecimalValueReadsLikeAtoiAndSaturates)
{
    EXPECT_EQ(decimalValue("42"), 42);
    EXPECT_EQ(decimalValue("  -7x"), -7);
    EXPECT_EQ(decimalValue("\t\n\v\f\r 12"), 12);
    EXPECT_EQ(decimalValue("+5"), 5);
    EXPECT_EQ(decimalValue("12 34"), 12);
    EXPECT_EQ(decimalValue("007"), 7);
    EXPECT_EQ(decimalValue("abc"), 0);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue("-"), 0);
    EXPECT_EQ(decimalValue("- 5"), 0);
    EXPECT_EQ(decimalValue("2147483647"), INT32_MAX);
    EXPECT_EQ(decimalValue("2147483648"), INT32_MAX);
    EXPECT_EQ(decimalValue("4294967297"), INT32_MAX); // not wrapped round to 1
    EXPECT_EQ(decimalValue("99999999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(decimalValue("-2147483648"), INT32_MIN);
    EXPECT_EQ(decimalValue("-2147483649"), INT32_MIN);
    EXPECT_EQ(decimalValue("-99999999999999999999999999999"), INT32_MIN);
}

struct ParseCase {
    const char* text;
    std::int32_t seq;
    std::int32_t type;
    const char* payload;
};

TEST(DatagramParse, SplitsLikeStrtok)
{
    const ParseCase cases[] = {
        {"1|1|taro$0", 1, 1, "taro$0"},
        {"7|9|a|b", 7, 9, "a|b"}, // the payload keeps its separators
        {"abc|9|x", 0, 9, "x"},   // seq without digits is 0
        {"5||9|hi", 5, 9, "hi"},  // empty fields are passed over
        {"||7||9|x", 7, 9, "x"},
        {"5|9||x", 5, 9, "|x"},
        {"7|9||", 7, 9, "|"}, // only the "|" that ended the type is eaten
        {"  12| +3|x", 12, 3, "x"},
        {"-4|1|x", -4, 1, "x"},
        {"7|9|line\r\nnext\r\n", 7, 9, "line\r\nnext\r\n"},
        {"7x|9y|z", 7, 9, "z"},
        {"99999999999|4294967297|z", INT32_MAX, INT32_MAX, "z"},
    };
    for (const ParseCase& c : cases) {
        ParsedDatagram parsed;
        ASSERT_TRUE(parseDatagram(c.text, parsed)) << c.text;
        EXPECT_EQ(parsed.seq, c.seq) << c.text;
        EXPECT_EQ(parsed.type, c.type) << c.text;
        EXPECT_EQ(parsed.payload, c.payload) << c.text;
    }
}

TEST(DatagramParse, RejectsMissingTokensAndEmptyPayloads)
{
    for (const char* bad : {"", "7", "7|", "7|9", "7|9|", "|9|x", "|||", "||7||9", "7||||"}) {
        ParsedDatagram parsed;
        EXPECT_FALSE(parseDatagram(bad, parsed)) << bad;
    }
}

TEST(DatagramParse, TextEndsAtTheFirstZeroByte)
{
    ParsedDatagram parsed;
    ASSERT_TRUE(parseDatagram(std::string_view("7|9|x\0yz", 8), parsed));
    EXPECT_EQ(parsed.payload, "x");
    EXPECT_FALSE(parseDatagram(std::string_view("7|9|\0yz", 7), parsed));
    EXPECT_FALSE(parseDatagram(std::string_view("\0"
                                                "7|9|x",
                                                6),
                               parsed));
}

TEST(HostText, ANumberInTheLastLabelIsNoHostName)
{
    for (const char* text : {"010.0.0.1", "10.1", "167772161", "0x0a.0.0.1", "0XA000001", "10.0.0.0x1",
                             "10.0.0.256", "1.2.3.4.5", "10.0.0.1.", "0x"})
        EXPECT_TRUE(isNumericHostText(text)) << text;
    for (const char* text : {"", ".", "lan-host", "pc01.lan", "123abc", "10.0.0.1a", "0x1g", "1e100.net",
                             "10.0.0.x", "\x91\xce"})
        EXPECT_FALSE(isNumericHostText(text)) << text;
}

} // namespace
} // namespace kestrel::testing
