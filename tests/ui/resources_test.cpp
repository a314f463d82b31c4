// The compiled-in pictures, sounds and icon: sizes, colours, formats, lengths.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QResource>
#include <QSet>
#include <cmath>
#include <cstdlib>

#include "ui/board/wave_file.h"
#include "ui/resources.h"

namespace kestrel {
namespace {

const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kOutline = qRgb(0, 0, 0);

QImage image(Picture p, int scale = 1)
{
    initResources();
    return QImage(picturePath(p, scale)).convertToFormat(QImage::Format_RGB32);
}

// The colour at pixel (x, y) of the 34x34 cell: in a double-size picture,
// the lower right of the four device pixels that make it up.
QRgb at(Picture p, int x, int y, int scale = 1)
{
    return image(p, scale).pixel(x * scale + scale / 2, y * scale + scale / 2);
}

// Columns of the middle row that show the given colour.
int countInMiddleRow(Picture p, QRgb colour, int fromX, int toX, int scale = 1)
{
    int n = 0;
    for (int x = fromX; x < toX; ++x)
        n += at(p, x, 17, scale) == colour || at(p, x, 12, scale) == colour;
    return n;
}

TEST(BoardResources, ElevenCellPicturesOfSixteenColoursOnAnOutlinedGreySquare)
{
    for (int scale : {1, 2})
        for (int p = 0; p < kPictureCount; ++p) {
            SCOPED_TRACE(picturePath(static_cast<Picture>(p), scale).toStdString());
            const int size = kCellPixels * scale;
            const QImage raw(picturePath(static_cast<Picture>(p), scale));
            ASSERT_FALSE(raw.isNull());
            EXPECT_EQ(raw.size(), QSize(size, size));
            QSet<QRgb> colours;
            const QImage img = image(static_cast<Picture>(p), scale);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    colours.insert(img.pixel(x, y));
            EXPECT_LE(colours.size(), 16);
            // An outline one cell pixel wide: scale device pixels.
            for (int i = 0; i < size; ++i)
                for (int edge : {0, scale - 1, size - scale, size - 1}) {
                    EXPECT_EQ(img.pixel(i, edge), kOutline);
                    EXPECT_EQ(img.pixel(edge, i), kOutline);
                }
            EXPECT_EQ(img.pixel(scale, 2 * scale), kGrey); // inside the outline the corners are grey
            EXPECT_EQ(at(static_cast<Picture>(p), 2, 2, scale), kGrey);
            EXPECT_EQ(at(static_cast<Picture>(p), 31, 2, scale), kGrey);
            const QPixmap loaded = loadPicture(static_cast<Picture>(p), scale);
            EXPECT_FALSE(loaded.isNull());
            EXPECT_EQ(loaded.devicePixelRatio(), scale);
            EXPECT_EQ(loaded.deviceIndependentSize(), QSizeF(kCellPixels, kCellPixels));
            // The compiled-in pixels are the picture file's, pixel for pixel.
            EXPECT_EQ(loaded.toImage().convertToFormat(QImage::Format_RGB32), img);
        }
}

// Drawn at 68x68, not enlarged: an enlarged picture is made of uniform 2x2
// blocks, a drawn one has finer edges wherever its shapes have edges.
TEST(BoardResources, DoubleSizePicturesAreDrawnAtTheirOwnResolution)
{
    for (int p = 0; p < kPictureCount; ++p) {
        SCOPED_TRACE(picturePath(static_cast<Picture>(p), 2).toStdString());
        const QImage img = image(static_cast<Picture>(p), 2);
        int mixedBlocks = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2) {
                const QRgb c = img.pixel(x, y);
                mixedBlocks +=
                    img.pixel(x + 1, y) != c || img.pixel(x, y + 1) != c || img.pixel(x + 1, y + 1) != c;
            }
        EXPECT_EQ(mixedBlocks > 10, static_cast<Picture>(p) != Picture::Empty) << mixedBlocks;
    }
    EXPECT_EQ(pictureScaleFor(1.0), 1);
    EXPECT_EQ(pictureScaleFor(0.5), 1);
    EXPECT_EQ(pictureScaleFor(1.25), 2);
    EXPECT_EQ(pictureScaleFor(2.0), 2);
    EXPECT_EQ(pictureScaleFor(3.0), 2);
}

TEST(BoardResources, PicturesShowTheDescribedShapes)
{
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        EXPECT_EQ(countInMiddleRow(Picture::Empty, kGrey, 1, 33, scale), 32);
        // full discs about 30 pixels across
        EXPECT_GE(countInMiddleRow(Picture::Black, kBlue, 1, 33, scale), 24);
        EXPECT_EQ(at(Picture::Black, 3, 17, scale) == kGrey, false);
        EXPECT_GE(countInMiddleRow(Picture::White, kCyan, 1, 33, scale), 24);
        EXPECT_EQ(countInMiddleRow(Picture::White, kBlue, 1, 33, scale), 0);
        // placing: a dot of about 11 pixels, then a disc of about 18
        for (auto [first, second, colour] : {std::tuple{Picture::PlaceBlack1, Picture::PlaceBlack2, kBlue},
                                             std::tuple{Picture::PlaceWhite1, Picture::PlaceWhite2, kCyan}}) {
            EXPECT_EQ(at(first, 17, 17, scale), colour);
            EXPECT_EQ(at(first, 17 + 8, 17, scale), kGrey);
            EXPECT_EQ(at(first, 17 - 8, 17, scale), kGrey);
            EXPECT_EQ(at(second, 17 + 6, 17, scale), colour);
            EXPECT_EQ(at(second, 17 - 6, 17, scale), colour);
            EXPECT_EQ(at(second, 17 - 12, 17, scale), kGrey);
        }
        // turning: an upright face with the rim of the other colour on one side
        struct Turn {
            Picture p;
            QRgb face, rim;
            bool rimRight;
        };
        for (const Turn& t :
             {Turn{Picture::ToBlack1, kCyan, kBlue, true}, Turn{Picture::ToBlack2, kBlue, kCyan, false},
              Turn{Picture::ToWhite1, kBlue, kCyan, true}, Turn{Picture::ToWhite2, kCyan, kBlue, false}}) {
            SCOPED_TRACE(picturePath(t.p).toStdString());
            EXPECT_EQ(at(t.p, 17, 20, scale), t.face);
            EXPECT_EQ(at(t.p, 17, 5, scale), t.face); // tall...
            EXPECT_EQ(at(t.p, 4, 17, scale), kGrey);  // ...and narrow
            EXPECT_EQ(at(t.p, 30, 17, scale), kGrey);
            const int rimOnRight = countInMiddleRow(t.p, t.rim, 18, 33, scale);
            const int rimOnLeft = countInMiddleRow(t.p, t.rim, 1, 17, scale);
            EXPECT_GE(t.rimRight ? rimOnRight : rimOnLeft, 2);
            EXPECT_EQ(t.rimRight ? rimOnLeft : rimOnRight, 0);
        }
    }
}

