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

bool xDisplayAnswers(const std::string& display)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answered = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answered;
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
    const DisplayCheck check = checkDisplay(env, xDisplayAnswers);
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
