// Before any Qt header: the pending table has a member named like Qt's "slots" keyword.
#include "session/program.h"

#include "platform/udp_socket.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/interface_list.h"
#include "session/boxes.h"
#include "session/receive.h"
#include "text/cp932.h"
#include "wire/address.h"
#include "wire/broadcast.h"
#include "wire/datagram.h"

namespace kestrel {

namespace {

// One datagram on the socket's descriptor; errno says why one failed (no
// route, host unreachable, refused by a rule, a full buffer, ...).
int sendOnDescriptor(int descriptor, Ipv4 address, std::uint16_t port, std::string_view bytes)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    ssize_t sent = 0;
    do {
        sent = ::sendto(descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? errorNumberForErrno(errno) : 0;
}

// How long the receive thread rests after a failed read before it tries
// again, so that a socket that keeps failing does not spin a core.
constexpr int kReadErrorRestMs = 100;
// How long the receive thread leaves a datagram to the GUI thread: a free
// GUI thread takes it within microseconds; a burst of 2 ms fits the
// kernel's buffer many times over.
constexpr int kGraceMs = 2;
// Kernel buffer asked for the socket: about 1200 small datagrams.
constexpr int kReceiveBufferBytes = 1 << 20;

} // namespace

UdpSocket::UdpSocket(QObject* parent) : QObject(parent) {}

UdpSocket::~UdpSocket()
{
    shutDown();
}

SocketSetup UdpSocket::open(Program& program, Ipv4 bindAddress)
{
    program_ = &program;
    auto fail = [&](SocketSetup step, const std::string& box) {
        shutDown();
        program.match.socketFailed = 1;
        program.dialog.showError(box);
        return step;
    };

    // The box texts are ready before the socket is asked for: when the
    // process has run out of descriptors, converting them later would fail too.
    const std::string& createFailedText = SJ("Winsockソケット作成失敗");
    const std::string portFailedText =
        SJ("ポート番号") + std::to_string(program.settings.port) +
        SJ("番は使えません\r\n番号を変更してからプログラムを再起動してください");
    const std::string& notifyFailedText = SJ("非同期モード（受信＆切断）に失敗");

    shutDown();
    // Non-blocking: a full send buffer is an error to show
    // (kErrorWouldBlock), not a window that hangs.
    descriptor_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor_ < 0)
        return fail(SocketSetup::CreateFailed, createFailedText);
    // Announcements are broadcasts. No SO_REUSEADDR: a second copy on the
    // same port is refused, and gets the port box.
    const int on = 1;
    ::setsockopt(descriptor_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(program.settings.port));
    local.sin_addr.s_addr = htonl(bindAddress);
    if (::bind(descriptor_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return fail(SocketSetup::BindFailed, portFailedText);
    // Room for a burst while the receive thread waits for a core (the
    // kernel caps it at net.core.rmem_max; the result is not looked at).
    const int receiveBuffer = kReceiveBufferBytes;
    ::setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);

    BroadcastAddresses broadcasts = broadcastAddressesOf(bindAddress);
    program.match.broadcastAddress = broadcasts.first;
    program.match.otherBroadcastAddresses = std::move(broadcasts.others);

    // Receive notifications need the event dispatcher of this thread.
    wakeDescriptor_ = ::eventfd(0, EFD_CLOEXEC);
    if (QAbstractEventDispatcher::instance(thread()) == nullptr || wakeDescriptor_ < 0)
        return fail(SocketSetup::NotifyFailed, notifyFailedText);
    program.match.socketFailed = 0;
    readable_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, [this] { onReadable(); });
    startReceiving();
    return SocketSetup::Ok;
}

BroadcastAddresses UdpSocket::broadcastAddressesOf(Ipv4 bindAddress)
{
    const std::vector<InterfaceEntry> entries = interfaceEntries();
    if (bindAddress == kAnyIpv4)
        return broadcastAddressesFor(entries);
    // A socket bound to one address reaches only the subnet that holds it.
    return {broadcastAddressForBound(entries, bindAddress), {}};
}

void UdpSocket::shutDown()
{
    delete readable_;
    readable_ = nullptr;
    stopReceiving();
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    if (wakeDescriptor_ >= 0)
        ::close(wakeDescriptor_);
    wakeDescriptor_ = -1;
    queue_.clear();
}

bool UdpSocket::isOpen() const
{
    return descriptor_ >= 0;
}

std::uint16_t UdpSocket::localPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (descriptor_ < 0 || ::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

int UdpSocket::sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes)
{
    if (!isOpen())
        return kErrorNotSocket;
    const int error = sendOnDescriptor(descriptor_, address, port, bytes);
    if (error == 0 && onSent)
        onSent(address, bytes);
    return error;
}

QString lookUpName(const std::string& cp932HostName)
{
    const std::string utf8 = fromCp932(cp932HostName);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool UdpSocket::resolve(const std::string& hostName, Ipv4& address)
{
    if (parseDottedAddress(hostName, address))
        return true;
    const QString name = lookUpName(hostName).trimmed();
    // The resolver would read "010.0.0.1" as 8.0.0.1 and "10.1" as 10.0.0.1,
    // or ask the DNS about "10.0.0.256"; a colon is in IPv6 addresses and in
    // no host name: none of them is a host name.
    if (name.isEmpty() || isNumericHostText(name.toStdString()) || name.contains(u':'))
        return false;
    // An international name goes to the resolver in its ASCII form.
    const QByteArray ace = QUrl::toAce(name);
    if (ace.isEmpty())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(ace.constData(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return true;
}

void UdpSocket::onNotificationError(int error)
{
    // An earlier datagram found nobody at its port, or the buffer was full
    // for a moment: nothing is wrong with the socket.
    if (error == ECONNREFUSED || error == EAGAIN || error == EWOULDBLOCK)
        return;
    notificationFailed();
}

void UdpSocket::notificationFailed()
{
    if (program_ == nullptr)
        return;
    // Closed before the box, so that nothing reads the broken socket while it is open.
    shutDown();
    showErrorBox(*program_, SJ("ソケットイベントの通知でエラーが発生"));
}

void UdpSocket::startReceiving()
{
    receiver_ = std::thread([this] { receiveLoop(); });
    // Named, so that a look at the process's threads tells it apart.
    ::pthread_setname_np(receiver_.native_handle(), "kestrel-receive");
}

void UdpSocket::stopReceiving()
{
    if (!receiver_.joinable())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor_, &one, sizeof one);
    receiver_.join();
}

// Reads every datagram waiting into the queue; both threads read through
// here, one at a time, so the queue keeps the order of arrival. False when a
// read failed (its error is queued).
bool UdpSocket::drainSocket()
{
    const std::lock_guard<std::mutex> reading(drainMutex_);
    // One byte more than the longest datagram; MSG_TRUNC tells the true
    // length of a longer one, which is no message of ours.
    char buffer[kMaxDatagramBytes + 1];
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t read = ::recvfrom(descriptor_, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&from), &length);
        if (read < 0 && errno == EINTR)
            continue;
        // Nothing more waiting; or an earlier datagram found no receiver,
        // which is no failure of ours.
        if (read < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED))
            return true;
        if (read < 0) {
            queue_.push({ReceivedItem::Kind::ReadFailed, 0, {}, errorNumberForErrno(errno)});
            return false;
        }
        // Oversized: no message of ours, and dropped without a word, since
        // any host could send them and one error box each would bury the player.
        if (read > ssize_t(kMaxDatagramBytes) || from.sin_family != AF_INET)
            continue;
        queue_.push({ReceivedItem::Kind::Datagram, ntohl(from.sin_addr.s_addr),
                     std::string(buffer, std::size_t(read)), 0});
    }
}

