#include "tools/peer/peer_options.h"

#include <QCommandLineParser>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "session/ports.h"
#include "settings/settings.h"
#include "text/cp932.h"
#include "ui/qt_text.h"
#include "wire/address.h"

namespace kestrel::peer {

namespace {

std::string namespaceOf(const std::string& pid)
{
    char target[64] = {};
    const std::string link = "/proc/" + pid + "/ns/net";
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, std::size_t(length)) : std::string();
}

// True when the process is one of the kernel's own threads (PF_KTHREAD in the
// flags, the ninth field of its stat line). Those live in the machine's
// network namespace, and a process in a PID namespace sees none of them.
bool isKernelThread(const std::string& pid)
{
    std::ifstream file("/proc/" + pid + "/stat");
    std::string line;
    std::getline(file, line);
    const std::size_t nameEnd = line.rfind(')'); // the name may hold spaces and ")"
    if (nameEnd == std::string::npos)
        return false;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    for (int i = 3; i <= 9 && fields >> field; ++i) {
    }
    constexpr unsigned long kPfKthread = 0x00200000;
    return !fields.fail() && (std::strtoul(field.c_str(), nullptr, 10) & kPfKthread) != 0;
}

// The machine's own network namespace: init's; where init's cannot be read
// (init holds privileges this process lacks), that of kthreadd.
std::string machineNamespace()
{
    const std::string init = namespaceOf("1");
    if (!init.empty() || !isKernelThread("2"))
        return init;
    return namespaceOf("2");
}

} // namespace

bool isLoopbackAddress(const std::string& text)
{
    Ipv4 address = 0;
    return parseDottedAddress(text, address) && (address >> 24) == 127;
}

bool parsePeerOptions(const QStringList& arguments, PeerOptions& options, std::string& error)
{
    QCommandLineParser parser;
    const QCommandLineOption name("name", "Player name (UTF-8).", "NAME");
    const QCommandLineOption port(
        "port",
        QStringLiteral("UDP port, %1-%2 (default %3).").arg(kLowestPort).arg(kHighestPort).arg(kStandardPort),
        "N", QString::number(kStandardPort));
    const QCommandLineOption dialUp("dial-up", "Announce as a dial-up player.");
    const QCommandLineOption extra("extra", "Further announcement address (repeatable).", "ADDRESS");
    const QCommandLineOption bind("bind", "Local address to bind (default: every IPv4 address).", "ADDRESS");
    const QCommandLineOption quitAfter("quit-after", "Exit after MS milliseconds.", "MS");
    const QCommandLineOption log("log", "Print every datagram received and sent.");
    const QCommandLineOption clock("clock", "Begin every line with the monotonic clock in microseconds.");
    const QCommandLineOption timeDivisor("time-divisor", "Divide the 5-second retry interval by N (tests).",
                                         "N");
    const QCommandLineOption answer("answer", "Answer to the next question: yes or no (repeatable).",
                                    "ANSWER");
    parser.addOptions({name, port, dialUp, extra, bind, quitAfter, log, clock, timeDivisor, answer});
    if (!parser.parse(arguments)) {
        error = parser.errorText().toStdString();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "unexpected argument: " + parser.positionalArguments().first().toStdString();
        return false;
    }

    options.name = cutCp932(toCp932(parser.value(name)), kMaxNameBytes);
    bool ok = false;
    options.port = parser.value(port).toInt(&ok);
    if (!ok || options.port < kLowestPort || options.port > kHighestPort) {
        error = "--port must be a number from " + std::to_string(kLowestPort) + " to " +
                std::to_string(kHighestPort);
        return false;
    }
    options.dialUp = parser.isSet(dialUp);
    for (const QString& address : parser.values(extra)) {
        const std::string text = address.toStdString();
        if (text.empty() || text.size() > kMaxAddressBytes) {
            error = "--extra takes an address of at most " + std::to_string(kMaxAddressBytes) + " characters";
            return false;
        }
        options.extraAddresses.push_back(text);
    }
    if (parser.isSet(bind)) {
        options.bindAddress = parser.value(bind).toStdString();
        Ipv4 address = 0;
        if (!parseDottedAddress(options.bindAddress, address)) {
            error = "--bind takes a dotted IPv4 address";
            return false;
        }
    }
    if (parser.isSet(quitAfter)) {
        options.quitAfterMs = parser.value(quitAfter).toInt(&ok);
        if (!ok || options.quitAfterMs < 0) {
            error = "--quit-after takes milliseconds";
            return false;
        }
    }
    options.log = parser.isSet(log);
    options.clock = parser.isSet(clock);
    if (parser.isSet(timeDivisor)) {
        options.timeDivisor = parser.value(timeDivisor).toInt(&ok);
        if (!ok || options.timeDivisor < 1 || options.timeDivisor > 1000) {
            error = "--time-divisor takes a number from 1 to 1000";
            return false;
        }
    }
    for (const QString& value : parser.values(answer)) {
        if (value != "yes" && value != "no") {
            error = "--answer takes yes or no";
            return false;
        }
        options.answers.push_back(value == "yes");
    }
    return true;
}

std::string startRefusal(const PeerOptions& options, bool namespaceFlag, bool inSeparateNamespace)
{
    if (namespaceFlag) {
        if (!inSeparateNamespace)
            return "KESTREL_PEER_IN_NAMESPACE is set, but this process shares the network namespace of "
                   "the machine; start it with ip netns exec";
        return {};
    }
    if (options.bindAddress.empty())
        return "refusing to broadcast on the machine's network: give --bind with a loopback address, "
               "or run inside a test network namespace with KESTREL_PEER_IN_NAMESPACE=1";
    if (!isLoopbackAddress(options.bindAddress))
        return "outside a test network namespace --bind must be a loopback address (127.x.x.x)";
    for (const std::string& address : options.extraAddresses) {
        if (!isLoopbackAddress(address))
            return "outside a test network namespace --extra must be a loopback address: " + address;
    }
    return {};
}

bool inSeparateNetworkNamespace()
{
    // Where the machine's namespace cannot be told, nothing says this one is separate.
    const std::string own = namespaceOf("self");
    const std::string machine = machineNamespace();
    return !own.empty() && !machine.empty() && own != machine;
}

} // namespace kestrel::peer
