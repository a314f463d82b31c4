// kestrel-peer: one copy of the program's network side without a window.
// It runs the real socket and protocol code, prints what a player would see
// and answers questions from the command line. Meant for network tests:
// it starts only bound to loopback or inside a test network namespace.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "platform/qt_timers.h"
#include "platform/udp_socket.h"
#include "session/peers.h"
#include "session/pending.h"
#include "session/program.h"
#include "session/send.h"
#include "tools/peer/bot_options.h"
#include "tools/peer/console.h"
#include "tools/peer/peer_options.h"
#include "wire/address.h"
#include "wire/message_type.h"

namespace kestrel::peer {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = write(signalPipe[0], &byte, 1);
}

void printPeers(const Program& program)
{
    for (int row = 0; row < program.peers.count; ++row) {
        const PeerEntry& entry = program.peers.rows[static_cast<std::size_t>(row)];
        printLine("PEER " + std::to_string(row) + " " + entry.address + " " + printable(entry.name) + " " +
                  std::to_string(entry.dialUp));
    }
    printLine("PEERS " + std::to_string(program.peers.count));
}

// The exit command of the program: leave a connection, say goodbye, close.
void exitPeer(Program& program, UdpSocket& socket)
{
    static bool exiting = false;
    if (exiting)
        return;
    exiting = true;
    if (program.match.connected && !program.match.vsComputer)
        sendDatagram(program, program.match.peerAddress, MSG_DISCONNECT, program.settings.playerName);
    if (!program.match.socketFailed)
        sendToAll(program, MSG_BYE, announcementPayload(program.settings));
    printPeers(program);
    socket.shutDown();
    printLine("EXIT");
    QCoreApplication::quit();
}

// SIGTERM ends the peer like its exit command; SIGUSR1 prints the peer list.
void watchSignals(Program& program, UdpSocket& socket)
{
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [&program, &socket] {
        char number = 0;
        if (read(signalPipe[1], &number, 1) != 1)
            return;
        if (number == SIGUSR1)
            printPeers(program);
        else
            exitPeer(program, socket);
    });
    std::signal(SIGTERM, onSignal);
    std::signal(SIGUSR1, onSignal);
}

void logTraffic(UdpSocket& socket)
{
    socket.onReceived = [](Ipv4 source, std::string_view bytes) {
        printLine("RECV " + addressText(source) + " " + printable(bytes));
    };
    socket.onSent = [](Ipv4 destination, std::string_view bytes) {
        printLine("SEND " + addressText(destination) + " " + printable(bytes));
    };
}

// The bot's options out, the peer's own back as Qt wants them.
QStringList takeBotArguments(const QStringList& arguments, BotSetup& bot, std::string& error)
{
    std::vector<std::string> args;
    for (const QString& arg : arguments)
        args.push_back(arg.toStdString());
    if (!takeBotOptions(args, bot, error))
        return {};
    QStringList rest;
    for (const std::string& arg : args)
        rest.push_back(QString::fromStdString(arg));
    return rest;
}

// Lets the bot act after every event, once its handler has returned; after a
// silence of nudgeMs it asks again for what may have been lost.
void runBot(QCoreApplication& app, Bot& bot, const BotSetup& setup, std::function<void()>& afterEvent,
            const std::function<void()>& exit)
{
    auto* nudge = new QTimer(&app);
    nudge->setSingleShot(true);
    afterEvent = [&app, &bot, &setup, nudge, exit] {
        QTimer::singleShot(0, &app, [&bot, &setup, nudge, exit] {
            bot.act();
            if (bot.finished())
                exit();
            else if (setup.nudgeMs > 0)
                nudge->start(setup.nudgeMs);
        });
    };
    QObject::connect(nudge, &QTimer::timeout, [&bot, &afterEvent] {
        bot.nudge();
        afterEvent();
    });
    afterEvent();
}

int run(QCoreApplication& app)
{
    PeerOptions options;
    BotSetup botSetup;
    std::string error;
    const QStringList arguments = takeBotArguments(app.arguments(), botSetup, error);
    if (!error.empty() || !parsePeerOptions(arguments, options, error)) {
        std::fprintf(stderr, "kestrel-peer: %s\n", error.c_str());
        return 2;
    }
    const char* flag = std::getenv("KESTREL_PEER_IN_NAMESPACE");
    const bool namespaceFlag = flag != nullptr && std::string(flag) == "1";
    const std::string refusal =
        startRefusal(options, namespaceFlag, namespaceFlag && inSeparateNetworkNamespace());
    if (!refusal.empty()) {
        printLine("REFUSED " + refusal);
        std::fprintf(stderr, "kestrel-peer: %s\n", refusal.c_str());
        return 3;
    }

    TextView view;
    ScriptedDialog dialog(options.answers);
    UdpSocket socket;
    Program* self = nullptr;
    std::function<void()> afterEvent = [] {};
    QtTimers timers([&self, &afterEvent](int id) {
        onRetryTimer(*self, id);
        afterEvent();
    });
    timers.setIntervalDivisor(options.timeDivisor);
    if (options.clock)
        beginLinesWithClock();
    flushLinesWhenIdle();
    Program program(view, dialog, socket, timers);
    self = &program;
    program.settings.playerName = options.name;
    program.settings.port = options.port;
    program.settings.dialUp = options.dialUp ? 1 : 0;
    program.settings.extraAddresses = options.extraAddresses;
    if (options.log)
        logTraffic(socket);
    watchSignals(program, socket);

    // The options took only a dotted IPv4 address.
    Ipv4 bindAddress = kAnyIpv4;
    if (!options.bindAddress.empty())
        parseDottedAddress(options.bindAddress, bindAddress);
    if (socket.open(program, bindAddress) != SocketSetup::Ok) {
        printLine("SETUP FAILED");
        printPeers(program);
        return 1;
    }
    // Outside a test namespace every destination must be loopback, the broadcasts included.
    std::vector<std::string> broadcasts = program.match.otherBroadcastAddresses;
    broadcasts.insert(broadcasts.begin(), program.match.broadcastAddress);
    std::string ready = "READY " + std::to_string(socket.localPort());
    for (const std::string& address : broadcasts) {
        if (!namespaceFlag && !isLoopbackAddress(address)) {
            printLine("REFUSED the broadcast address " + address + " is not loopback");
            return 3;
        }
        ready += " " + address;
    }
    printLine(ready);
    sendToAll(program, MSG_HELLO, announcementPayload(program.settings));
    Bot bot(program, botSetup.options, [](const std::string& line) { printLine(printable(line)); });
    if (botSetup.enabled) {
        dialog.answerQuestion = [&bot](const std::string& question) { return bot.answer(question); };
        socket.onReceived = [log = socket.onReceived, &afterEvent](Ipv4 source, std::string_view bytes) {
            if (log)
                log(source, bytes);
            afterEvent();
        };
        runBot(app, bot, botSetup, afterEvent, [&] { exitPeer(program, socket); });
    }
    if (options.quitAfterMs >= 0)
        QTimer::singleShot(options.quitAfterMs, &app, [&] { exitPeer(program, socket); });
    return app.exec();
}

} // namespace
} // namespace kestrel::peer

int main(int argc, char** argv)
{
    // Qt's own poll() loop instead of the GLib one: the peer needs nothing of
    // GLib, and each turn of its loop costs about 10 us less, which is a
    // third of a round trip on a veth link (bench/lan_match.sh).
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    return kestrel::peer::run(app);
}
