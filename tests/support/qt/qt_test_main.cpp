// The main function of the test programs that make widgets: the application object
// lives for the whole run and goes before the program's static objects do, so every
// test (run alone, as CTest does, or with the others) finds it there. Widgets are drawn
// off screen unless the environment names another platform.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
