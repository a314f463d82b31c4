// The compiled-in pictures, sounds and icon: sizes, colours, formats, lengths.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <cmath>
#include <cstdlib>

#include "app/view/board_resources.h"
#include "app/view/wave_file.h"

namespace kestrel {
namespace {

const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kOutline = qRgb(0, 0, 0);

QImage image(Picture p)
{
    initResources();
    return QImage(picturePath(p)).convertToFormat(QImage::Format_RGB32);
}

QRgb at(Picture p, int x, int y)
{
    return image(p).pixel(x, y);
}

// Columns of the middle row that show the given colour.
int countInMiddleRow(Picture p, QRgb colour, int fromX, int toX)
{
    const QImage img = image(p);
    int n = 0;
    for (int x = fromX; x < toX; ++x)
        n += img.pixel(x, 17) == colour || img.pixel(x, 12) == colour;
    return n;
}

TEST(BoardResources, ElevenCellPicturesOfSixteenColoursOnAnOutlinedGreySquare)
{
    for (int p = 0; p < kPictureCount; ++p) {
        SCOPED_TRACE(picturePath(static_cast<Picture>(p)).toStdString());
        const QImage raw(picturePath(static_cast<Picture>(p)));
        ASSERT_FALSE(raw.isNull());
        EXPECT_EQ(raw.size(), QSize(kCellPixels, kCellPixels));
        QSet<QRgb> colours;
        const QImage img = image(static_cast<Picture>(p));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                colours.insert(img.pixel(x, y));
        EXPECT_LE(colours.size(), 16);
        for (int i = 0; i < kCellPixels; ++i) {
            EXPECT_EQ(img.pixel(i, 0), kOutline);
            EXPECT_EQ(img.pixel(i, kCellPixels - 1), kOutline);
            EXPECT_EQ(img.pixel(0, i), kOutline);
            EXPECT_EQ(img.pixel(kCellPixels - 1, i), kOutline);
        }
        EXPECT_EQ(img.pixel(2, 2), kGrey); // corners inside the outline stay grey
        EXPECT_EQ(img.pixel(31, 2), kGrey);
        EXPECT_FALSE(loadPicture(static_cast<Picture>(p)).isNull());
    }
}

TEST(BoardResources, PicturesShowTheDescribedShapes)
{
    EXPECT_EQ(countInMiddleRow(Picture::Empty, kGrey, 1, 33), 32);
    // full discs about 30 pixels across
    EXPECT_GE(countInMiddleRow(Picture::Black, kBlue, 1, 33), 24);
    EXPECT_EQ(at(Picture::Black, 3, 17) == kGrey, false);
    EXPECT_GE(countInMiddleRow(Picture::White, kCyan, 1, 33), 24);
    EXPECT_EQ(countInMiddleRow(Picture::White, kBlue, 1, 33), 0);
    // placing: a dot of about 11 pixels, then a disc of about 18
    for (auto [first, second, colour] : {std::tuple{Picture::PlaceBlack1, Picture::PlaceBlack2, kBlue},
                                         std::tuple{Picture::PlaceWhite1, Picture::PlaceWhite2, kCyan}}) {
        EXPECT_EQ(at(first, 17, 17), colour);
        EXPECT_EQ(at(first, 17 + 8, 17), kGrey);
        EXPECT_EQ(at(first, 17 - 8, 17), kGrey);
        EXPECT_EQ(at(second, 17 + 6, 17), colour);
        EXPECT_EQ(at(second, 17 - 6, 17), colour);
        EXPECT_EQ(at(second, 17 - 12, 17), kGrey);
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
        EXPECT_EQ(at(t.p, 17, 20), t.face);
        EXPECT_EQ(at(t.p, 17, 5), t.face); // tall...
        EXPECT_EQ(at(t.p, 4, 17), kGrey);  // ...and narrow
        EXPECT_EQ(at(t.p, 30, 17), kGrey);
        const int rimOnRight = countInMiddleRow(t.p, t.rim, 18, 33);
        const int rimOnLeft = countInMiddleRow(t.p, t.rim, 1, 17);
        EXPECT_GE(t.rimRight ? rimOnRight : rimOnLeft, 2);
        EXPECT_EQ(t.rimRight ? rimOnLeft : rimOnRight, 0);
    }
}

TEST(BoardResources, ProgramIcon)
{
    initResources();
    EXPECT_EQ(QImage(iconPath()).size(), QSize(32, 32));
    EXPECT_EQ(QImage(QStringLiteral(":/icons/kestrelbay16.png")).size(), QSize(16, 16));
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
