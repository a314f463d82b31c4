#include "ui/board/board_menu.h"

#include <QActionGroup>

#include "engine/search/levels.h"
#include "session/control_ids.h"
#include "ui/look.h"

namespace kestrel {

BoardMenu::BoardMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("boardMenu"));
    setAccessibleName(QStringLiteral("盤面のメニュー"));
    setFont(dialogFont()); // a menu is a window of its own: the font is not passed down
    addCommand(ids::kMenuHint, QStringLiteral("ヒント"));
    addSeparator();
    QMenu* levels = addSubmenu(QStringLiteral("コンピュータの強さ"));
    for (const search::Level& level : search::kLevels)
        addCommand(ids::kMenuFirstLevel + level.number,
                   QString::fromUtf8(level.name.data(), static_cast<qsizetype>(level.name.size())),
                   Check::Radio, levels);
    connect(this, &QMenu::aboutToShow, this, [this] {
        if (onOpen)
            onOpen();
    });
}

QAction* BoardMenu::addCommand(int id, const QString& text, Check check, QMenu* into)
{
    QMenu* menu = into != nullptr ? into : this;
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::number(id));
    action->setCheckable(check != Check::None);
    if (check == Check::Radio) {
        QActionGroup*& group = radioGroups_[menu];
        if (group == nullptr)
            group = new QActionGroup(menu);
        group->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, id] {
        if (onCommand)
            onCommand(id);
    });
    items_[id] = action;
    return action;
}

QMenu* BoardMenu::addSubmenu(const QString& text)
{
    QMenu* submenu = addMenu(text);
    submenu->setFont(font());
    return submenu;
}

QAction* BoardMenu::item(int id) const
{
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void BoardMenu::openAt(QPoint global)
{
    if (!isVisible())
        popup(global);
}

} // namespace kestrel