TEST(BoardResources, ProgramIconAtEverySizeItWasDrawnAt)
{
    initResources();
    EXPECT_EQ(QImage(iconPath()).size(), QSize(32, 32));
    const QIcon icon = programIcon();
    EXPECT_EQ(icon.availableSizes().size(), 7);
    const auto drawing = [](int size) {
        return QImage(QStringLiteral(":/icons/kestrelbay%1.png").arg(size))
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const auto shown = [](const QPixmap& p) {
        return p.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        // Each size is its own drawing, taken unscaled.
        EXPECT_EQ(drawing(size).size(), QSize(size, size));
        EXPECT_EQ(shown(icon.pixmap(QSize(size, size))), drawing(size));
    }
    // A panel icon of 32 pixels at twice the density is the 64-pixel drawing;
    // a size between drawings is the next larger one scaled down; beyond the
    // largest, the largest.
    QImage dense = shown(icon.pixmap(QSize(32, 32), 2.0));
    dense.setDevicePixelRatio(1.0);
    EXPECT_EQ(dense, drawing(64));
    EXPECT_EQ(icon.actualSize(QSize(40, 40)), QSize(40, 40));
    EXPECT_EQ(icon.pixmap(QSize(40, 40)).size(), QSize(40, 40));
    EXPECT_EQ(shown(icon.pixmap(QSize(512, 512))), drawing(128));
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/icons/kestrelbay256.png"))); // the installed theme's alone
}

struct SoundSpec {
    Sound sound;
    int channels, rate, bits;
    double seconds;
};

TEST(BoardResources, FourSoundsWithTheirFormatAndLength)
{
    for (const SoundSpec& s :
         {SoundSpec{Sound::Place, 2, 44100, 16, 0.06}, SoundSpec{Sound::Flip, 2, 44100, 16, 0.13},
          SoundSpec{Sound::Win, 1, 22050, 8, 2.2}, SoundSpec{Sound::Lose, 1, 22050, 8, 1.7}}) {
        SCOPED_TRACE(soundPath(s.sound).toStdString());
        const QByteArray wave = loadSound(s.sound);
        // Stored as it is, so that playing it copies nothing.
        EXPECT_EQ(QResource(soundPath(s.sound)).compressionAlgorithm(), QResource::NoCompression);
        const auto clip =
            parseWave(std::string_view(wave.constData(), static_cast<std::size_t>(wave.size())));
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->channels, s.channels);
        EXPECT_EQ(clip->sampleRate, s.rate);
        EXPECT_EQ(clip->bitsPerSample, s.bits);
        EXPECT_NEAR(clip->seconds(), s.seconds, 0.001);

        // Loud enough to hear, never clipped, and silent at both ends (no pops).
        const auto sample = [&](std::size_t i) {
            const char* p = wave.constData() + clip->dataOffset;
            if (s.bits == 8)
                return (static_cast<unsigned char>(p[i]) - 128) / 128.0;
            return static_cast<std::int16_t>(static_cast<unsigned char>(p[2 * i]) |
                                             (static_cast<unsigned char>(p[2 * i + 1]) << 8)) /
                   32768.0;
        };
        const std::size_t count = clip->dataSize / static_cast<std::size_t>(s.bits / 8);
        double peak = 0;
        for (std::size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(sample(i)));
        EXPECT_GT(peak, 0.4);
        EXPECT_LT(peak, 0.95);
        EXPECT_LT(std::abs(sample(0)), 0.02);
        EXPECT_LT(std::abs(sample(count - 1)), 0.02);
    }
}

} // namespace
} // namespace kestrel