// The GUI thread reads the socket itself whenever it is free: a datagram
// then costs no second thread's wake-up on its way to the handler.
void UdpSocket::onReadable()
{
    drainSocket();
    if (queue_.size() > 0)
        queueRead();
}

// The receive thread is the backstop: a datagram the GUI thread has not
// taken within kGraceMs (an animation or the computer's pause blocks it) is
// read here into the queue, so the kernel's buffer never overflows. It
// touches the descriptors, the queue and the flag of queueRead(), nothing else.
void UdpSocket::receiveLoop()
{
    int restMs = -1;
    for (;;) {
        pollfd waits[2] = {{descriptor_, POLLIN, 0}, {wakeDescriptor_, POLLIN, 0}};
        const int ready = ::poll(restMs < 0 ? waits : waits + 1, restMs < 0 ? 2 : 1, restMs);
        restMs = -1;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (waits[0].revents & POLLNVAL) != 0) {
            queue_.push({ReceivedItem::Kind::SocketFailed, 0, {}, 0});
            queueRead();
            return;
        }
        if (waits[1].revents != 0)
            return; // shut down
        if (ready == 0 || waits[0].revents == 0)
            continue; // a rest is over
        // Leave the datagram to the GUI thread for a moment.
        pollfd wake{wakeDescriptor_, POLLIN, 0};
        if (::poll(&wake, 1, kGraceMs) > 0)
            return; // shut down
        if (!drainSocket())
            restMs = kReadErrorRestMs;
        if (queue_.size() > 0)
            queueRead();
    }
}

void UdpSocket::queueRead()
{
    // One event waits at a time; it queues the next itself while more wait.
    if (readQueued_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this, [this] { onSocketEvent(); }, Qt::QueuedConnection);
}

void UdpSocket::onSocketEvent()
{
    readQueued_ = false;
    if (!isOpen())
        return;
    std::optional<ReceivedItem> item = queue_.pop();
    // One datagram per event: a further one waiting gets an event of its own,
    // queued before the handler runs, so that a box the handler opens keeps
    // the datagrams behind it coming.
    if (queue_.size() > 0)
        queueRead();
    if (!item)
        return;
    switch (item->kind) {
    case ReceivedItem::Kind::SocketFailed:
        notificationFailed();
        return;
    case ReceivedItem::Kind::ReadFailed:
        showErrorBox(*program_, SJ("相手からの受信失敗 : ") + std::to_string(item->error));
        return;
    case ReceivedItem::Kind::Datagram:
        break;
    }
    if (onReceived)
        onReceived(item->source, item->bytes);
    receiveDatagram(*program_, item->bytes, item->source);
}

} // namespace kestrel
