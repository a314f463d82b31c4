#include "ui/qt_text.h"

#include "text/cp932.h"

namespace kestrel {

QString toQString(const std::string& cp932)
{
    const std::string utf8 = fromCp932(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toCp932(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return toCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString fromProgramText(const std::string& cp932)
{
    QString s = toQString(cp932);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string toProgramText(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return toCp932(text);
}

} // namespace kestrel
