// The smallest window of the same kind as the game's: a main window with a
// menu bar and a line edit that has the focus. tools/measure-rest.sh
// measures the game's start, memory and idle wake-ups against it.
//
// With --japanese it is the same window in Japanese, as the game's interface
// is: its title, menu and line edit read in Japanese, in the game's dialog
// font, and Qt's own texts (the line edit's context menu) come from Qt's
// Japanese translation, which the game loads too. What the language costs
// (a CJK font and its hinting, the translation) is then on both sides.
#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTranslator>
#include <cstring>

#include "ui/look.h"

int main(int argc, char** argv)
{
    const bool japanese = argc > 1 && std::strcmp(argv[1], "--japanese") == 0;
    int qtArgc = 1; // Qt is shown the program's name alone, as in the game
    QApplication app(qtArgc, argv);
    QTranslator translator;
    QMainWindow window;
    auto* edit = new QLineEdit(&window);
    if (japanese) {
        if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            app.installTranslator(&translator);
        window.setFont(kestrel::dialogFont());
        window.setWindowTitle(QStringLiteral("ウィンドウ"));
        window.menuBar()->addAction(QStringLiteral("ファイル"));
        edit->setPlaceholderText(QStringLiteral("メッセージを入力"));
    } else {
        window.menuBar()->addAction(QStringLiteral("File"));
    }
    window.setCentralWidget(edit);
    window.show();
    window.activateWindow(); // as the game does: the focused line edit's caret blinks
    edit->setFocus();
    return app.exec();
}
