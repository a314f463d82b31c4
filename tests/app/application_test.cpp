// The application object as the program makes it, from a command line full
// of Qt's own options, none of which may take effect. main() makes it
// before the tests run, as the program does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/application.h"

namespace {
std::string commandLine[] = {"/opt/games/corvidae", "-reverse", "-style",    "windows",
                             "-stylesheet",         "/x.qss",   "-platform", "minimal"};
} // namespace

TEST(Application, QtsOwnCommandLineOptionsChangeNothing)
{
    QWidget window;
    EXPECT_EQ(window.layoutDirection(), Qt::LeftToRight);
    EXPECT_NE(QApplication::style()->name().toLower(), QStringLiteral("windows"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(QGuiApplication::platformName(), qEnvironmentVariable("QT_QPA_PLATFORM"));
    EXPECT_EQ(QCoreApplication::arguments(), QStringList{QString::fromStdString(commandLine[0])});
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> args;
    for (std::string& word : commandLine)
        args.push_back(word.data());
    args.push_back(nullptr);
    auto app = kestrel::startApplication(static_cast<int>(args.size()) - 1, args.data());
    if (!app)
        return 1;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
