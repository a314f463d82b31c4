#include "ui/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "session/control_ids.h"
#include "ui/announcer.h"
#include "ui/board/board_menu.h"
#include "ui/input_method.h"
#include "ui/labelled_text.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

namespace kestrel {
namespace {

// The area under the menu bar. Presses that no control takes (the board
// cells are transparent to the mouse) arrive here in client coordinates.
class ClientArea final : public QWidget {
public:
    explicit ClientArea(MainWindow* window) : QWidget(window), window_(window) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            QWidget::mousePressEvent(event);
            return;
        }
        event->accept();
        const QPoint p = event->position().toPoint();
        window_->pressBoard(p.x(), p.y());
    }

    // A right click: the board's context menu, on the board only. It never
    // reaches the board's presses.
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (event->reason() != QContextMenuEvent::Mouse || !window_->onBoard(event->pos())) {
            event->ignore();
            return;
        }
        event->accept();
        window_->openBoardMenu(event->globalPos());
    }

private:
    MainWindow* window_;
};

// Radio buttons with the indicator and gap of the dialog font's metrics, so
// that "先攻（黒）" fits the 38 dialog units of its control.
class CompactRadioStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 13;
        case PM_RadioButtonLabelSpacing:
            return 3;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

void place(QWidget* widget, int id, QRect dialogUnits)
{
    widget->setObjectName(QString::number(id));
    widget->setGeometry(
        fromDialogUnits(dialogUnits.x(), dialogUnits.y(), dialogUnits.width(), dialogUnits.height()));
}

// Static text with the frame of its resource: sunken with border, or a plain border.
QLabel* addLabel(QWidget* parent, int id, QRect dialogUnits, Qt::Alignment align, bool sunken,
                 const char* role)
{
    auto* label = new QLabel(parent);
    place(label, id, dialogUnits);
    label->setTextFormat(Qt::PlainText); // names come from the network: never markup
    label->setAlignment(align | Qt::AlignVCenter);
    label->setFrameStyle(sunken ? (QFrame::Panel | QFrame::Sunken) : (QFrame::Box | QFrame::Plain));
    label->setLineWidth(1);
    if (!(align & Qt::AlignHCenter))
        label->setIndent(2);
    setAccessibleRole(label, utf8(role));
    return label;
}

QPushButton* addButton(QWidget* parent, int id, QRect dialogUnits, const char* text)
{
    auto* button = new QPushButton(utf8(text), parent);
    place(button, id, dialogUnits);
    // Enter presses the button that has the focus, as in a dialog; with the
    // focus elsewhere Enter does nothing.
    button->setAutoDefault(true);
    return button;
}

QRadioButton* addRadio(QWidget* parent, int id, QRect dialogUnits, const char* text, QStyle* style)
{
    auto* radio = new QRadioButton(utf8(text), parent);
    place(radio, id, dialogUnits);
    radio->setStyle(style);
    radio->setFocusPolicy(Qt::ClickFocus); // no tab stop of its own
    return radio;
}

QPlainTextEdit* addEdit(QWidget* parent, int id, QRect dialogUnits, bool readOnly, const char* name)
{
    auto* edit = new QPlainTextEdit(parent);
    place(edit, id, dialogUnits);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    edit->setReadOnly(readOnly);
    if (readOnly)
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit->setAccessibleName(utf8(name));
    return edit;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(utf8("ケストレルベイ"));
    initResources();
    setFont(dialogFont());
    createMenu();
    client_ = new ClientArea(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client_);
    createControls();
    setTabOrder();
    boardMenu_ = new BoardMenu(this);
    boardMenu_->onCommand = [this](int id) { command(id); };
    createTakeBackKeys();
    // Fixed size: the window is as large as the menu bar and the client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    focus(ids::kChatInput);
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenu()
{
    struct Item {
        int id;
        const char* text;
    };
    static constexpr Item kItems[] = {
        {ids::kMenuExit, "終了"},     {ids::kMenuConnect, "接続"}, {ids::kMenuDisconnect, "切断"},
        {ids::kMenuSettings, "設定"}, {ids::kMenuHelp, "説明"},    {ids::kMenuAbout, "情報"},
    };
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("115"));
    bar->setNativeMenuBar(false); // in the window, above the client area, on every desktop
    for (const Item& item : kItems) {
        QAction* action = bar->addAction(utf8(item.text));
        action->setObjectName(QString::number(item.id));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { command(id); });
        menuItems_[id] = action;
    }
    menuItems_[ids::kMenuDisconnect]->setEnabled(false);
    setMenuBar(bar);
}

