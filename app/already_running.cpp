#include "app/already_running.h"

#include "app/signal_exit.h"
#include "settings/paths.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"

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
