// The real socket on loopback only: nothing here sends beyond 127.0.0.0/8.
#include <QAbstractEventDispatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "platform/interface_list.h"
#include "platform/udp_socket.h"
#include "session/peers.h"
#include "session/program.h"
#include "session/send.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "tests/support/loopback_udp.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

using testing::FakeDialog;
using testing::FakeTimers;
using testing::FakeView;
using testing::freeLoopbackPort;
using testing::ip;
using testing::kLoopback;
using testing::LoopbackUdp;

constexpr int kWaitMs = 5000;

Ipv4 loopback(unsigned last)
{
    return ip(127, 0, 0, last);
}

std::string portBox(int port)
{
    return SJ("ポート番号") + std::to_string(port) +
           SJ("番は使えません\r\n番号を変更してからプログラムを再起動してください");
}

// Another host on loopback: 127.0.0.<last> on the same port, since every
// answer goes to the port of the settings. Keeps what it receives, in order.
struct Listener {
    LoopbackUdp socket;
    std::vector<std::string>& received = socket.received;
    Listener(unsigned last, std::uint16_t port)
    {
        EXPECT_TRUE(socket.bind(loopback(last), port));
        socket.keepReceived();
    }
    void sendTo(std::uint16_t port, const std::string& bytes) { socket.sendTo(kLoopback, port, bytes); }
};

struct SocketTest : ::testing::Test {
    FakeView view;
    FakeDialog dialog;
    FakeTimers timers;
    UdpSocket socket;
    Program program{view, dialog, socket, timers};
    std::vector<std::pair<Ipv4, std::string>> receivedLog;

    void SetUp() override
    {
        program.settings.playerName = "taro";
        program.settings.port = freeLoopbackPort();
        ASSERT_EQ(socket.open(program, kLoopback), SocketSetup::Ok);
        socket.onReceived = [this](Ipv4 source, std::string_view bytes) {
            receivedLog.emplace_back(source, std::string(bytes));
        };
    }
    std::uint16_t port() const { return std::uint16_t(program.settings.port); }
    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, kWaitMs); }
};

TEST_F(SocketTest, OpensOnLoopbackWithTheLoopbackSubnetAsBroadcast)
{
    EXPECT_TRUE(socket.isOpen());
    EXPECT_EQ(socket.localPort(), port());
    EXPECT_EQ(program.match.broadcastAddress, "127.255.255.255");
    EXPECT_EQ(program.match.socketFailed, 0);
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(SocketTest, HelloFromAPeerIsListedAndAnsweredToItsAddress)
{
    Listener peer(2, port());
    peer.sendTo(port(), "4|1|hanako$1");
    ASSERT_TRUE(waitFor([&] { return !peer.received.empty(); }));

    EXPECT_EQ(peer.received, std::vector<std::string>{"1|2|taro$0"});
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].address, "127.0.0.2");
    EXPECT_EQ(program.peers.rows[0].name, "hanako");
    EXPECT_EQ(program.peers.rows[0].dialUp, 1);
    ASSERT_EQ(receivedLog.size(), 1u);
    EXPECT_EQ(receivedLog[0].first, ip(127, 0, 0, 2));
    EXPECT_EQ(receivedLog[0].second, "4|1|hanako$1");
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(SocketTest, DatagramsArrivingTogetherAreEachDispatchedInOrder)
{
    Listener a(2, port()), b(3, port()), c(4, port());
    a.sendTo(port(), "1|1|alpha$0");
    b.sendTo(port(), "1|1|beta$0");
    c.sendTo(port(), "1|1|gamma$0");
    ASSERT_TRUE(waitFor([&] { return program.peers.count == 3 && !c.received.empty(); }));

    EXPECT_EQ(program.peers.rows[0].address, "127.0.0.2");
    EXPECT_EQ(program.peers.rows[0].name, "alpha");
    EXPECT_EQ(program.peers.rows[1].address, "127.0.0.3");
    EXPECT_EQ(program.peers.rows[1].name, "beta");
    EXPECT_EQ(program.peers.rows[2].address, "127.0.0.4");
    EXPECT_EQ(program.peers.rows[2].name, "gamma");
    // Each answer carries the next seq, so the answers went out in arrival order.
    EXPECT_EQ(a.received, std::vector<std::string>{"1|2|taro$0"});
    EXPECT_EQ(b.received, std::vector<std::string>{"2|2|taro$0"});
    EXPECT_EQ(c.received, std::vector<std::string>{"3|2|taro$0"});
}

