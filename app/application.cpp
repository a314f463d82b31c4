#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

#include "platform/display.h"

namespace kestrel {
namespace {

// What the library sees as its command line; it keeps references to both.
int libraryArgc = 1;
char* libraryArgv[2] = {nullptr, nullptr};
char defaultName[] = "corvidae";
QtMessageHandler libraryHandler = nullptr;

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The connection that found the display answering, held until the library
// has its own: an X server with no other client resets when its last client
// leaves, and would refuse the library's connection meanwhile.
struct HeldConnection {
    xcb_connection_t* connection = nullptr;
    ~HeldConnection() { release(); }
    void release()
    {
        if (connection)
            xcb_disconnect(connection);
        connection = nullptr;
    }
};

bool xDisplayAnswers(const std::string& display, HeldConnection& held)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    held.release();
    held.connection = connection;
    return true;
}

void sayWhy(const std::string& why)
{
    std::fprintf(stderr, "corvidae: %s\n", why.c_str());
}

// While the application object is made: the library's fatal error (a
// platform that cannot start) ends the start plainly instead of aborting.
void endStartOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (libraryHandler)
            libraryHandler(type, context, message);
        return;
    }
    sayWhy("cannot open the display: the window system did not start");
    std::_Exit(kNoDisplayExitCode);
}

} // namespace

std::unique_ptr<QApplication> startApplication(int argc, char** argv)
{
    const DisplayEnvironment env{variable("QT_QPA_PLATFORM"), variable("XDG_SESSION_TYPE"),
                                 variable("WAYLAND_DISPLAY"), variable("DISPLAY")};
    HeldConnection held;
    const DisplayCheck check =
        checkDisplay(env, [&](const std::string& display) { return xDisplayAnswers(display, held); });
    if (check != DisplayCheck::Usable) {
        sayWhy(displayProblemText(check, env));
        return nullptr;
    }

    libraryArgc = 1;
    libraryArgv[0] = argc > 0 && argv[0] && *argv[0] ? argv[0] : defaultName;
    libraryHandler = qInstallMessageHandler(endStartOnFatal);
    auto app = std::make_unique<QApplication>(libraryArgc, libraryArgv);
    qInstallMessageHandler(libraryHandler);
    return app;
}

} // namespace kestrel
