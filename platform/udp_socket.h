#pragma once
// The program's one UDP socket, on its own descriptor: set-up, the receive
// path that feeds dispatchDatagram one datagram per queued event (through
// Qt's event queue), sending, host-name look-up and shut-down.
//
// The GUI thread reads the socket itself whenever it is free. The one thread
// besides it lives here too, as a backstop: it reads what the GUI thread has
// left for a moment into a bounded queue, so that datagrams are taken off the
// socket also while an animation or the computer's pause blocks the window
// (the kernel's receive buffer alone holds a few hundred small datagrams).
// Both read into the same queue, one at a time; the handlers run on the GUI
// thread, one datagram per queued event, in arrival order, and never inside
// a pause.

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "session/ports.h"
#include "wire/broadcast.h"
#include "wire/receive_queue.h"
#include "wire/socket_errors.h"

class QSocketNotifier;

namespace kestrel {

struct Program;

// Which set-up step failed.
enum class SocketSetup { Ok, CreateFailed, BindFailed, NotifyFailed };

// The name handed to the look-up for a host name as the program stores it,
// in code page 932.
QString lookUpName(const std::string& cp932HostName);

class UdpSocket : public QObject, public Transport {
    Q_OBJECT
public:
    explicit UdpSocket(QObject* parent = nullptr);
    ~UdpSocket() override;

    // Creates the socket, binds it to settings.port on bindAddress, works out
    // match.broadcastAddress and match.otherBroadcastAddresses and starts the
    // receive thread. Failures show their error box, set
    // match.socketFailed and say which step failed.
    SocketSetup open(Program& program, Ipv4 bindAddress = kAnyIpv4);
    // Stops the receive thread and closes the socket; later sends fail with
    // kErrorNotSocket. Datagrams still queued are dropped.
    void shutDown();
    bool isOpen() const;
    std::uint16_t localPort() const;

    // Returns the error number of the socket's own error (errno) on failure.
    int sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes) override;
    // Strict dotted decimal is taken as it stands, without any look-up. Any
    // other address form ("010.0.0.1", "10.1", "::1") and an empty name are
    // no host, and never reach the DNS. Anything else is looked up (an
    // international name in its ASCII form), and its first IPv4 address is
    // the answer.
    bool resolve(const std::string& hostName, Ipv4& address) override;

    // A socket error (errno) that arrived on its own, outside a read or a
    // send: the socket is unusable, so it is closed after the error box. The
    // report of an earlier datagram that found no receiver, or of a full
    // buffer, is passed over.
    void onNotificationError(int error);

    // Datagrams read and not yet handled, and those the full queue dropped.
    const ReceiveQueue& queue() const { return queue_; }

    // Observers of the traffic, for the headless peer's log.
    std::function<void(Ipv4 source, std::string_view bytes)> onReceived;
    std::function<void(Ipv4 destination, std::string_view bytes)> onSent;

private:
    void startReceiving();
    void stopReceiving();
    void receiveLoop();
    bool drainSocket();
    void onReadable();
    void queueRead();
    void onSocketEvent();
    void notificationFailed();
    static BroadcastAddresses broadcastAddressesOf(Ipv4 bindAddress);

    Program* program_ = nullptr;
    int descriptor_ = -1;
    int wakeDescriptor_ = -1; // an eventfd that ends the receive thread
    std::thread receiver_;
    QSocketNotifier* readable_ = nullptr; // the GUI thread's own reads
    std::mutex drainMutex_;               // one reader of the socket at a time
    ReceiveQueue queue_;
    std::atomic<bool> readQueued_{false};
};

} // namespace kestrel
