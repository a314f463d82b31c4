// Draws the board as the player sees it — a game in progress with a piece
// being placed and pieces being turned — and saves it as PNG pictures:
//   board_screenshot <out.png>     (also <out>-x3.png, enlarged without smoothing,
//                                   <out>-mark.png, <out>-mark-x3.png with the
//                                   keyboard mark on a piece, <out>-hint.png with
//                                   the hint's mark on an empty cell as well, and
//                                   <out>-hint-mark.png with both marks on that cell)
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "text/cp932.h"
#include "ui/board/board_view.h"

namespace {

using kestrel::Picture;

QLabel* addLabel(QWidget* parent, int id, QRect geometry, const QString& text, bool sunken)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    if (sunken)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

// Saves the picture and, beside it, the same three times larger without smoothing.
bool save(const QPixmap& shot, QString out)
{
    QString big = out;
    big.replace(QStringLiteral(".png"), QStringLiteral("-x3.png"));
    const bool saved = shot.save(out) &&
                       shot.scaled(shot.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(big);
    std::printf("%s\n%s\n", qPrintable(out), qPrintable(big));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: board_screenshot <out.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QWidget window;
    window.resize(523, 340);
    window.setFont(QFont(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")}, 9));
    // the parts of the main window the board view writes to (dialog units converted to pixels)
    addLabel(&window, 1084, QRect(7, 303, 511, 18), QString(), true);
    addLabel(&window, 1065, QRect(294, 69, 33, 34), QString(), false);
    addLabel(&window, 1066, QRect(294, 108, 33, 34), QString(), false);
    addLabel(&window, 1091, QRect(336, 78, 28, 18), QString(), true);
    addLabel(&window, 1092, QRect(336, 114, 28, 18), QString(), true);
    addLabel(&window, 1089, QRect(371, 78, 143, 18), QStringLiteral("hanako"), true)
        ->setAlignment(Qt::AlignLeft);
    addLabel(&window, 1090, QRect(371, 114, 143, 18), QStringLiteral("taro"), true)
        ->setAlignment(Qt::AlignLeft);

    kestrel::BoardView view(&window);
    view.setPauseFunction([](int) {});
    view.layoutBoard();
    window.findChild<QLabel*>(QStringLiteral("1079"))->setText(QStringLiteral("taro"));

    // A game in progress: black (blue) and white (cyan) pieces.
    const char* rows[8] = {"........", "...o....", "..xxo...", "..xxxo..",
                           "..oxxo..", "...ox...", "........", "........"};
    int black = 0;
    int white = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            if (rows[r][c] != '.') {
                const bool isBlack = rows[r][c] == 'x';
                (isBlack ? black : white) += 1;
                view.showPicture(r * 8 + c, isBlack ? Picture::Black : Picture::White);
            }
    // Every animation frame once, along the seventh row: a gallery of the
    // pictures, not pieces of the game, so the counts leave them out.
    const Picture frames[] = {Picture::PlaceBlack1, Picture::PlaceBlack2, Picture::PlaceWhite1,
                              Picture::PlaceWhite2, Picture::ToBlack1,    Picture::ToBlack2,
                              Picture::ToWhite1,    Picture::ToWhite2};
    for (int i = 0; i < 8; ++i)
        view.showPicture(48 + i, frames[i]);
    view.showCounts(black, white); // 8 and 6
    view.setStatus(SJ("自分の番です　コマを置いて下さい"));

    window.show();
    QApplication::processEvents();
    // The board is this window's only tab stop and takes the focus; the
    // program's window starts with it in the chat input, without the mark.
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    QApplication::processEvents();
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool saved = save(window.grab(), out);

    // The keyboard mark over a black piece (3行4列).
    view.keys().mark(19);
    view.cellLabel(19)->setFocus();
    QApplication::processEvents();
    QString marked = out;
    marked.replace(QStringLiteral(".png"), QStringLiteral("-mark.png"));
    saved = save(window.grab(), marked) && saved;

    // The hint's mark over an empty cell (3行6列), then the keyboard mark there too.
    view.showHintMark(21);
    QApplication::processEvents();
    QString hinted = out;
    hinted.replace(QStringLiteral(".png"), QStringLiteral("-hint.png"));
    saved = save(window.grab(), hinted) && saved;
    view.keys().mark(21);
    QApplication::processEvents();
    hinted.replace(QStringLiteral("-hint.png"), QStringLiteral("-hint-mark.png"));
    saved = save(window.grab(), hinted) && saved;
    return saved ? 0 : 1;
}
