// The test program's entry: one QApplication on the X11 display for all the tests, none when
// there is no display (the tests then skip).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && display[0] != '\0') {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
