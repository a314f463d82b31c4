// Before any Qt header: the pending table has a member named like Qt's "slots" keyword.
#include "net/program.h"

#include "net/qt/udp_socket.h"

#include <QAbstractEventDispatcher>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/boxes.h"
#include "net/broadcast.h"
#include "net/datagram.h"
#include "net/qt/ipv4.h"
#include "net/receive.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

// One datagram straight on the socket's descriptor: QUdpSocket reports most
// send failures as one coarse "network error", while errno says why
// (no route, host unreachable, refused by a rule, ...).
int sendOnDescriptor(qintptr descriptor, Ipv4 address, std::uint16_t port, std::string_view bytes)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    ssize_t sent = 0;
    do {
        sent = ::sendto(int(descriptor), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? errorNumberForErrno(errno) : 0;
}

// How long the receive thread rests after a failed read before it tries
// again, so that a socket that keeps failing does not spin a core.
constexpr int kReadErrorRestMs = 100;
// Kernel buffer asked for the socket: about 1200 small datagrams.
constexpr int kReceiveBufferBytes = 1 << 20;

} // namespace

int socketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::RemoteHostClosedError:
        return kErrorConnectionReset;
    case QAbstractSocket::HostNotFoundError:
        return kErrorHostNotFound;
    case QAbstractSocket::SocketAccessError:
        return kErrorAccess;
    case QAbstractSocket::SocketResourceError:
        return kErrorNoBuffers;
    case QAbstractSocket::SocketTimeoutError:
        return kErrorTimedOut;
    case QAbstractSocket::DatagramTooLargeError:
        return kErrorMessageSize;
    case QAbstractSocket::NetworkError:
        return kErrorNetworkDown;
    case QAbstractSocket::AddressInUseError:
        return kErrorAddressInUse;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return kErrorAddressNotAvail;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return kErrorOperation;
    case QAbstractSocket::TemporaryError: // EAGAIN: the send buffer is full for now
        return kErrorWouldBlock;
    default:
        return kErrorUnknown;
    }
}

UdpSocket::UdpSocket(QObject* parent) : QObject(parent) {}

UdpSocket::~UdpSocket()
{
    shutDown();
}

SocketSetup UdpSocket::open(Program& program, const QHostAddress& bindAddress)
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
    delete socket_;
    socket_ = new QUdpSocket(this);
    // Datagrams never go through a proxy; without this, bind() asks the
    // system's proxy settings and starts a thread of its own to do so.
    socket_->setProxy(QNetworkProxy::NoProxy);

    // Qt creates the native socket inside bind(); when that creation fails no
    // descriptor is left behind, which tells it apart from a refused bind.
    // Every address of the protocol is IPv4: "any address" is IPv4's, and
    // the socket an IPv4 one.
    const QHostAddress address =
        bindAddress == QHostAddress(QHostAddress::Any) ? QHostAddress(QHostAddress::AnyIPv4) : bindAddress;
    const bool bound = socket_->bind(address, static_cast<quint16>(program.settings.port));
    if (!bound && socket_->socketDescriptor() == -1)
        return fail(SocketSetup::CreateFailed, createFailedText);
    if (!bound)
        return fail(SocketSetup::BindFailed, portFailedText);
    // From here on the bound socket is the program's own descriptor, read by
    // the receive thread: Qt, which would read it on the GUI thread, lets go.
    descriptor_ = ::fcntl(int(socket_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
    socket_->close();
    if (descriptor_ < 0)
        return fail(SocketSetup::CreateFailed, createFailedText);
    // Room for a burst while the receive thread waits for a core (the
    // kernel caps it at net.core.rmem_max; the result is not looked at).
    const int receiveBuffer = kReceiveBufferBytes;
    ::setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);

    BroadcastAddresses broadcasts = broadcastAddressesOf(address);
    program.match.broadcastAddress = broadcasts.first;
    program.match.otherBroadcastAddresses = std::move(broadcasts.others);
    // Broadcasting: Qt sets SO_BROADCAST on every UDP socket itself.

    // Receive notifications need the event dispatcher of this thread.
    wakeDescriptor_ = ::eventfd(0, EFD_CLOEXEC);
    if (QAbstractEventDispatcher::instance(thread()) == nullptr || wakeDescriptor_ < 0)
        return fail(SocketSetup::NotifyFailed, notifyFailedText);
    program.match.socketFailed = 0;
    startReceiving();
    return SocketSetup::Ok;
}

