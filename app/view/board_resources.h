#pragma once
// The cell pictures, sounds and icon compiled into the program.

#include <QByteArray>
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

// Resource paths, e.g. ":/images/empty.png", ":/sounds/place.wav".
QString picturePath(Picture picture);
QString soundPath(Sound sound);
QString iconPath(); // 32x32; ":/icons/kestrelbay16.png" is the small one

// A null pixmap or an empty array when the resource is missing.
QPixmap loadPicture(Picture picture);
QByteArray loadSound(Sound sound);

} // namespace kestrel
