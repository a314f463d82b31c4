#include "ui/resources.h"

#include <QIconEngine>
#include <QPainter>
#include <QResource>
#include <algorithm>
#include <iterator>

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
    const CellPixels& pixels = cellPixels(picture, scale);
    QImage image(pixels.indices, pixels.edge, pixels.edge, pixels.edge, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(pixels.colours, pixels.colours + pixels.colourCount));
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QByteArray loadSound(Sound sound)
{
    initResources();
    // Read in place from the program's image when it is stored uncompressed.
    return QResource(soundPath(sound)).uncompressedData();
}

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128};

// Decodes the icon's picture of the size asked for (or the nearest larger
// one) on each request and keeps nothing.
class ProgramIconEngine final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("kestrelbay"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int size : kIconSizes)
            sizes.append(QSize(size, size));
        return sizes;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int drawn = drawnSizeFor(size);
        return QSize(drawn, drawn).scaled(size, Qt::KeepAspectRatio);
    }
    // Every mode looks the same: the icon is a window's, never a button's.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        QPixmap drawn(QStringLiteral(":/icons/kestrelbay%1.png").arg(drawnSizeFor(size)), "PNG");
        if (drawn.width() > size.width() || drawn.height() > size.height())
            drawn = drawn.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return drawn;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

private:
    // The smallest drawing at least as large as asked for, else the largest.
    static int drawnSizeFor(const QSize& size)
    {
        const int wanted = std::max(size.width(), size.height());
        for (int drawn : kIconSizes)
            if (drawn >= wanted)
                return drawn;
        return kIconSizes[std::size(kIconSizes) - 1];
    }
};

} // namespace

QIcon programIcon()
{
    initResources();
    return QIcon(new ProgramIconEngine);
}

} // namespace kestrel