TEST_F(SocketTest, EmptyZeroLedAndOversizedDatagramsAreDroppedSilently)
{
    Listener peer(2, port());
    peer.sendTo(port(), std::string("\0"
                                    "1|1|ghost$0",
                                    12));
    peer.sendTo(port(), "");
    // Cut to the buffer, these would read as announcements of "cut".
    peer.sendTo(port(), std::string("7|1|cut$0\0", 10) + std::string(1190, 'x')); // 1200 bytes
    peer.sendTo(port(), std::string("8|1|cut$0\0", 10) + std::string(1150, 'y')); // 1160 bytes
    peer.sendTo(port(), "2|1|real$0");
    ASSERT_TRUE(waitFor([&] { return program.peers.count == 1 && !peer.received.empty(); }));

    EXPECT_EQ(program.peers.rows[0].name, "real");
    EXPECT_EQ(peer.received, std::vector<std::string>{"1|2|taro$0"});
    EXPECT_TRUE(dialog.boxes.empty());
    // The oversized ones never reach the receive path, not even cut short.
    for (const auto& [source, bytes] : receivedLog)
        EXPECT_EQ(bytes.find("cut"), std::string::npos);
    EXPECT_TRUE(socket.isOpen());
}

TEST_F(SocketTest, TheLongestDatagramIsReadWhole)
{
    Listener peer(2, port());
    const std::string longest = "5|1|" + std::string(1155, 'n'); // 1159 bytes
    peer.sendTo(port(), longest);
    ASSERT_TRUE(waitFor([&] { return !receivedLog.empty(); }));
    ASSERT_EQ(receivedLog.size(), 1u);
    EXPECT_EQ(receivedLog[0].second, longest);
}

TEST_F(SocketTest, AnAnnouncementReachesItselfAndTheSocketKeepsReadingAfterwards)
{
    std::vector<std::pair<Ipv4, std::string>> sent;
    socket.onSent = [&](Ipv4 destination, std::string_view bytes) { sent.emplace_back(destination, bytes); };
    // The loopback subnet's broadcast, then this host by its address.
    program.settings.extraAddresses = {"127.0.0.1"};
    sendToAll(program, MSG_HELLO, announcementPayload(program.settings));
    ASSERT_TRUE(waitFor([&] { return receivedLog.size() == 2; }));

    const std::vector<std::pair<Ipv4, std::string>> expectedSent = {{ip(127, 255, 255, 255), "1|1|taro$0"},
                                                                    {ip(127, 0, 0, 1), "2|1|taro$0"},
                                                                    {ip(127, 0, 0, 1), "3|2|taro$0"}};
    EXPECT_EQ(sent, expectedSent);
    EXPECT_EQ(receivedLog[0].second, "2|1|taro$0");
    EXPECT_EQ(receivedLog[1].second, "3|2|taro$0");
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].address, "127.0.0.1");
    EXPECT_EQ(program.peers.rows[0].name, "taro");

    // A later announcement from another host is still heard and answered.
    Listener peer(2, port());
    peer.sendTo(port(), "1|1|hanako$0");
    ASSERT_TRUE(waitFor([&] { return !peer.received.empty(); }));
    EXPECT_EQ(peer.received, std::vector<std::string>{"4|2|taro$0"});
    EXPECT_EQ(program.peers.count, 2);
    EXPECT_TRUE(dialog.boxes.empty());
}

