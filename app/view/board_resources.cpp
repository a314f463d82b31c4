#include "app/view/board_resources.h"

#include <QFile>

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

QString picturePath(Picture picture)
{
    static const char* const names[kPictureCount] = {
        "empty",        "black",     "white",     "place_black1", "place_black2", "place_white1",
        "place_white2", "to_black1", "to_black2", "to_white1",    "to_white2",
    };
    return QStringLiteral(":/images/%1.png").arg(QLatin1String(names[static_cast<int>(picture)]));
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

QPixmap loadPicture(Picture picture)
{
    initResources();
    return QPixmap(picturePath(picture));
}

QByteArray loadSound(Sound sound)
{
    initResources();
    QFile file(soundPath(sound));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace kestrel