// Undo and redo by their keys anywhere in the window, the menu closed (the
// actions of a closed menu take no keys). Always enabled: the command
// decides when it runs. In the chat input the keys undo typing first, as in
// any text box; with nothing typed to undo they reach the game.
void MainWindow::createTakeBackKeys()
{
    control(ids::kChatInput)->installEventFilter(this);
    const std::pair<int, QList<QKeySequence>> keys[] = {
        {ids::kMenuUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {ids::kMenuRedo,
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
    };
    for (const auto& [id, sequences] : keys) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("keys-") + QString::number(id));
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, id = id] { command(id); });
        addAction(action);
    }
}

void MainWindow::createControls()
{
    QWidget* c = client_;
    auto* group = new QGroupBox(utf8("順番の決定"), c);
    group->setObjectName(QStringLiteral("orderGroup"));
    group->setGeometry(fromDialogUnits(168, 0, 126, 26));
    // The title sits on the frame line, which runs at half its height, as a
    // dialog draws it; the radio buttons below then clear the line.
    group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 5px;"
                                        " padding: 0 2px; }"));

    auto* radioStyle = new CompactRadioStyle;
    radioStyle->setParent(this);
    QRadioButton* first = addRadio(c, ids::kFirstBlack, {174, 10, 38, 12}, "先攻（黒）", radioStyle);
    addRadio(c, ids::kSecondWhite, {214, 10, 38, 12}, "後攻（白）", radioStyle);
    first->setChecked(true);
    addButton(c, ids::kDecide, {256, 8, 34, 14}, "決定");
    addButton(c, ids::kGameStart, {168, 28, 50, 14}, "ゲーム開始");
    addButton(c, ids::kGameEnd, {220, 28, 50, 14}, "ゲーム終了");

    QLabel* blackSymbol = addLabel(c, ids::kBlackSymbol, {168, 46, 19, 23}, Qt::AlignCenter, false, "黒");
    QLabel* whiteSymbol = addLabel(c, ids::kWhiteSymbol, {168, 72, 19, 23}, Qt::AlignCenter, false, "白");
    // Picture controls take the size of their picture, one board cell.
    for (QLabel* symbol : {blackSymbol, whiteSymbol}) {
        symbol->setFrameStyle(QFrame::NoFrame);
        symbol->resize(kCellPixels, kCellPixels);
    }
    addLabel(c, ids::kBlackCount, {192, 52, 16, 12}, Qt::AlignHCenter, true, "黒の数")
        ->setText(QStringLiteral("0"));
    addLabel(c, ids::kBlackName, {212, 52, 82, 12}, Qt::AlignLeft, false, "黒（先攻）のプレイヤー");
    addLabel(c, ids::kWhiteCount, {192, 76, 16, 12}, Qt::AlignHCenter, true, "白の数")
        ->setText(QStringLiteral("0"));
    addLabel(c, ids::kWhiteName, {212, 76, 82, 12}, Qt::AlignLeft, false, "白（後攻）のプレイヤー");

    addEdit(c, ids::kChatLog, {168, 98, 126, 56}, true, "チャットの記録")
        ->setMaximumBlockCount(kChatLogLines);
    enableJapaneseInput(addEdit(c, ids::kChatInput, {168, 156, 100, 44}, false, "チャットの入力"));
    addButton(c, ids::kSend, {270, 156, 24, 42}, "送信");
    QLabel* status = addLabel(c, ids::kStatus, {4, 202, 292, 12}, Qt::AlignHCenter, true, "状態");
    // Readers read the window's status bar on request: whose turn it is, how the game ended.
    setAccessibleRole(status, utf8("状態"), QAccessible::StatusBar);

    for (int id : {ids::kSend, ids::kDecide, ids::kGameStart, ids::kGameEnd}) {
        auto* button = static_cast<QPushButton*>(control(id));
        connect(button, &QPushButton::clicked, this, [this, id] { command(id); });
    }
    for (int id :
         {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        control(id)->setEnabled(false);
}

void MainWindow::setTabOrder()
{
    const int order[] = {ids::kChatLog, ids::kChatInput, ids::kSend,
                         ids::kDecide,  ids::kGameStart, ids::kGameEnd};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(control(order[i - 1]), control(order[i]));
}

void MainWindow::command(int id)
{
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            if (onCommand)
                onCommand(id);
        },
        Qt::QueuedConnection);
}