// The window blocked by a pause (the thread sleeps, as the view's pause
// does) while 2000 datagrams arrive, more than the kernel's receive buffer
// holds: the receive thread has kept every one, and they are handled in
// order once the window is free again.
TEST_F(SocketTest, DatagramsArrivingWhileTheWindowIsBlockedAreAllKept)
{
    constexpr int kCount = 2000;
    std::thread sender([&] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in from{}, to{};
        from.sin_family = to.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(ip(127, 0, 0, 2));
        to.sin_addr.s_addr = htonl(ip(127, 0, 0, 1));
        to.sin_port = htons(port());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from), 0);
        for (int i = 1; i <= kCount; ++i) {
            const std::string text = std::to_string(i) + "|2|burst$0";
            ::sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
            if (i % 100 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::close(fd);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    sender.join();
    EXPECT_TRUE(receivedLog.empty()); // nothing was handled inside the pause
    EXPECT_EQ(socket.queue().size(), std::size_t(kCount));
    // As the event loop runs them: each event posts the next (qWaitFor
    // would sleep between two rounds of events).
    QElapsedTimer clock;
    clock.start();
    while (receivedLog.size() < kCount && clock.elapsed() < kWaitMs)
        QCoreApplication::processEvents();
    ASSERT_EQ(receivedLog.size(), std::size_t(kCount));
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(receivedLog[std::size_t(i)].second, std::to_string(i + 1) + "|2|burst$0");
    EXPECT_EQ(socket.queue().dropped(), 0u);
    EXPECT_EQ(program.peers.count, 1);
}

// A connect dialog's list whose first insertion runs a nested event loop, as
// a modal box opened inside a handler does.
struct NestingListView : PeerListView {
    std::function<void()> nested;
    std::vector<std::string> items;
    void insertItem(int position, const std::string& name) override
    {
        items.insert(items.begin() + position, name);
        if (nested) {
            auto run = std::move(nested);
            nested = nullptr;
            run();
        }
    }
    void deleteItem(int position) override { items.erase(items.begin() + position); }
    bool isSelected(int) const override { return false; }
    void select(int) override {}
};

TEST_F(SocketTest, ANestedLoopInsideAHandlerKeepsDispatchingTheDatagramsBehindIt)
{
    Listener first(2, port()), second(3, port());
    NestingListView list;
    program.openConnectDialog = &list;
    int peersInsideFirstHandler = -1;
    list.nested = [&] {
        waitFor([&] { return program.peers.count == 2; });
        peersInsideFirstHandler = program.peers.count;
    };
    first.sendTo(port(), "1|1|alpha$0");
    second.sendTo(port(), "1|1|beta$0");
    ASSERT_TRUE(waitFor([&] { return !first.received.empty() && !second.received.empty(); }));

    EXPECT_EQ(peersInsideFirstHandler, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"alpha", "beta"}));
    // The inner datagram was answered first: its handler finished inside the outer one.
    EXPECT_EQ(second.received, std::vector<std::string>{"1|2|taro$0"});
    EXPECT_EQ(first.received, std::vector<std::string>{"2|2|taro$0"});
    program.openConnectDialog = nullptr;
}

TEST_F(SocketTest, ANotificationErrorClosesTheSocketAndLaterSendsFail)
{
    socket.onNotificationError(ECONNREFUSED);
    EXPECT_TRUE(socket.isOpen());
    EXPECT_TRUE(dialog.boxes.empty());

    socket.onNotificationError(ENETDOWN);
    EXPECT_FALSE(socket.isOpen());
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].kind, "error");
    EXPECT_EQ(dialog.boxes[0].text, SJ("ソケットイベントの通知でエラーが発生"));
    EXPECT_EQ(program.match.socketFailed, 0);

    EXPECT_FALSE(sendDatagram(program, "127.0.0.1", MSG_HELLO, "taro$0"));
    ASSERT_EQ(dialog.boxes.size(), 2u);
    EXPECT_EQ(dialog.boxes[1].text, SJ("相手への送信失敗 : ") + std::to_string(kErrorNotSocket));
    EXPECT_EQ(socket.sendTo(ip(127, 0, 0, 1), port(), "x"), kErrorNotSocket);
    EXPECT_EQ(socket.localPort(), 0); // it did not bind itself anew

    // Nothing is read any more either. A second socket, still open on
    // 127.0.0.3, gets the same datagram after it: once that one has been
    // dispatched, the first would have been too, had the socket been open.
    FakeView controlView;
    FakeDialog controlDialog;
    FakeTimers controlTimers;
    UdpSocket control;
    Program controlProgram{controlView, controlDialog, control, controlTimers};
    controlProgram.settings.playerName = "jiro";
    controlProgram.settings.port = port();
    ASSERT_EQ(control.open(controlProgram, loopback(3)), SocketSetup::Ok);
    Listener peer(2, port());
    peer.sendTo(port(), "1|1|late$0");
    peer.socket.sendTo(loopback(3), port(), "1|1|late$0");
    ASSERT_TRUE(waitFor([&] { return controlProgram.peers.count == 1; }));
    EXPECT_EQ(controlProgram.peers.rows[0].name, "late");
    EXPECT_EQ(program.peers.count, 0);
    EXPECT_TRUE(receivedLog.empty());
}

