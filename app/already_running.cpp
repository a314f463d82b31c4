#include "app/already_running.h"

#include "app/message_box.h"
#include "app/qt_text.h"
#include "app/signal_exit.h"
#include "app/startup/paths.h"

namespace kestrel {

void showAlreadyRunning(const std::string& exePath)
{
    // A file name is shown as it is, never as markup.
    std::unique_ptr<QMessageBox> box =
        makeMessageBox(QMessageBox::Warning, toQString(duplicateStartCaption()),
                       duplicateStartText(executableFileName(exePath)), QMessageBox::Ok);
    closeOnTerminationSignal(box.get());
    box->exec();
}

} // namespace kestrel
