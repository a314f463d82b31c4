// kestrel-probe: small UDP helpers for network tests and benchmarks, kept off
// the machine's real network like the headless peer.
//   echo PORT SECONDS                 answers every datagram with itself
//   ping ADDRESS PORT COUNT           round trips one at a time to an echo
//   flood ADDRESS PORT RATE SECONDS   announcements, requests, chat lines and
//                                     malformed datagrams at a bounded rate
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "tools/peer/peer_options.h"
#include "wire/address.h"

namespace kestrel::probe {
namespace {

long long nowMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

bool readNumber(const char* text, long long low, long long high, long long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

sockaddr_in socketAddress(Ipv4 address, int port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(address);
    return to;
}

// The echo and the ping open their socket as the program does and read and
// write it with the program's flags (net/qt/udp_socket.cpp), so that a
// ping-pong times the same calls a match makes; the flood's sends block.
constexpr int kProgramSocketType = SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK;

int openSocket(int bindPort, int type)
{
    const int fd = socket(AF_INET, type, 0);
    if (fd < 0)
        return -1;
    const sockaddr_in any = socketAddress(0, bindPort);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int echo(int port, long long seconds)
{
    const int fd = openSocket(port, kProgramSocketType);
    if (fd < 0)
        return 1;
    std::printf("ECHO %d\n", port);
    std::fflush(stdout);
    const long long end = nowMicroseconds() + seconds * 1000000;
    char buffer[2048];
    while (nowMicroseconds() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC,
                                   reinterpret_cast<sockaddr*>(&from), &length);
        if (n >= 0 && std::size_t(n) <= sizeof buffer)
            sendto(fd, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&from), length);
    }
    close(fd);
    return 0;
}

// One datagram out and its echo back, COUNT times; prints the median, mean
// and least round trip in microseconds and how many got no echo in a second.
int ping(Ipv4 address, int port, long long count)
{
    const int fd = openSocket(0, kProgramSocketType);
    if (fd < 0)
        return 1;
    const sockaddr_in to = socketAddress(address, port);
    std::vector<long long> trips;
    int lost = 0;
    char buffer[64];
    for (long long i = 0; i < count; ++i) {
        const std::string text = std::to_string(i);
        const long long start = nowMicroseconds();
        sendto(fd, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 1000) <= 0) {
                ++lost;
                break;
            }
            const ssize_t n = recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC, nullptr, nullptr);
            if (n == static_cast<ssize_t>(text.size()) && std::string(buffer, std::size_t(n)) == text) {
                trips.push_back(nowMicroseconds() - start);
                break;
            }
        }
    }
    close(fd);
    if (trips.empty())
        return 1;
    std::sort(trips.begin(), trips.end());
    long long sum = 0;
    for (long long t : trips)
        sum += t;
    std::printf("RTT %lld %lld %lld %d\n", trips[trips.size() / 2],
                sum / static_cast<long long>(trips.size()), trips.front(), lost);
    return 0;
}

// The datagrams of the flood, in turn: what a busy or broken host on the LAN
// might send to a player in a match.
std::string floodDatagram(long long n)
{
    const std::string seq = std::to_string(n + 1);
    switch (n % 8) {
    case 0:
        return seq + "|1|flood" + std::to_string(n % 100) + "$0"; // announcement
    case 1:
        return seq + "|4|flood"; // connection request
    case 2:
        return seq + "|9|flood line " + seq; // chat
    case 3:
        return seq + "|9|"; // no payload
    case 4:
        return seq + "|99|x"; // no such type
    case 5:
        return "no separators at all";
    case 6:
        return seq + "|9|" + std::string(1300, 'x'); // longer than any datagram of the program
    default:
        return std::string(1, '\0') + seq + "|1|zero$0"; // a zero first byte
    }
}

int flood(Ipv4 address, int port, long long rate, long long seconds)
{
    const int fd = openSocket(0, SOCK_DGRAM);
    if (fd < 0)
        return 1;
    const sockaddr_in to = socketAddress(address, port);
    const long long start = nowMicroseconds();
    const long long end = start + seconds * 1000000;
    long long sent = 0, failed = 0;
    for (long long now = start; now < end; now = nowMicroseconds()) {
        const long long due = (now - start) * rate / 1000000;
        for (; sent + failed < due;) {
            const std::string bytes = floodDatagram(sent + failed);
            if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) <
                0)
                ++failed;
            else
                ++sent;
        }
        const timespec pause{0, 200000};
        nanosleep(&pause, nullptr);
    }
    close(fd);
    const long long ms = (nowMicroseconds() - start) / 1000;
    std::printf("FLOOD %lld %lld %lld %lld\n", sent, failed, ms, ms > 0 ? sent * 1000 / ms : 0);
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: kestrel-probe echo PORT SECONDS | ping ADDRESS PORT COUNT |"
                         " flood ADDRESS PORT RATE SECONDS\n");
    return 2;
}

int run(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string mode = argv[1];
    // Outside a test network namespace only loopback may be reached.
    const bool isolated = peer::inSeparateNetworkNamespace();
    long long port = 0, number = 0, seconds = 0;
    if (mode == "echo" && argc == 4 && readNumber(argv[2], 1, 65535, port) &&
        readNumber(argv[3], 1, 3600, seconds)) {
        if (!isolated) {
            std::fprintf(stderr, "kestrel-probe: echo runs only inside a test network namespace\n");
            return 3;
        }
        return echo(static_cast<int>(port), seconds);
    }
    Ipv4 address = 0;
    if (argc < 5 || !parseDottedAddress(argv[2], address) || !readNumber(argv[3], 1, 65535, port))
        return usage();
    if (!isolated && (address >> 24) != 127) {
        std::fprintf(stderr,
                     "kestrel-probe: outside a test network namespace only 127.x.x.x may be reached\n");
        return 3;
    }
    if (mode == "ping" && argc == 5 && readNumber(argv[4], 1, 1000000, number))
        return ping(address, static_cast<int>(port), number);
    if (mode == "flood" && argc == 6 && readNumber(argv[4], 1, 100000, number) &&
        readNumber(argv[5], 1, 600, seconds))
        return flood(address, static_cast<int>(port), number, seconds);
    return usage();
}

} // namespace
} // namespace kestrel::probe

int main(int argc, char** argv)
{
    return kestrel::probe::run(argc, argv);
}