TEST(SocketSetupTest, APortAlreadyTakenGivesThePortBox)
{
    LoopbackUdp holder;
    ASSERT_TRUE(holder.bind(kLoopback, 0));
    FakeView view;
    FakeDialog dialog;
    FakeTimers timers;
    UdpSocket socket;
    Program program{view, dialog, socket, timers};
    program.settings.port = holder.localPort();

    EXPECT_EQ(socket.open(program, kLoopback), SocketSetup::BindFailed);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].kind, "error");
    EXPECT_EQ(dialog.boxes[0].text, portBox(holder.localPort()));
    EXPECT_EQ(program.match.socketFailed, 1);
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(socket.sendTo(ip(127, 0, 0, 1), holder.localPort(), "x"), kErrorNotSocket);
}

TEST(SocketSetupTest, NoSocketLeftToCreateGivesTheCreationBox)
{
    FakeView view;
    FakeDialog dialog;
    FakeTimers timers;
    UdpSocket socket;
    Program program{view, dialog, socket, timers};
    program.settings.port = freeLoopbackPort();
    // A first, successful set-up converts the box texts while descriptors are plenty.
    ASSERT_EQ(socket.open(program, kLoopback), SocketSetup::Ok);
    socket.shutDown();

    // Lower the descriptor limit to the lowest free descriptor, so the next socket() fails.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowest = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(lowest, 0);
    ::close(lowest);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(lowest);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    const SocketSetup result = socket.open(program, kLoopback);
    setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_EQ(result, SocketSetup::CreateFailed);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, SJ("Winsockソケット作成失敗"));
    EXPECT_EQ(program.match.socketFailed, 1);
}

TEST(SocketSetupTest, AThreadWithoutAnEventLoopCannotBeNotified)
{
    FakeDialog dialog;
    SocketSetup result = SocketSetup::Ok;
    std::thread worker([&] {
        FakeView view;
        FakeTimers timers;
        UdpSocket socket;
        Program program{view, dialog, socket, timers};
        program.settings.port = freeLoopbackPort();
        result = socket.open(program, kLoopback);
        EXPECT_FALSE(socket.isOpen());
        EXPECT_EQ(program.match.socketFailed, 1);
    });
    worker.join();
    EXPECT_EQ(result, SocketSetup::NotifyFailed);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, SJ("非同期モード（受信＆切断）に失敗"));
}

// The names of this process's threads, from /proc.
QStringList threadNames()
{
    QStringList names;
    for (const QString& task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromUtf8(comm.readAll()).trimmed();
    }
    return names;
}

TEST(SocketSetupTest, DatagramsGoThroughNoProxySoNoThreadLooksOneUp)
{
    FakeView view;
    FakeDialog dialog;
    FakeTimers timers;
    UdpSocket socket;
    Program program{view, dialog, socket, timers};
    program.settings.port = 0; // any free port
    QStringList threads = threadNames();
    ASSERT_EQ(socket.open(program, kLoopback), SocketSetup::Ok);
    // The socket's own receive thread is the only new one.
    threads << QStringLiteral("kestrel-receive");
    QStringList now = threadNames();
    threads.sort();
    now.sort();
    EXPECT_EQ(now, threads) << now.join(u' ').toStdString();
}

// Only texts that the system's resolver reads as addresses itself: a name
// looked up could become a DNS query that leaves the machine.
TEST(SocketAddresses, ResolveTakesStrictDottedDecimalAndNoOtherAddressForm)
{
    UdpSocket socket;
    Ipv4 address = 0;
    EXPECT_TRUE(socket.resolve("127.0.0.3", address));
    EXPECT_EQ(address, ip(127, 0, 0, 3));
    EXPECT_TRUE(socket.resolve("10.77.0.2", address));
    EXPECT_EQ(address, ip(10, 77, 0, 2));
    // Read by inet_aton as 8.0.0.1, 127.0.0.1 (three times) and ::1: no host the player typed.
    for (const char* text :
         {"010.0.0.1", "0x7f.0.0.1", "127.1", "2130706433", "::1", "fe80::1%lo", " 10.1.2.3 ", ""}) {
        address = 0;
        EXPECT_FALSE(socket.resolve(text, address)) << text;
        EXPECT_EQ(address, 0u) << text;
    }
}

