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

// A null pixmap or an empty array when the resource is missing. A picture
// of scale 2 carries a device pixel ratio of 2, so it covers the same 34x34
// pixels of a window as the picture of scale 1.
QPixmap loadPicture(Picture picture, int scale = 1);
QByteArray loadSound(Sound sound);

// The program's icon with every size it was drawn at (16 to 256 pixels),
// so that each screen and panel takes the size it shows without scaling.
// The application's icon once that is the whole one.
QIcon programIcon();
// The program's icon without its 256-pixel picture, which takes the window
// system longer to take over than the rest of a window's first showing (and
// a few milliseconds to decode): what the application and the main window
// start with, before they take the whole icon. The application's icon when
// it has that one.
QIcon programIconForStart();

} // namespace kestrel
