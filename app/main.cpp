// Entry point: one copy per user, the main window, and the event loop until
// the Exit command or the end of the session.

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include "app/already_running.h"
#include "app/main_dialog.h"
#include "app/signal_exit.h"
#include "app/startup/instance_lock.h"
#include "app/startup/login_name.h"
#include "app/startup/paths.h"

namespace {

// Qt's own button texts (はい, いいえ) in the language of the rest of the window.
void loadQtTranslations(QApplication& app, QTranslator& translator)
{
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
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
    // The end of the session and termination signals end the program
    // through the Exit command, like the menu's "終了".
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &dialog,
                     [&dialog](QSessionManager&) { dialog.exit(); });
    kestrel::runOnTerminationSignal([&dialog] { dialog.exit(); });

    if (!dialog.start(kestrel::loginUserName()))
        return 0;
    app.exec();
    return 0;
}