// A name the hosts file answers (where it does: elsewhere the question
// could go to a name server).
TEST(SocketAddresses, ANameIsLookedUpToItsIpv4Address)
{
    std::ifstream hosts("/etc/hosts");
    std::string line;
    bool listed = false;
    while (!listed && std::getline(hosts, line))
        listed = line.rfind("127.0.0.1", 0) == 0 && line.find(" localhost") != std::string::npos;
    if (!listed)
        GTEST_SKIP() << "no localhost in /etc/hosts";
    UdpSocket socket;
    Ipv4 address = 0;
    EXPECT_TRUE(socket.resolve("localhost", address));
    EXPECT_EQ(address, ip(127, 0, 0, 1));
}

TEST(SocketAddresses, AHostNameIsLookedUpAsItsCodePage932Text)
{
    EXPECT_EQ(lookUpName("lan-host"), QStringLiteral("lan-host"));
    // "対局室" in code page 932: read as UTF-8 it would fall apart.
    const std::string name = SJ("対局室");
    ASSERT_EQ(name, std::string("\x91\xce\x8b\xc7\x8e\xba"));
    EXPECT_EQ(lookUpName(name), QString::fromUtf8("対局室"));
    const std::string halfWidthKana = "\xce\xbd\xc4"; // "ﾎｽﾄ": one byte each, above 0x7F
    EXPECT_EQ(lookUpName(halfWidthKana + "1"), QString::fromUtf8("ﾎｽﾄ1"));
    EXPECT_TRUE(lookUpName("").isEmpty());
}

InterfaceEntry entry(bool up, Ipv4 address, Ipv4 netmask)
{
    return {up, up, false, address, netmask};
}

TEST(BoundBroadcast, TheEntryHoldingTheBoundAddressWinsOverAnEarlierSubnetThatContainsIt)
{
    const Ipv4 bound = ip(10, 1, 2, 3);
    const std::vector<InterfaceEntry> entries = {entry(true, ip(10, 0, 0, 1), ip(255, 0, 0, 0)),
                                                 entry(true, bound, ip(255, 255, 255, 0))};
    EXPECT_EQ(broadcastAddressForBound(entries, bound), "10.1.2.255");
}

TEST(BoundBroadcast, AnEntryThatIsDownOrHasNoNetmaskIsPassedOver)
{
    const Ipv4 bound = ip(192, 168, 5, 7);
    // Down, though it holds the address: the subnet of an entry that is up.
    EXPECT_EQ(broadcastAddressForBound({entry(false, bound, ip(255, 255, 255, 255)),
                                        entry(true, ip(192, 168, 5, 1), ip(255, 255, 255, 0))},
                                       bound),
              "192.168.5.255");
    // A null netmask would hold every address.
    EXPECT_EQ(
        broadcastAddressForBound(
            {entry(true, ip(172, 16, 0, 1), 0), entry(true, ip(192, 168, 0, 1), ip(255, 255, 0, 0))}, bound),
        "192.168.255.255");
    EXPECT_EQ(broadcastAddressForBound({entry(true, ip(172, 16, 0, 1), 0)}, bound), "255.255.255.255");
    EXPECT_EQ(broadcastAddressForBound({entry(false, ip(192, 168, 5, 1), ip(255, 255, 255, 0))}, bound),
              "255.255.255.255");
}

TEST(BoundBroadcast, LoopbackAddressesKeepTheLoopbackBroadcast)
{
    const std::vector<InterfaceEntry> entries = {{true, true, true, ip(127, 0, 0, 1), ip(255, 0, 0, 0)},
                                                 entry(true, ip(10, 0, 0, 5), ip(255, 255, 255, 0))};
    EXPECT_EQ(broadcastAddressForBound(entries, ip(127, 0, 0, 1)), "127.255.255.255");
    EXPECT_EQ(broadcastAddressForBound(entries, ip(127, 0, 0, 2)), "127.255.255.255");
}

