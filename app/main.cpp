// Entry point: one copy per user, the main window, and the event loop until
// the Exit command or the end of the session.

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

#include "app/already_running.h"
#include "app/application.h"
#include "app/main_dialog.h"
#include "app/signal_exit.h"
#include "platform/instance_lock.h"
#include "platform/login_name.h"
#include "settings/paths.h"
#include "ui/caret_rest.h"

namespace {

// Qt's own button texts (はい, いいえ) in the language of the rest of the window.
void loadQtTranslations(QApplication& app, QTranslator& translator)
{
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

} // namespace

int main(int argc, char** argv)
{
    // No display is a failed start: said on stderr, exit code 1.
    std::unique_ptr<QApplication> app = kestrel::startApplication(argc, argv);
    if (!app)
        return kestrel::kNoDisplayExitCode;
    app->setQuitOnLastWindowClosed(false);
    // The desktop finds the menu entry (and its icon) by this name:
    // resources/desktop/<name>.desktop. The windows' icon is given once the
    // main window is shown; a box before that carries its own.
    app->setDesktopFileName(QStringLiteral("jp.example.kestrelbay"));
    QTranslator translator;
    loadQtTranslations(*app, translator);
    // Left alone, the program wakes up for nothing: not even the caret.
    const kestrel::CaretRest caretRest;

    const std::string exePath = kestrel::currentExecutablePath(argc > 0 ? argv[0] : "");
    kestrel::InstanceLock lock;
    switch (lock.tryAcquire()) {
    case kestrel::InstanceLock::Result::HeldByAnother:
        kestrel::showAlreadyRunning(exePath);
        return 0;
    case kestrel::InstanceLock::Result::Failed:
        // Anyone can put a file at the lock's path; that must not keep the
        // player from playing, so the start goes on, unguarded, and says so.
        std::fprintf(stderr, "corvidae: the single-copy lock %s cannot be used (%s); starting without it\n",
                     lock.path().c_str(), lock.failure().c_str());
        break;
    case kestrel::InstanceLock::Result::Acquired:
        break;
    }

    kestrel::MainDialog dialog(exePath);
    dialog.onExited = [] { QCoreApplication::exit(0); };
    // The end of the session (SIGTERM at shut-down, SIGHUP at log-off) and
    // any other end of the event loop go through the Exit command, like the
    // menu's "終了".
    kestrel::runOnTerminationSignal([&dialog] { dialog.exit(); });
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, &dialog, [&dialog] { dialog.exit(); });

    if (!dialog.start(kestrel::loginUserName()))
        return 0;
    app->exec();
    return 0;
}
