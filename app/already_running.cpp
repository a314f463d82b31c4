#include "app/already_running.h"

#include <QMessageBox>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/signal_exit.h"
#include "app/startup/paths.h"

namespace kestrel {

void showAlreadyRunning(const std::string& exePath)
{
    QMessageBox box(QMessageBox::Warning, toQString(duplicateStartCaption()),
                    toQString(duplicateStartText(executableFileName(exePath))), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);   // a file name is shown as it is, never as markup
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setFont(dialogFont());
    closeOnTerminationSignal(&box);
    box.exec();
}

}  // namespace kestrel
