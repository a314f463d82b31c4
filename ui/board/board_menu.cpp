#include "ui/board/board_menu.h"

#include <QActionGroup>

#include "engine/search/levels.h"
#include "session/control_ids.h"
#include "ui/look.h"

namespace kestrel {
namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// The keys of an item, shown beside it while the menu is open and taken
// there too; with the menu closed the window's own actions take them.
void showKeys(QAction* action, const QList<QKeySequence>& keys)
{
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
}

} // namespace

BoardMenu::BoardMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("boardMenu"));
    setAccessibleName(QStringLiteral("盤面のメニュー"));
    setFont(dialogFont()); // a menu is a window of its own: the font is not passed down
    addCommand(ids::kMenuHint, QStringLiteral("ヒント"));
    addTakeBack();
    addSeparator();
    QMenu* levels = addSubmenu(QStringLiteral("コンピュータの強さ"));
    for (const search::Level& level : search::kLevels)
        addCommand(ids::kMenuFirstLevel + level.number,
                   QString::fromUtf8(level.name.data(), static_cast<qsizetype>(level.name.size())),
                   Check::Radio, levels);
    addCommand(ids::kMenuMarkLegalMoves, utf8("打てる場所を表示"), Check::Box);
    addCommand(ids::kMenuMarkLastMove, utf8("最後の手を表示"), Check::Box);
    addSeparator();
    addRecords();
    addSeparator();
    addReplaySteps();
    connect(this, &QMenu::aboutToShow, this, [this] {
        if (onOpen)
            onOpen();
    });
}

void BoardMenu::addTakeBack()
{
    showKeys(addCommand(ids::kMenuUndo, utf8("待った")), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    showKeys(addCommand(ids::kMenuRedo, utf8("やり直し")),
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void BoardMenu::addRecords()
{
    addCommand(ids::kMenuCopyRecord, utf8("棋譜をコピー"));
    addCommand(ids::kMenuSaveRecord, utf8("棋譜を保存..."));
    addCommand(ids::kMenuOpenRecord, utf8("棋譜を開く..."));
    QMenu* recent = addSubmenu(utf8("最近の対局"), ids::kMenuRecentGames);
    // One row per game kept; the logic gives the rows their texts, and a row
    // without one is not shown.
    for (int id = ids::kMenuFirstRecent; id < ids::kMenuRecentEnd; ++id)
        addCommand(id, QString(), Check::None, recent)->setVisible(false);
}

// The board's own keys for the replay are only named beside the items
// (after a tab): in the open menu the arrows, Home, End and Escape move
// through the menu.
void BoardMenu::addReplaySteps()
{
    addCommand(ids::kMenuReplayFirst, utf8("最初の局面へ\tHome"));
    addCommand(ids::kMenuReplayBack, utf8("一手戻る\t←"));
    addCommand(ids::kMenuReplayForward, utf8("一手進む\t→"));
    addCommand(ids::kMenuReplayLast, utf8("最後の局面へ\tEnd"));
    addCommand(ids::kMenuReplayLeave, utf8("再生を終わる\tEsc"));
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

QMenu* BoardMenu::addSubmenu(const QString& text, int id)
{
    QMenu* submenu = addMenu(text);
    submenu->setFont(font());
    if (id != 0) {
        submenu->menuAction()->setObjectName(QString::number(id));
        items_[id] = submenu->menuAction();
    }
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
