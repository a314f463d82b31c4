#pragma once
// The cell pictures, sounds and icon compiled into the program.

#include <QByteArray>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include "engine/game_view.h"

namespace kestrel {

enum class Picture {
    Empty,
    Black,
    White,
    PlaceBlack1,
    PlaceBlack2,
    PlaceWhite1,
    PlaceWhite2,
    ToBlack1,
    ToBlack2,
    ToWhite1,
    ToWhite2,
};
constexpr int kPictureCount = 11;
constexpr int kSoundCount = 4;
constexpr int kCellPixels = 34;

// Registers the compiled-in resources; safe to call more than once.
void initResources();

// Each picture exists at two densities: 34x34 pixels (scale 1) and drawn
// again at 68x68 (scale 2) for screens with two device pixels to a pixel.
constexpr int kPictureScales = 2;

// Resource paths, e.g. ":/images/empty.png", ":/images/empty@2x.png", ":/sounds/place.wav".
QString picturePath(Picture picture, int scale = 1);
QString soundPath(Sound sound);
QString iconPath(); // 32x32; ":/icons/kestrelbay<size>.png" are the other sizes

// The picture scale that draws sharpest at a device pixel ratio: the
// double-size pictures on any screen denser than one device pixel a pixel.
int pictureScaleFor(qreal devicePixelRatio);

// A cell picture's pixels as compiled in (generated at build time from the
// picture files): edge x edge palette indices, a byte each, row by row.
struct CellPixels {
    const unsigned char* indices;
    const QRgb* colours;
    int colourCount;
    int edge;
};
const CellPixels& cellPixels(Picture picture, int scale);

// A picture of scale 2 carries a device pixel ratio of 2, so it covers the
// same 34x34 pixels of a window as the picture of scale 1. Made from the
// compiled-in pixels: the same as the picture file, without decoding it.
QPixmap loadPicture(Picture picture, int scale = 1);
// An empty array when the resource is missing.
QByteArray loadSound(Sound sound);

// The program's icon with every size up to 128 pixels it was drawn at, so
// that each screen and panel takes the size it shows without scaling (the
// 256-pixel drawing is for the installed theme alone). Its pictures are
// decoded each time a window asks for them, and none is kept: a window
// system copies a window's icon when it is given.
QIcon programIcon();

} // namespace kestrel
