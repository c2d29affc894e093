// Runs the window tests headless inside one QApplication.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // No display is needed or wanted, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
