// The smallest window of the same kind as the game's: a main window with a
// menu bar and a line edit that has the focus. scripts/measure-rest.sh
// measures the game's start, memory and idle wake-ups against it.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addAction(QStringLiteral("File"));
    auto* edit = new QLineEdit(&window);
    window.setCentralWidget(edit);
    window.show();
    window.activateWindow(); // as the game does: the focused line edit's caret blinks
    edit->setFocus();
    return app.exec();
}
