// Entry point: one copy per user, the main window, and the event loop until
// the Exit command or the end of the session.

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "app/already_running.h"
#include "app/main_dialog.h"
#include "app/signal_exit.h"
#include "app/startup/instance_lock.h"
#include "app/startup/login_name.h"
#include "app/startup/paths.h"
#include "app/view/board_resources.h"

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display Qt would abort; the program ends quietly instead, with
// its usual exit code, and says why on the terminal.
bool displayAvailable()
{
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

// Qt's own button texts (はい, いいえ) in the language of the rest of the window.
void loadQtTranslations(QApplication& app, QTranslator& translator)
{
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!displayAvailable()) {
        std::fputs("corvidae: no graphical display (DISPLAY or WAYLAND_DISPLAY is not set)\n", stderr);
        return 0;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Every window and box shows the program's icon; the desktop finds the
    // menu entry (and its icon) by this name: resources/desktop/<name>.desktop.
    app.setWindowIcon(kestrel::programIcon());
    app.setDesktopFileName(QStringLiteral("jp.example.kestrelbay"));
    QTranslator translator;
    loadQtTranslations(app, translator);

    const std::string exePath = kestrel::currentExecutablePath(argc > 0 ? argv[0] : "");
    kestrel::InstanceLock lock;
    if (lock.tryAcquire() == kestrel::InstanceLock::Result::HeldByAnother) {
        kestrel::showAlreadyRunning(exePath);
        return 0;
    }

    kestrel::MainDialog dialog(exePath);
    dialog.onExited = [] { QCoreApplication::exit(0); };
    // The end of the session (SIGTERM at shut-down, SIGHUP at log-off) and
    // any other end of the event loop go through the Exit command, like the
    // menu's "終了".
    kestrel::runOnTerminationSignal([&dialog] { dialog.exit(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &dialog, [&dialog] { dialog.exit(); });

    if (!dialog.start(kestrel::loginUserName()))
        return 0;
    app.exec();
    return 0;
}
