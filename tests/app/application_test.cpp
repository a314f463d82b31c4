// The application object as the program makes it, from a command line full
// of Qt's own options: none of them may take effect. main() below makes it
// before the tests run, as the program does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "app/application.h"

namespace {

char programName[] = "/opt/games/corvidae";
char reverse[] = "-reverse";
char styleOption[] = "-style";
char styleName[] = "windows";
char styleSheetOption[] = "-stylesheet";
char styleSheetPath[] = "/nonexistent/kestrel.qss";
char platformOption[] = "-platform";
char platformName[] = "minimal";
char* commandLine[] = {programName,    reverse,        styleOption,  styleName, styleSheetOption,
                       styleSheetPath, platformOption, platformName, nullptr};
const char* chosenPlatform = nullptr;

} // namespace

TEST(Application, QtsOwnCommandLineOptionsChangeNothing)
{
    ASSERT_NE(qApp, nullptr);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    QWidget window;
    EXPECT_EQ(window.layoutDirection(), Qt::LeftToRight);
    EXPECT_NE(QApplication::style()->name().toLower(), QStringLiteral("windows"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(QGuiApplication::platformName(), QString::fromUtf8(chosenPlatform));
    EXPECT_EQ(QCoreApplication::arguments(), QStringList{QString::fromUtf8(programName)});
}

int main(int argc, char** argv)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0')
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    chosenPlatform = std::getenv("QT_QPA_PLATFORM");
    std::unique_ptr<QApplication> app = kestrel::startApplication(8, commandLine);
    if (!app)
        return 1;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