std::string broadcastAddressForBound(const std::vector<InterfaceEntry>& entries, Ipv4 bound)
{
    for (const InterfaceEntry& entry : entries) {
        if (entry.up && entry.address == bound)
            return directedBroadcast(bound, entry.netmask);
    }
    // No entry holds the address itself (say 127.0.0.2, which loopback
    // answers without listing it): the subnet that contains it. An entry
    // without a netmask says nothing about its subnet.
    for (const InterfaceEntry& entry : entries) {
        if (entry.up && entry.netmask != 0 && ((entry.address ^ bound) & entry.netmask) == 0)
            return directedBroadcast(bound, entry.netmask);
    }
    return "255.255.255.255";
}

BroadcastAddresses UdpSocket::broadcastAddressesOf(const QHostAddress& bindAddress) const
{
    std::vector<InterfaceEntry> entries;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            Ipv4 address = 0;
            if (!toIpv4(entry.ip(), address))
                continue;
            entries.push_back(
                {flags.testFlag(QNetworkInterface::IsUp), flags.testFlag(QNetworkInterface::IsRunning),
                 flags.testFlag(QNetworkInterface::IsLoopBack), address, entry.netmask().toIPv4Address()});
        }
    }
    if (bindAddress == QHostAddress(QHostAddress::AnyIPv4))
        return broadcastAddressesFor(entries);
    // A socket bound to one address reaches only the subnet that holds it.
    Ipv4 bound = 0;
    if (!toIpv4(bindAddress, bound))
        return {"255.255.255.255", {}};
    return {broadcastAddressForBound(entries, bound), {}};
}

void UdpSocket::shutDown()
{
    stopReceiving();
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    if (wakeDescriptor_ >= 0)
        ::close(wakeDescriptor_);
    wakeDescriptor_ = -1;
    queue_.clear();
    if (socket_ != nullptr)
        socket_->close();
}

bool UdpSocket::isOpen() const
{
    return descriptor_ >= 0;
}

quint16 UdpSocket::localPort() const
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
    const QString name = lookUpName(hostName);
    // The resolver would read "010.0.0.1" as 8.0.0.1 and "10.1" as 10.0.0.1,
    // or ask the DNS about "10.0.0.256": none of them is a host name.
    if (name.isEmpty() || isNumericHostText(hostName) || QHostAddress().setAddress(name))
        return false;
    const QHostInfo info = QHostInfo::fromName(name);
    if (info.error() != QHostInfo::NoError)
        return false;
    for (const QHostAddress& candidate : info.addresses()) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol && toIpv4(candidate, address))
            return true;
    }
    return false;
}

void UdpSocket::onNotificationError(QAbstractSocket::SocketError error)
{
    // An earlier datagram found nobody at its port: nothing is wrong here.
    if (error == QAbstractSocket::ConnectionRefusedError || error == QAbstractSocket::TemporaryError)
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

// The receive thread: waits for the socket, reads every datagram waiting
// into the queue, and asks the GUI thread to handle them. It touches the
// descriptors, the queue and the flag of queueRead(), nothing else.
void UdpSocket::receiveLoop()
{
    // One byte more than the longest datagram; MSG_TRUNC tells the true
    // length of a longer one, which is no message of ours.
    char buffer[kMaxDatagramBytes + 1];
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
                break;
            if (read < 0) {
                queue_.push({ReceivedItem::Kind::ReadFailed, 0, {}, errorNumberForErrno(errno)});
                restMs = kReadErrorRestMs;
                break;
            }
            // Oversized: no message of ours, and dropped without a word, since
            // any host could send them and one error box each would bury the player.
            if (read > ssize_t(kMaxDatagramBytes) || from.sin_family != AF_INET)
                continue;
            queue_.push({ReceivedItem::Kind::Datagram, ntohl(from.sin_addr.s_addr),
                         std::string(buffer, std::size_t(read)), 0});
        }
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
