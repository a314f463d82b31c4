#include "app/view/board_resources.h"

#include <QFile>
#include <QGuiApplication>

// Pulls the resource object into programs that link the static library.
static void initCompiledResources()
{
    Q_INIT_RESOURCE(kestrelbay);
}

namespace kestrel {

void initResources()
{
    static const bool done = (initCompiledResources(), true);
    (void)done;
}

QString picturePath(Picture picture, int scale)
{
    static const char* const names[kPictureCount] = {
        "empty",        "black",     "white",     "place_black1", "place_black2", "place_white1",
        "place_white2", "to_black1", "to_black2", "to_white1",    "to_white2",
    };
    return QStringLiteral(":/images/%1%2.png")
        .arg(QLatin1String(names[static_cast<int>(picture)]), scale == 2 ? QStringLiteral("@2x") : QString());
}

QString soundPath(Sound sound)
{
    static const char* const names[kSoundCount] = {"place", "flip", "win", "lose"};
    return QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(names[static_cast<int>(sound)]));
}

QString iconPath()
{
    return QStringLiteral(":/icons/kestrelbay.png");
}

int pictureScaleFor(qreal devicePixelRatio)
{
    return devicePixelRatio > 1.0 ? 2 : 1;
}

QPixmap loadPicture(Picture picture, int scale)
{
    initResources();
    QPixmap pixmap(picturePath(picture, scale));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QByteArray loadSound(Sound sound)
{
    initResources();
    QFile file(soundPath(sound));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

namespace {

QIcon iconUpTo(int largest)
{
    initResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        if (size <= largest)
            icon.addFile(QStringLiteral(":/icons/kestrelbay%1.png").arg(size), QSize(size, size));
    return icon;
}

bool hasWholePicture(const QIcon& icon)
{
    return icon.availableSizes().contains(QSize(256, 256));
}

} // namespace

QIcon programIcon()
{
    // Once the program has given the application its whole icon (no one
    // else gives it one), every window shares it instead of decoding the
    // eight pictures again.
    const QIcon shared = QGuiApplication::windowIcon();
    if (hasWholePicture(shared))
        return shared;
    // The start's icon, given to the application, is completed with its
    // 256-pixel picture alone: its other pictures are decoded already.
    QIcon whole = shared.isNull() ? iconUpTo(128) : shared;
    whole.addFile(QStringLiteral(":/icons/kestrelbay256.png"), QSize(256, 256));
    return whole;
}

QIcon programIconForStart()
{
    const QIcon shared = QGuiApplication::windowIcon();
    return shared.isNull() || hasWholePicture(shared) ? iconUpTo(128) : shared;
}

} // namespace kestrel
