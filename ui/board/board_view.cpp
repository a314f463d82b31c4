#include "ui/board/board_view.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QThread>
#include <QWidget>

#include "engine/board.h"
#include "engine/match_state.h"
#include "session/control_ids.h"
#include "ui/announcer.h"
#include "ui/labelled_text.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"

namespace kestrel {
namespace {

constexpr int kFrameMs = 100;
constexpr int kBoardLeft = 10;
constexpr int kBoardTop = 25;

QString idName(int id)
{
    return QString::number(id);
}

QString contentName(Picture p)
{
    switch (p) {
    case Picture::Black:
        return QStringLiteral("黒");
    case Picture::White:
        return QStringLiteral("白");
    case Picture::Empty:
        return QStringLiteral("空き");
    default:
        return QString();
    }
}

// "3行4列 黒": where the cell is and what it holds.
QString accessibleCellName(int cell, Picture p)
{
    QString name = toQString(cellName(cell));
    const QString content = contentName(p);
    if (!content.isEmpty())
        name += QLatin1Char(' ') + content;
    return name;
}

// The keyboard mark: a red square 2 px wide, 2 px inside the cell's edge.
void drawKeyboardMark(QPainter& painter)
{
    const QColor red(255, 0, 0);
    const int edge = kCellPixels;
    painter.fillRect(2, 2, edge - 4, 2, red);
    painter.fillRect(2, edge - 4, edge - 4, 2, red);
    painter.fillRect(2, 4, 2, edge - 8, red);
    painter.fillRect(edge - 4, 4, 2, edge - 8, red);
}

// The hint's mark: an orange ring 3 px wide where the piece would stand,
// inside the keyboard mark.
void drawHintMark(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 128, 0), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(7.5, 7.5, kCellPixels - 15, kCellPixels - 15));
}

// A dot in the middle of the cell: dark grey where the player may play
// (on the empty cell's grey), red on the last move's piece (on blue and
// cyan alike).
void drawDot(QPainter& painter, const QColor& colour, double across)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double middle = kCellPixels / 2.0;
    painter.drawEllipse(QRectF(middle - across / 2, middle - across / 2, across, across));
}

// What is drawn over one cell's picture.
struct Overlays {
    bool keyboard = false;
    bool hint = false;
    bool legal = false;
    bool last = false;
    bool any() const { return keyboard || hint || legal || last; }
};

// The marks are drawn over a copy of the picture at the picture's own
// density, so that they are as sharp as the picture at 200 %.
QPixmap withMarks(const QPixmap& picture, const Overlays& marks)
{
    QPixmap marked = picture.copy();
    marked.setDevicePixelRatio(picture.devicePixelRatio());
    QPainter painter(&marked);
    if (marks.legal)
        drawDot(painter, QColor(64, 64, 64), 8);
    if (marks.last)
        drawDot(painter, QColor(255, 0, 0), 8);
    if (marks.keyboard)
        drawKeyboardMark(painter);
    if (marks.hint)
        drawHintMark(painter);
    return marked;
}

// Calls back when the widget's window has moved to another screen.
class ScreenWatcher final : public QObject {
public:
    explicit ScreenWatcher(std::function<void()> changed) : changed_(std::move(changed)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ScreenChangeInternal)
            changed_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> changed_;
};

} // namespace

BoardView::BoardView(QWidget* client) : client_(client)
{
    initResources();
    pause_ = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    shown_.fill(Picture::Empty);
    createMissingControls();
    keys_ = std::make_unique<BoardKeys>(*this);
    if (client_) {
        // Qt tells each widget of a window that changed screens; the client is enough.
        screenWatcher_ = std::make_unique<ScreenWatcher>([this] { refreshPictures(); });
        client_->installEventFilter(screenWatcher_.get());
    }
}

BoardView::~BoardView()
{
    if (client_ && screenWatcher_)
        client_->removeEventFilter(screenWatcher_.get());
}

const QPixmap& BoardView::picture(Picture p, int scale) const
{
    QPixmap& slot = pictures_[static_cast<std::size_t>(scale - 1)][static_cast<std::size_t>(p)];
    if (slot.isNull())
        slot = loadPicture(p, scale);
    return slot;
}

QLabel* BoardView::label(int id) const
{
    return client_ ? client_->findChild<QLabel*>(idName(id)) : nullptr;
}

