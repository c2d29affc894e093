// Runs the Qt window tests headless inside one QApplication.
#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // No display is needed or wanted, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A larger default font, as a user may choose for the desktop; set before any window exists.
    if (const int points = qEnvironmentVariableIntValue("BREVORN_TEST_FONT_POINTS"))
        QApplication::setFont(QFont(QApplication::font().family(), points));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
