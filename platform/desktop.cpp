#include "platform/desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kestrel {
namespace {

constexpr int kGioWaitMs = 2000;

} // namespace

bool openWithDesktop(const std::string& link)
{
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(link)));
}

void markTrusted(const std::string& path)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(gio, {QStringLiteral("set"), QString::fromStdString(path),
                        QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    if (!process.waitForFinished(kGioWaitMs))
        process.kill();
    process.waitForFinished(kGioWaitMs);
}

} // namespace kestrel