void BoardView::createMissingControls()
{
    if (!client_)
        return;
    // The frame first, so that the cells lie above it.
    if (!client_->findChild<QWidget*>(idName(ids::kBoardFrame))) {
        auto* frame = new QFrame(client_);
        frame->setObjectName(idName(ids::kBoardFrame));
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Dark, Qt::black);
        frame->setPalette(palette);
        frame->setGeometry(8, 23, 278, 278);
        frame->lower();
        frame->show();
    }
    if (!client_->findChild<QWidget*>(idName(ids::kOpponentLine))) {
        auto* line = new QLabel(client_);
        line->setObjectName(idName(ids::kOpponentLine));
        line->setAlignment(Qt::AlignCenter);
        line->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        line->setTextFormat(Qt::PlainText); // the opponent's name comes from the network
        line->setGeometry(8, 0, 278, 20);
        // Read out as "対戦相手：<name>", following the text as it changes.
        setAccessibleRole(line, QStringLiteral("対戦相手"));
        line->show();
    }
    for (int k = 0; k < kCellCount; ++k) {
        QLabel* cell = label(ids::kFirstCell + k);
        if (!cell) {
            cell = new QLabel(client_);
            cell->setObjectName(idName(ids::kFirstCell + k));
            cell->setGeometry(kBoardLeft + kCellPixels * (k % 8), kBoardTop + kCellPixels * (k / 8),
                              kCellPixels, kCellPixels);
            cell->show();
        }
        // A press on a cell reaches the window itself, with the window's coordinates.
        cell->setAttribute(Qt::WA_TransparentForMouseEvents);
        setPictureOn(cell, Picture::Empty, k);
        cell->setAccessibleName(accessibleCellName(k, Picture::Empty));
        cells_[static_cast<std::size_t>(k)] = cell;
    }
    // Tab leads from the game-end button onto the board, then on to the chat.
    QWidget* before = client_->findChild<QWidget*>(idName(ids::kGameEnd));
    for (QLabel* cell : cells_) {
        if (before != nullptr)
            QWidget::setTabOrder(before, cell);
        before = cell;
    }
    if (!client_->findChild<Announcer*>())
        new Announcer(client_);
    showSymbols();
}

void BoardView::showSymbols()
{
    for (int id : {ids::kBlackSymbol, ids::kWhiteSymbol})
        if (QLabel* symbol = label(id))
            setPictureOn(symbol, id == ids::kBlackSymbol ? Picture::Black : Picture::White);
}

void BoardView::setPictureOn(QLabel* label, Picture p, int cell) const
{
    const QPixmap& shown = picture(p, pictureScaleFor(label->devicePixelRatioF()));
    Overlays marks;
    if (cell >= 0) {
        marks.keyboard = cell == mark_;
        marks.hint = cell == hint_;
        // On the pictures they belong to, not on an animation's frames.
        marks.legal = (moveMarks_.legal >> cell & 1) != 0 && p == Picture::Empty;
        marks.last = cell == moveMarks_.last && (p == Picture::Black || p == Picture::White);
    }
    label->setPixmap(marks.any() ? withMarks(shown, marks) : shown);
}

void BoardView::redrawCell(int cell, bool paintNow)
{
    if (cell < 0)
        return;
    QLabel* label = cells_[static_cast<std::size_t>(cell)];
    if (label == nullptr)
        return;
    setPictureOn(label, shown_[static_cast<std::size_t>(cell)], cell);
    if (paintNow)
        label->repaint();
}

void BoardView::showMark(int cell)
{
    if (cell < -1 || cell >= kCellCount || cell == mark_)
        return;
    const int before = mark_;
    mark_ = cell;
    redrawCell(before, false);
    redrawCell(cell, false);
}

void BoardView::showHintMark(int cell)
{
    if (cell < -1 || cell >= kCellCount || cell == hint_)
        return;
    const int before = hint_;
    hint_ = cell;
    // Painted now: the blink's pauses keep the thread from the event loop.
    redrawCell(before, true);
    redrawCell(cell, true);
}

void BoardView::showMoveMarks(const MoveMarks& marks)
{
    if (marks == moveMarks_)
        return;
    const MoveMarks before = moveMarks_;
    moveMarks_ = marks;
    // Painted now: a move's mark comes between animations that keep the
    // thread from the event loop.
    for (int k = 0; k < kCellCount; ++k) {
        const bool changed =
            ((before.legal ^ marks.legal) >> k & 1) != 0 || ((k == before.last) != (k == marks.last));
        if (changed)
            redrawCell(k, true);
    }
}

void BoardView::showPosition(const Board& board)
{
    for (int k = 0; k < kCellCount; ++k)
        showPicture(k, board[static_cast<std::size_t>(k)] == kBlack   ? Picture::Black
                       : board[static_cast<std::size_t>(k)] == kWhite ? Picture::White
                                                                      : Picture::Empty);
}

void BoardView::announce(const std::string& text)
{
    sayMove();
    announceIn(client_, toQString(text), true);
}

QPoint BoardView::cellMiddle(int cell) const
{
    const QLabel* label = cell >= 0 && cell < kCellCount ? cells_[static_cast<std::size_t>(cell)] : nullptr;
    if (label == nullptr || !client_)
        return {-1, -1};
    return QRect(label->mapTo(client_, QPoint(0, 0)), label->size()).center();
}

void BoardView::refreshPictures()
{
    for (int k = 0; k < kCellCount; ++k)
        if (QLabel* cell = cells_[static_cast<std::size_t>(k)])
            setPictureOn(cell, shown_[static_cast<std::size_t>(k)], k);
    showSymbols();
}

