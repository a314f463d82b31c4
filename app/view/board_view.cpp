#include "app/view/board_view.h"

#include <QEvent>
#include <QFrame>
#include <QThread>
#include <QWidget>

#include "app/labelled_text.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "engine/match_state.h"
#include "net/control_ids.h"

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

// "3行4列 黒": row and column counted from 1, as a player reads the board.
QString accessibleCellName(int cell, Picture p)
{
    QString name = QStringLiteral("%1行%2列").arg(cell / 8 + 1).arg(cell % 8 + 1);
    const QString content = contentName(p);
    if (!content.isEmpty())
        name += QLatin1Char(' ') + content;
    return name;
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
    for (int scale = 1; scale <= kPictureScales; ++scale)
        for (int p = 0; p < kPictureCount; ++p)
            pictures_[static_cast<std::size_t>(scale - 1)][static_cast<std::size_t>(p)] =
                loadPicture(static_cast<Picture>(p), scale);
    for (int s = 0; s < kSoundCount; ++s)
        sounds_[static_cast<std::size_t>(s)] = loadSound(static_cast<Sound>(s));
    pause_ = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    shown_.fill(Picture::Empty);
    createMissingControls();
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
        setPictureOn(cell, Picture::Empty);
        cell->setAccessibleName(accessibleCellName(k, Picture::Empty));
        cells_[static_cast<std::size_t>(k)] = cell;
    }
    showSymbols();
}

void BoardView::showSymbols()
{
    for (int id : {ids::kBlackSymbol, ids::kWhiteSymbol})
        if (QLabel* symbol = label(id))
            setPictureOn(symbol, id == ids::kBlackSymbol ? Picture::Black : Picture::White);
}

void BoardView::setPictureOn(QLabel* label, Picture p) const
{
    label->setPixmap(picture(p, pictureScaleFor(label->devicePixelRatioF())));
}

void BoardView::refreshPictures()
{
    for (int k = 0; k < kCellCount; ++k)
        if (QLabel* cell = cells_[static_cast<std::size_t>(k)])
            setPictureOn(cell, shown_[static_cast<std::size_t>(k)]);
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
        setPictureOn(label, p);
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
    if (!sounds_[static_cast<std::size_t>(sound)].isEmpty())
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
        animate(cell, Picture::PlaceBlack1, Sound::Place, Picture::PlaceBlack2, Picture::Black);
        break;
    case kWhite:
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
    if (side == kBlack)
        animate(cell, Picture::ToBlack1, Sound::Flip, Picture::ToBlack2, Picture::Black);
    else if (side == kWhite)
        animate(cell, Picture::ToWhite1, Sound::Flip, Picture::ToWhite2, Picture::White);
}

void BoardView::showCounts(int black, int white)
{
    if (QLabel* count = label(ids::kBlackCount))
        count->setText(QString::number(black));
    if (QLabel* count = label(ids::kWhiteCount))
        count->setText(QString::number(white));
}

void BoardView::setStatus(const std::string& text)
{
    if (QLabel* status = label(ids::kStatus))
        status->setText(toQString(text));
}

void BoardView::showNotice(const std::string& text)
{
    // Blocks no window: the main window keeps taking clicks, datagrams and timers.
    runMessageBox(QMessageBox::Warning, QStringLiteral("情報"), text, QMessageBox::Ok);
}

void BoardView::playSound(Sound sound)
{
    if (onSound)
        onSound(sound);
    const QByteArray& wave = sounds_[static_cast<std::size_t>(sound)];
    if (!wave.isEmpty())
        player_.play(wave);
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
