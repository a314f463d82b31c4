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
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

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

UdpSocket::~UdpSocket() = default;

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

    delete socket_;
    socket_ = new QUdpSocket(this);
    // Datagrams never go through a proxy; without this, bind() asks the
    // system's proxy settings and starts a thread of its own to do so.
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_, &QUdpSocket::readyRead, this, &UdpSocket::onReadyRead);
    connect(socket_, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (!inOwnCall_)
            onNotificationError(error);
    });

    // Qt creates the native socket inside bind(); when that creation fails no
    // descriptor is left behind, which tells it apart from a refused bind.
    // Every address of the protocol is IPv4: "any address" is IPv4's, and
    // the socket an IPv4 one.
    const QHostAddress address =
        bindAddress == QHostAddress(QHostAddress::Any) ? QHostAddress(QHostAddress::AnyIPv4) : bindAddress;
    inOwnCall_ = true;
    const bool bound = socket_->bind(address, static_cast<quint16>(program.settings.port));
    inOwnCall_ = false;
    if (!bound && socket_->socketDescriptor() == -1)
        return fail(SocketSetup::CreateFailed, createFailedText);
    if (!bound)
        return fail(SocketSetup::BindFailed, portFailedText);

    BroadcastAddresses broadcasts = broadcastAddressesOf(address);
    program.match.broadcastAddress = broadcasts.first;
    program.match.otherBroadcastAddresses = std::move(broadcasts.others);
    // Broadcasting: Qt sets SO_BROADCAST on every UDP socket itself.

    // Receive notifications need the event dispatcher of this thread.
    if (QAbstractEventDispatcher::instance(thread()) == nullptr)
        return fail(SocketSetup::NotifyFailed, notifyFailedText);
    program.match.socketFailed = 0;
    if (socket_->hasPendingDatagrams())
        queueRead();
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
    if (socket_ != nullptr)
        socket_->close();
}

bool UdpSocket::isOpen() const
{
    return socket_ != nullptr && socket_->state() == QAbstractSocket::BoundState;
}

quint16 UdpSocket::localPort() const
{
    return socket_ != nullptr ? socket_->localPort() : 0;
}

int UdpSocket::sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes)
{
    if (!isOpen())
        return kErrorNotSocket;
    const int error = sendOnDescriptor(socket_->socketDescriptor(), address, port, bytes);
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
    if (error == QAbstractSocket::ConnectionRefusedError || error == QAbstractSocket::TemporaryError ||
        program_ == nullptr)
        return;
    // Closed before the box, so that nothing reads the broken socket while it is open.
    shutDown();
    program_->dialog.showError(SJ("ソケットイベントの通知でエラーが発生"));
}

void UdpSocket::onReadyRead()
{
    // Handlers may open modal boxes; they run from the event queue, never
    // inside this signal, so that readyRead keeps coming meanwhile.
    queueRead();
}

void UdpSocket::queueRead()
{
    if (readQueued_)
        return;
    readQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { onSocketEvent(); }, Qt::QueuedConnection);
}

void UdpSocket::onSocketEvent()
{
    readQueued_ = false;
    if (!isOpen())
        return;

    // Always one read per event, even when nothing seems to wait: after a
    // notification Qt holds back the next one until a read has been tried.
    // One byte more than the longest datagram: readDatagram cuts a longer
    // datagram silently, and a cut one must not pass for a message.
    QByteArray buffer(static_cast<qsizetype>(kMaxDatagramBytes + 1), '\0');
    QHostAddress sender;
    inOwnCall_ = true;
    const qint64 read = socket_->readDatagram(buffer.data(), buffer.size(), &sender);
    const QAbstractSocket::SocketError error = socket_->error();
    inOwnCall_ = false;

    // One datagram per event: a further one waiting gets an event of its own.
    if (isOpen() && socket_->hasPendingDatagrams())
        queueRead();

    if (read < 0) {
        // Nothing was there after all, or an earlier datagram found no
        // receiver: neither is a failure of ours.
        if (error != QAbstractSocket::TemporaryError && error != QAbstractSocket::ConnectionRefusedError)
            program_->dialog.showError(SJ("相手からの受信失敗 : ") +
                                       std::to_string(socketErrorNumber(error)));
        return;
    }
    // Oversized: no message of ours, and dropped without a word, since any
    // host could send them and one error box each would bury the player.
    if (read > qint64(kMaxDatagramBytes))
        return;
    Ipv4 source = 0;
    if (!toIpv4(sender, source))
        return;
    const std::string_view bytes(buffer.constData(), static_cast<std::size_t>(read));
    if (onReceived)
        onReceived(source, bytes);
    receiveDatagram(*program_, bytes, source);
}

} // namespace kestrel
