#include "app/qt_text.h"

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

}  // namespace kestrel
