#include "ui/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace kestrel {
namespace {

const char* const kNoticeProperty = "kestrelNotice";

// A text of the announcer, shown to assistive technology as a notification.
class NoticeAccessible final : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QWidget* notice) : QAccessibleWidget(notice, QAccessible::Notification) {}
};

QAccessibleInterface* noticeFactory(const QString& key, QObject* object)
{
    if (key != QLatin1String("QWidget") || !object->property(kNoticeProperty).toBool())
        return nullptr;
    return new NoticeAccessible(static_cast<QWidget*>(object));
}

QList<QWidget*> notices(const QWidget* announcer)
{
    return announcer->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeFactory);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("announcer"));
    setAccessibleName(QStringLiteral("お知らせ"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    show();
}

void Announcer::announce(const QString& text, bool evenIfSaidLast)
{
    const QList<QWidget*> kept = notices(this);
    if (text.isEmpty() || (!evenIfSaidLast && !kept.isEmpty() && kept.last()->accessibleName() == text))
        return;
    for (qsizetype i = 0; i + kKept <= kept.size(); ++i)
        delete kept[i];
    auto* notice = new QWidget(this);
    notice->setProperty(kNoticeProperty, true);
    notice->setAccessibleName(text);
    notice->setGeometry(0, 0, 0, 0);
    // Showing it is what readers hear: the show event tells them.
    notice->show();
}

QStringList Announcer::texts() const
{
    QStringList list;
    for (const QWidget* notice : notices(this))
        list << notice->accessibleName();
    return list;
}

void announceIn(const QWidget* inWindow, const QString& text, bool evenIfSaidLast)
{
    if (inWindow == nullptr)
        return;
    if (auto* announcer = inWindow->window()->findChild<Announcer*>())
        announcer->announce(text, evenIfSaidLast);
}

} // namespace kestrel