void MainWindow::pressBoard(int x, int y)
{
    QMetaObject::invokeMethod(
        this,
        [this, x, y] {
            if (onBoardPress)
                onBoardPress(x, y);
        },
        Qt::QueuedConnection);
}

void MainWindow::openBoardMenu(QPoint global)
{
    boardMenu_->openAt(global);
}

bool MainWindow::onBoard(QPoint client) const
{
    const QWidget* frame = control(ids::kBoardFrame);
    return frame != nullptr && frame->geometry().contains(client);
}

QWidget* MainWindow::control(int id) const
{
    return client_->findChild<QWidget*>(QString::number(id));
}

QAction* MainWindow::menuItem(int id) const
{
    auto it = menuItems_.find(id);
    if (it != menuItems_.end())
        return it->second;
    return boardMenu_ != nullptr ? boardMenu_->item(id) : nullptr;
}

void MainWindow::enable(int id, bool on)
{
    if (QAction* item = menuItem(id))
        item->setEnabled(on);
    else if (QWidget* widget = control(id))
        widget->setEnabled(on);
}

void MainWindow::setChecked(int id, bool on)
{
    if (QAction* item = menuItem(id)) {
        item->setChecked(on);
        return;
    }
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    if (button == nullptr)
        return;
    // Each radio button is set on its own, as asked: an exclusive button
    // would refuse to be unchecked.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(on);
    button->setAutoExclusive(exclusive);
}

bool MainWindow::isChecked(int id) const
{
    if (const QAction* item = menuItem(id))
        return item->isChecked();
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    return button != nullptr && button->isChecked();
}

void MainWindow::setText(int id, const std::string& text)
{
    if (QAction* item = menuItem(id)) {
        // A name in the text must not make a mnemonic.
        item->setText(fromProgramText(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setVisible(!text.empty());
        return;
    }
    QWidget* widget = control(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setTextFormat(Qt::PlainText); // also for labels the board view made
        label->setText(fromProgramText(text));
        if (id == ids::kStatus)
            announceIn(label, label->text());
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        edit->setPlainText(fromProgramText(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(fromProgramText(text));
}

std::string MainWindow::text(int id) const
{
    QWidget* widget = control(id);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return toProgramText(label->text());
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        return toProgramText(edit->toPlainText());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return toProgramText(button->text());
    return {};
}

void MainWindow::appendText(int id, const std::string& text)
{
    auto* edit = qobject_cast<QPlainTextEdit*>(control(id));
    if (edit == nullptr) {
        setText(id, this->text(id) + text);
        return;
    }
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    end.insertText(fromProgramText(text));
    edit->setTextCursor(end);
    edit->ensureCursorVisible();
}

void MainWindow::focus(int id)
{
    if (QWidget* widget = control(id))
        widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::restoreIfMinimised()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
}

void MainWindow::bringToFront()
{
    restoreIfMinimised();
    raise();
    activateWindow();
}

void MainWindow::showError(const std::string& text)
{
    runMessageBox(QMessageBox::Warning, utf8("エラー"), text, QMessageBox::Ok);
}

bool MainWindow::askYesNo(const std::string& text)
{
    return runMessageBox(QMessageBox::Question, utf8("確認"), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void MainWindow::showInformation(const std::string& text)
{
    runMessageBox(QMessageBox::Information, utf8("確認"), text, QMessageBox::Ok);
}

bool MainWindow::boxOpen() const
{
    return QGuiApplication::modalWindow() != nullptr;
}

void MainWindow::copyText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(fromProgramText(text));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || watched != control(ids::kChatInput))
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QTextDocument* typed = static_cast<QPlainTextEdit*>(watched)->document();
    const bool passOn = (key->matches(QKeySequence::Undo) && !typed->isUndoAvailable()) ||
                        (key->matches(QKeySequence::Redo) && !typed->isRedoAvailable());
    if (!passOn)
        return false;
    // Left unaccepted, the key is the window's shortcut, not the text box's.
    event->ignore();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box and Alt+F4 come from the window system: the Exit command
    // decides, and ends the program itself. A close the program asks for
    // (the end of the event loop closes every window) goes through.
    if (!onClose || !event->spontaneous()) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    onClose();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    // The program's icon is given once the window is on its way to the
    // screen, not before, so its pictures are not decoded on the way; every
    // window, and those opened later, take it from the application.
    QTimer::singleShot(0, this, [] {
        if (QGuiApplication::windowIcon().isNull())
            QGuiApplication::setWindowIcon(programIcon());
    });
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // Escape never closes the main window
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace kestrel