void BoardView::layoutBoard()
{
    if (!client_)
        return;
    if (auto* line = client_->findChild<QWidget*>(idName(ids::kOpponentLine)))
        line->setGeometry(8, 0, 278, 20);
    if (auto* frame = client_->findChild<QWidget*>(idName(ids::kBoardFrame)))
        frame->setGeometry(8, 23, 278, 278);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            if (QLabel* cell = cells_[static_cast<std::size_t>(row * 8 + column)])
                cell->setGeometry(kBoardLeft + kCellPixels * column, kBoardTop + kCellPixels * row,
                                  kCellPixels, kCellPixels);
}

void BoardView::showPicture(int cell, Picture p)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    shown_[static_cast<std::size_t>(cell)] = p;
    if (QLabel* label = cells_[static_cast<std::size_t>(cell)]) {
        setPictureOn(label, p, cell);
        // Named by what it holds: the frames of an animation change no name.
        if (!contentName(p).isEmpty())
            label->setAccessibleName(accessibleCellName(cell, p));
        // Painted now: the animation's pauses keep the thread from the event loop.
        label->repaint();
    }
    if (onPicture)
        onPicture(cell, p);
}

void BoardView::animate(int cell, Picture first, Sound sound, Picture second, Picture last)
{
    // The sound system is opened at the first animation of the program, before
    // its first picture: the sound then keeps its place 100 ms after it.
    if (!wave(sound).isEmpty())
        player_.open();
    showPicture(cell, first);
    pause(kFrameMs);
    playSound(sound);
    showPicture(cell, second);
    pause(kFrameMs);
    showPicture(cell, last);
}

void BoardView::showCell(int cell, int state)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    switch (state) {
    case kEmpty:
        showPicture(cell, Picture::Empty);
        break;
    case kBlack:
        report_.placed(cell, kBlack);
        animate(cell, Picture::PlaceBlack1, Sound::Place, Picture::PlaceBlack2, Picture::Black);
        break;
    case kWhite:
        report_.placed(cell, kWhite);
        animate(cell, Picture::PlaceWhite1, Sound::Place, Picture::PlaceWhite2, Picture::White);
        break;
    default:
        if (QLabel* label = cells_[static_cast<std::size_t>(cell)])
            label->repaint();
        break;
    }
}

void BoardView::showFlip(int cell, int side)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    if (side != kBlack && side != kWhite)
        return;
    report_.flipped();
    if (side == kBlack)
        animate(cell, Picture::ToBlack1, Sound::Flip, Picture::ToBlack2, Picture::Black);
    else
        animate(cell, Picture::ToWhite1, Sound::Flip, Picture::ToWhite2, Picture::White);
}

void BoardView::sayMove()
{
    int black = 0, white = 0;
    for (Picture p : shown_) {
        black += p == Picture::Black;
        white += p == Picture::White;
    }
    announceIn(client_, toQString(report_.finish(black, white)));
}

void BoardView::showCounts(int black, int white)
{
    sayMove();
    if (QLabel* count = label(ids::kBlackCount))
        count->setText(QString::number(black));
    if (QLabel* count = label(ids::kWhiteCount))
        count->setText(QString::number(white));
}

void BoardView::setStatus(const std::string& text)
{
    // The computer's move is followed by the player's turn: the move is said first.
    sayMove();
    if (QLabel* status = label(ids::kStatus)) {
        status->setText(toQString(text));
        announceIn(status, status->text());
    }
}

void BoardView::showNotice(const std::string& text)
{
    sayMove();
    // Blocks no window: the main window keeps taking clicks, datagrams and timers.
    runMessageBox(QMessageBox::Warning, QStringLiteral("情報"), text, QMessageBox::Ok);
}

void BoardView::playSound(Sound sound)
{
    if (onSound)
        onSound(sound);
    const QByteArray& image = wave(sound);
    if (!image.isEmpty())
        player_.play(image);
}

const QByteArray& BoardView::wave(Sound sound)
{
    std::optional<QByteArray>& slot = sounds_[static_cast<std::size_t>(sound)];
    if (!slot)
        slot = loadSound(sound);
    return *slot;
}

int BoardView::cellAt(int x, int y) const
{
    if (!client_)
        return -1;
    const QPoint point(x, y);
    for (int k = 0; k < kCellCount; ++k) {
        const QLabel* cell = cells_[static_cast<std::size_t>(k)];
        if (!cell)
            continue;
        // QRect::contains takes the left and top edges, not the right and bottom ones.
        const QRect rect(cell->mapTo(client_, QPoint(0, 0)), cell->size());
        if (rect.contains(point))
            return k;
    }
    return -1;
}

void BoardView::pause(int ms)
{
    if (ms > 0)
        pause_(ms);
}

void BoardView::setSound(Sound sound, const QByteArray& wave)
{
    sounds_[static_cast<std::size_t>(sound)] = wave;
}

void BoardView::setPauseFunction(std::function<void(int ms)> pause)
{
    if (pause)
        pause_ = std::move(pause);
}

} // namespace kestrel