// getifaddrs() entries as the kernel lists them: one link entry per
// interface (no IPv4 address), IPv4 and IPv6 addresses.
TEST(InterfaceList, EveryIpv4AddressIsOneEntryWithItsInterfaceFlags)
{
    struct Item {
        const char* name;
        unsigned flags;
        int family; // AF_UNSPEC: no address at all
        Ipv4 address, netmask;
    };
    const unsigned upRunning = IFF_UP | IFF_RUNNING;
    const Item items[] = {
        {"lo", upRunning | IFF_LOOPBACK, AF_PACKET, 0, 0},
        {"tun0", IFF_UP | IFF_POINTOPOINT, AF_UNSPEC, 0, 0},
        {"lo", upRunning | IFF_LOOPBACK, AF_INET, ip(127, 0, 0, 1), ip(255, 0, 0, 0)},
        {"eth0", upRunning | IFF_BROADCAST, AF_INET, ip(10, 77, 0, 2), ip(255, 255, 255, 0)},
        {"eth0", upRunning | IFF_BROADCAST, AF_INET, ip(10, 78, 0, 2), 0}, // no netmask given
        {"docker0", IFF_UP | IFF_BROADCAST, AF_INET, ip(172, 17, 0, 1), ip(255, 255, 0, 0)},
        {"eth1", IFF_BROADCAST, AF_INET, ip(192, 168, 9, 4), ip(255, 255, 255, 0)},
        {"eth0", upRunning, AF_INET6, 0, 0},
    };
    std::vector<ifaddrs> list(std::size(items));
    std::vector<sockaddr_in> addresses(std::size(items)), netmasks(std::size(items));
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    sockaddr packet{};
    packet.sa_family = AF_PACKET;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Item& item = items[i];
        list[i].ifa_next = i + 1 < list.size() ? &list[i + 1] : nullptr;
        list[i].ifa_name = const_cast<char*>(item.name);
        list[i].ifa_flags = item.flags;
        addresses[i].sin_family = netmasks[i].sin_family = AF_INET;
        addresses[i].sin_addr.s_addr = htonl(item.address);
        netmasks[i].sin_addr.s_addr = htonl(item.netmask);
        if (item.family == AF_INET) {
            list[i].ifa_addr = reinterpret_cast<sockaddr*>(&addresses[i]);
            list[i].ifa_netmask = item.netmask != 0 ? reinterpret_cast<sockaddr*>(&netmasks[i]) : nullptr;
        } else if (item.family == AF_INET6) {
            list[i].ifa_addr = reinterpret_cast<sockaddr*>(&ipv6);
        } else if (item.family == AF_PACKET) {
            list[i].ifa_addr = &packet;
        }
    }

    const std::vector<InterfaceEntry> entries = interfaceEntriesOf(list.data());
    ASSERT_EQ(entries.size(), 5u);
    const InterfaceEntry expected[] = {
        {true, true, true, ip(127, 0, 0, 1), ip(255, 0, 0, 0)},
        {true, true, false, ip(10, 77, 0, 2), ip(255, 255, 255, 0)},
        {true, true, false, ip(10, 78, 0, 2), 0},
        {true, false, false, ip(172, 17, 0, 1), ip(255, 255, 0, 0)},
        {false, false, false, ip(192, 168, 9, 4), ip(255, 255, 255, 0)},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].up, expected[i].up) << i;
        EXPECT_EQ(entries[i].running, expected[i].running) << i;
        EXPECT_EQ(entries[i].loopback, expected[i].loopback) << i;
        EXPECT_EQ(entries[i].address, expected[i].address) << i;
        EXPECT_EQ(entries[i].netmask, expected[i].netmask) << i;
    }
}

TEST(InterfaceList, ThisHostListsItsLoopbackAddress)
{
    const std::vector<InterfaceEntry> entries = interfaceEntries();
    const auto loopbackEntry = std::find_if(entries.begin(), entries.end(), [](const InterfaceEntry& e) {
        return e.address == ip(127, 0, 0, 1);
    });
    ASSERT_NE(loopbackEntry, entries.end());
    EXPECT_TRUE(loopbackEntry->up);
    EXPECT_TRUE(loopbackEntry->running);
    EXPECT_TRUE(loopbackEntry->loopback);
    EXPECT_EQ(loopbackEntry->netmask, ip(255, 0, 0, 0));
}

} // namespace
} // namespace kestrel
