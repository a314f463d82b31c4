#pragma once
// A plain UDP socket for tests on loopback: another host (127.0.0.x) that
// sends to the program and reads what it answers, without any library
// between it and the kernel. Nothing here sends beyond 127.0.0.0/8 unless a
// test gives such an address itself.

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cstdint>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "session/ports.h"

namespace kestrel::testing {

constexpr Ipv4 kLoopback = 0x7F000001; // 127.0.0.1

class LoopbackUdp {
public:
    LoopbackUdp() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~LoopbackUdp()
    {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
    }
    LoopbackUdp(const LoopbackUdp&) = delete;
    LoopbackUdp& operator=(const LoopbackUdp&) = delete;

    // Port 0: any free port.
    bool bind(Ipv4 address, std::uint16_t port)
    {
        const sockaddr_in local = socketAddress(address, port);
        return ::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    }
    std::uint16_t localPort() const
    {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
            return 0;
        return ntohs(local.sin_port);
    }
    bool sendTo(Ipv4 address, std::uint16_t port, const std::string& bytes)
    {
        const sockaddr_in to = socketAddress(address, port);
        return ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to) == ssize_t(bytes.size());
    }
    // From now on, every datagram that arrives is added to `received` as
    // the event loop runs.
    void keepReceived()
    {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char buffer[2048];
            ssize_t read = 0;
            while ((read = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) >= 0)
                received.emplace_back(buffer, std::size_t(read));
        });
    }
    std::vector<std::string> received;

private:
    static sockaddr_in socketAddress(Ipv4 address, std::uint16_t port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(address);
        return a;
    }
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// A port nobody holds on loopback right now.
inline std::uint16_t freeLoopbackPort()
{
    LoopbackUdp probe;
    probe.bind(kLoopback, 0);
    return probe.localPort();
}

} // namespace kestrel::testing
