// burst-sender: many players at once, from one network namespace that holds
// all their addresses. For whole-program tests inside namespaces only: it
// refuses any destination outside 10.78.0.0/16, and every mode ends by
// itself within its time limit.
//
//   burst-sender answer PORT FIRST COUNT BURSTS
//       Waits for MSG_HELLO on PORT and answers each with COUNT
//       MSG_HELLO_REPLY, one from each address FIRST, FIRST+1, ... (players
//       p0, p1, ...), all at once; ends after BURSTS announcements or 60 s.
//   burst-sender hold PORT PEER HOLD_MS
//       The kernel's default receive buffer alone: binds PORT, asks PEER
//       with MSG_HELLO, reads nothing for HOLD_MS (as a window blocked by a
//       pause), then counts what the buffer kept. Prints "KEPT n".
//   burst-sender flood PORT FIRST COUNT TARGET SECONDS RATE
//       Asks TARGET for a game from FIRST, then floods it for SECONDS at
//       RATE datagrams a second from all COUNT addresses: announcements,
//       requests, disconnects, moves, results, goodbyes, 999-byte chat lines
//       from FIRST, oversized and malformed datagrams.
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const char* what)
{
    std::fprintf(stderr, "burst-sender: %s: %s\n", what, std::strerror(errno));
    std::exit(2);
}

in_addr_t address(const char* text)
{
    in_addr a{};
    if (inet_pton(AF_INET, text, &a) != 1)
        die("not an address");
    // Only the test namespaces' own network.
    if ((ntohl(a.s_addr) & 0xFFFF0000u) != 0x0A4E0000u) {
        std::fprintf(stderr, "burst-sender: %s is not in 10.78.0.0/16\n", text);
        std::exit(2);
    }
    return a.s_addr;
}

int boundSocket(int port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        die("bind");
    return fd;
}

// One datagram from `from` (an address of this namespace) to `to`.
void sendFrom(int fd, in_addr_t from, const sockaddr_in& to, const std::string& text)
{
    iovec data{const_cast<char*>(text.data()), text.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&to);
    message.msg_namelen = sizeof to;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = from;
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    while (sendmsg(fd, &message, 0) < 0) {
        if (errno != ENOBUFS && errno != EAGAIN)
            die("sendmsg");
        std::this_thread::sleep_for(std::chrono::microseconds(50)); // the device queue is full
    }
}

in_addr_t nth(in_addr_t first, int i)
{
    return htonl(ntohl(first) + static_cast<std::uint32_t>(i));
}

sockaddr_in destination(in_addr_t to, int port)
{
    sockaddr_in d{};
    d.sin_family = AF_INET;
    d.sin_addr.s_addr = to;
    d.sin_port = htons(static_cast<std::uint16_t>(port));
    if ((ntohl(to) & 0xFFFF0000u) != 0x0A4E0000u) {
        std::fprintf(stderr, "burst-sender: refusing a destination outside 10.78.0.0/16\n");
        std::exit(2);
    }
    return d;
}

int answer(int port, in_addr_t first, int count, int bursts)
{
    const int fd = boundSocket(port);
    const auto end = Clock::now() + std::chrono::seconds(60);
    int seq = 0;
    for (int done = 0; done < bursts && Clock::now() < end;) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 200) <= 0)
            continue;
        char buffer[2048];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        const std::string text(buffer, n > 0 ? std::size_t(n) : 0);
        if (text.find("|1|") == std::string::npos || ntohl(from.sin_addr.s_addr) >= ntohl(first))
            continue; // not an announcement of the program
        const sockaddr_in to = destination(from.sin_addr.s_addr, port);
        for (int i = 0; i < count; ++i)
            sendFrom(fd, nth(first, i), to, std::to_string(++seq) + "|2|p" + std::to_string(i) + "$0");
        std::printf("BURST %d\n", count);
        std::fflush(stdout);
        ++done;
    }
    return 0;
}

int hold(int port, in_addr_t peer, int holdMs)
{
    const int fd = boundSocket(port);
    const sockaddr_in to = destination(peer, port);
    const std::string hello = "1|1|sink$0";
    sendto(fd, hello.data(), hello.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    int kept = 0;
    char buffer[2048];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0)
        ++kept;
    int size = 0;
    socklen_t length = sizeof size;
    getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, &length);
    std::printf("KEPT %d RCVBUF %d\n", kept, size);
    return 0;
}

int flood(int port, in_addr_t first, int count, in_addr_t target, int seconds, int rate)
{
    const int fd = boundSocket(port);
    const sockaddr_in to = destination(target, port);
    sendFrom(fd, first, to, "1|1|opponent$0");
    sendFrom(fd, first, to, "2|4|opponent");
    std::this_thread::sleep_for(std::chrono::seconds(2)); // the program's player says Yes
    const std::string line(990, 'c');
    const std::string oversized(2000, 'o');
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    long sent = 0;
    for (int seq = 10; Clock::now() < end; ++seq) {
        const int i = seq % count;
        const in_addr_t from = nth(first, i);
        const std::string s = std::to_string(seq);
        switch (seq % 10) {
        case 0:
            sendFrom(fd, from, to, s + "|1|f" + std::to_string(i) + "$" + std::to_string(seq % 2));
            break;
        case 1:
            sendFrom(fd, from, to, s + "|4|f" + std::to_string(i));
            break;
        case 2:
            sendFrom(fd, first, to, s + "|9|" + s + line);
            break;
        case 3:
            sendFrom(fd, from, to, s + "|7|f");
            break;
        case 4:
            sendFrom(fd, first, to, s + "|17|" + std::to_string(seq % 64));
            break;
        case 5:
            sendFrom(fd, first, to, s + "|19|" + line);
            break;
        case 6:
            sendFrom(fd, from, to, s + "|3|f$0");
            break;
        case 7:
            sendFrom(fd, from, to, oversized);
            break;
        case 8:
            sendFrom(fd, first, to, s + "|9|" + s + line);
            break;
        default:
            sendFrom(fd, from, to, s + "||" + std::to_string(seq % 30) + "|$|\x81");
            break;
        }
        ++sent;
        // Keep to the rate: sleep whenever ahead of it.
        const auto due = start + std::chrono::microseconds(sent * 1000000 / rate);
        if (due > Clock::now())
            std::this_thread::sleep_until(due);
    }
    std::printf("FLOODED %ld\n", sent);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "answer" && argc == 6)
        return answer(std::atoi(argv[2]), address(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "hold" && argc == 5)
        return hold(std::atoi(argv[2]), address(argv[3]), std::atoi(argv[4]));
    if (mode == "flood" && argc == 8)
        return flood(std::atoi(argv[2]), address(argv[3]), std::atoi(argv[4]), address(argv[5]),
                     std::atoi(argv[6]), std::atoi(argv[7]));
    std::fprintf(stderr, "usage: see the head of burst_sender.cpp\n");
    return 2;
}
