// main() of the Qt tests: an offscreen application unless a platform was chosen.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "ui/board/sound_player.h"

int main(int argc, char** argv)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0')
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    kestrel::setSoundModuleDirectory(QStringLiteral(KESTREL_SOUND_MODULE_BUILD_DIR));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
