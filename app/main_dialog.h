#pragma once
// The running program: the main window with its board view, the socket, the
// retry timers and the program record, wired together. Clicks, commands,
// timer expiries and datagrams all arrive here and go to their handlers.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt_timers.h"
#include "platform/udp_socket.h"
#include "session/program.h"
#include "ui/board/board_view.h"
#include "ui/dialogs/secondary_dialogs.h"
#include "ui/main_window.h"

namespace kestrel {

class MainDialog final : public QObject {
public:
    // exePath: the running executable; the settings files lie beside it.
    // bindAddress: where the socket listens (every IPv4 address; tests use loopback).
    explicit MainDialog(const std::string& exePath, Ipv4 bindAddress = kAnyIpv4, QObject* parent = nullptr);
    ~MainDialog() override;

    // Brings the window up and announces the player. False when the start
    // failed and the Exit command has already run.
    bool start(const std::string& loginName);

    // The Exit command: goodbye to the network, socket closed, window gone,
    // then onExited (the program ends its event loop there). Runs once;
    // later calls do nothing.
    void exit();
    std::function<void()> onExited;
    bool exited() const { return exited_; }

    MainWindow& window() { return window_; }
    BoardView& view() { return view_; }
    Program& program() { return program_; }
    QtTimers& timers() { return timers_; }
    UdpSocket& socket() { return socket_; }

    // The connect, settings, help and about dialogs the commands open.
    QtSecondaryDialogs& dialogs() { return dialogs_; }

private:
    void command(int id);
    // The retry timers and the hint's.
    void onTimer(int id);

    MainWindow window_;
    BoardView view_;
    UdpSocket socket_;
    QtTimers timers_;
    Program program_;
    QtSecondaryDialogs dialogs_;
    Ipv4 bindAddress_;
    bool exited_ = false;
};

} // namespace kestrel
