#include "ui/labelled_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace kestrel {
namespace {

const char* const kRoleProperty = "kestrelAccessibleRole";
const char* const kKindProperty = "kestrelAccessibleKind";

class LabelledTextAccessible final : public QAccessibleWidget {
public:
    explicit LabelledTextAccessible(QLabel* label)
        : QAccessibleWidget(label, static_cast<QAccessible::Role>(label->property(kKindProperty).toInt()))
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto* label = static_cast<const QLabel*>(widget());
        const QString role = label->property(kRoleProperty).toString();
        const QString content = label->text();
        return content.isEmpty() ? role : role + QStringLiteral("：") + content;
    }
};

QAccessibleInterface* labelledTextFactory(const QString& key, QObject* object)
{
    if (key != QLatin1String("QLabel") || !object->property(kRoleProperty).isValid())
        return nullptr;
    return new LabelledTextAccessible(static_cast<QLabel*>(object));
}

} // namespace

void setAccessibleRole(QLabel* label, const QString& role, QAccessible::Role kind)
{
    static const bool installed = [] {
        QAccessible::installFactory(labelledTextFactory);
        return true;
    }();
    (void)installed;
    label->setProperty(kKindProperty, static_cast<int>(kind));
    label->setProperty(kRoleProperty, role);
}

} // namespace kestrel
