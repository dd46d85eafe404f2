// The Qt tests need one application object for the whole run, so they bring their own main.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // These tests must never need a display, also when started by hand or by test discovery.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
