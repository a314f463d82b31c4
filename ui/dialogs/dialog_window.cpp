#include "ui/dialogs/dialog_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "session/dialogs/dialog_ids.h"
#include "ui/look.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

namespace kestrel {
namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

Qt::WindowFlags flagsOf(const DialogWindow::Frame& frame)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frame.minimiseBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (frame.topMost)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

} // namespace

DialogWindow::DialogWindow(const Frame& frame) : QDialog(nullptr, flagsOf(frame))
{
    setWindowTitle(utf8(frame.caption));
    setWindowIcon(programIcon());
    setFont(dialogFont());
    setFixedSize(fromDialogUnits(0, 0, frame.widthUnits, frame.heightUnits).size());
    // Parentless and modal to no window: exec() then blocks nothing else.
    setWindowModality(Qt::WindowModal);
}

DialogWindow::~DialogWindow() = default;

QString DialogWindow::displayText(const std::string& text)
{
    QString s = toQString(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

void DialogWindow::run(QWidget* anchor)
{
    if (anchor != nullptr && anchor->isVisible()) {
        move(anchor->mapToGlobal(QPoint(0, 0)));
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    exec();
}

QWidget* DialogWindow::control(int id) const
{
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QListWidget* DialogWindow::list(int id) const
{
    return qobject_cast<QListWidget*>(control(id));
}

void DialogWindow::setText(int id, const std::string& text)
{
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(displayText(text));
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(displayText(text));
    else if (auto* view = qobject_cast<QPlainTextEdit*>(widget))
        view->setPlainText(displayText(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(displayText(text));
}

std::string DialogWindow::text(int id) const
{
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return toProgramText(edit->text());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return toProgramText(label->text());
    if (auto* view = qobject_cast<QPlainTextEdit*>(widget))
        return toProgramText(view->toPlainText());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return toProgramText(button->text());
    return {};
}

void DialogWindow::setChecked(int id, bool on)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control(id)))
        button->setChecked(on);
}

bool DialogWindow::isChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    return button != nullptr && button->isChecked();
}

void DialogWindow::focus(int id)
{
    if (QWidget* widget = control(id))
        widget->setFocus(Qt::OtherFocusReason);
}

int DialogWindow::itemCount(int listId) const
{
    QListWidget* box = list(listId);
    return box != nullptr ? box->count() : 0;
}

std::string DialogWindow::itemText(int listId, int position) const
{
    QListWidget* box = list(listId);
    QListWidgetItem* item = box != nullptr ? box->item(position) : nullptr;
    return item != nullptr ? toProgramText(item->text()) : std::string();
}

void DialogWindow::insertItem(int listId, int position, const std::string& text)
{
    if (QListWidget* box = list(listId))
        box->insertItem(std::clamp(position, 0, box->count()), displayText(text));
}

void DialogWindow::deleteItem(int listId, int position)
{
    if (QListWidget* box = list(listId))
        delete box->takeItem(position);
}

void DialogWindow::clearItems(int listId)
{
    if (QListWidget* box = list(listId))
        box->clear();
}

int DialogWindow::selectedItem(int listId) const
{
    QListWidget* box = list(listId);
    if (box == nullptr)
        return -1;
    const QList<QListWidgetItem*> selected = box->selectedItems();
    return selected.isEmpty() ? -1 : box->row(selected.first());
}

void DialogWindow::selectItem(int listId, int position)
{
    if (QListWidget* box = list(listId))
        box->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
}

void DialogWindow::close()
{
    done(0);
}

void DialogWindow::reject()
{
    if (onCloseBox)
        onCloseBox();
    else
        done(0);
}

void DialogWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // Escape never closes a dialog of the program
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace {

void place(QWidget* widget, int id, QRect units)
{
    if (id != 0)
        widget->setObjectName(QString::number(id));
    widget->setGeometry(fromDialogUnits(units.x(), units.y(), units.width(), units.height()));
}

} // namespace

QPushButton* DialogWindow::addButton(int id, QRect units, const char* text, std::function<void()> onClick)
{
    auto* button = new QPushButton(utf8(text), this);
    place(button, id, units);
    button->setAutoDefault(true); // a button with the focus takes Enter, as in any dialog
    if (id == dlg::kOk)
        button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [onClick = std::move(onClick)] {
        if (onClick)
            onClick();
    });
    return button;
}

QLabel* DialogWindow::addLabel(QRect units, const char* text, Qt::Alignment align, bool sunken, int id)
{
    auto* label = new QLabel(utf8(text), this);
    place(label, id, units);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(align | Qt::AlignVCenter);
    if (sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QLineEdit* DialogWindow::addLineEdit(int id, QRect units, const char* name)
{
    auto* edit = new QLineEdit(this);
    place(edit, id, units);
    edit->setAccessibleName(utf8(name));
    return edit;
}

QListWidget* DialogWindow::addList(int id, QRect units, const char* name)
{
    auto* box = new QListWidget(this);
    place(box, id, units);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setUniformItemSizes(true);
    box->setAccessibleName(utf8(name));
    return box;
}

QCheckBox* DialogWindow::addCheckBox(int id, QRect units, const char* text)
{
    auto* box = new QCheckBox(utf8(text), this);
    place(box, id, units);
    return box;
}

QPlainTextEdit* DialogWindow::addTextView(int id, QRect units, const char* name)
{
    auto* view = new QPlainTextEdit(this);
    place(view, id, units);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setTabChangesFocus(true);
    view->setAccessibleName(utf8(name));
    return view;
}

QGroupBox* DialogWindow::addGroup(QRect units, const char* title)
{
    auto* group = new QGroupBox(utf8(title), this);
    place(group, 0, units);
    // The title sits on the frame line, as a dialog draws it.
    group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 5px;"
                                        " padding: 0 2px; }"));
    group->setFocusPolicy(Qt::NoFocus);
    // Below every control it frames, whichever was made first.
    group->lower();
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    return group;
}

} // namespace kestrel
