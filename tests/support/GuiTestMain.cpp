#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Test discovery runs the binary outside CTest's environment, so default to headless here.
int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
