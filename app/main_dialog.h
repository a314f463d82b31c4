#pragma once
// The running program: the main window with its board view, the socket, the
// retry timers and the program record, wired together. Clicks, commands,
// timer expiries and datagrams all arrive here and go to their handlers.

#include <QHostAddress>
#include <QObject>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/view/board_view.h"
#include "net/program.h"
#include "net/qt/qt_timers.h"
#include "net/qt/udp_socket.h"

namespace kestrel {

class MainDialog final : public QObject {
public:
    // exePath: the running executable; the settings files lie beside it.
    explicit MainDialog(const std::string& exePath, QObject* parent = nullptr);
    ~MainDialog() override;

    // Brings the window up and announces the player. False when the start
    // failed and the Exit command has already run.
    bool start(const std::string& loginName);

    // The Exit command: goodbye to the network, socket closed, window gone,
    // event loop told to end with 0. Runs once; later calls do nothing.
    void exit();
    bool exited() const { return exited_; }

    MainWindow& window() { return window_; }
    Program& program() { return program_; }

private:
    void command(int id);

    MainWindow window_;
    BoardView view_;
    UdpSocket socket_;
    QtTimers timers_;
    Program program_;
    bool exited_ = false;
};

}  // namespace kestrel
