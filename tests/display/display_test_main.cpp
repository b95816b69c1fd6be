#include "private_display.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

// The windows are shown on an X server of the tests' own, never on the
// display of whoever runs them.
int main(int argc, char **argv)
{
    const PrivateDisplay display;
    if (display.name().isEmpty()) {
        std::fprintf(stderr, "display_tests: no private X server (Xvfb) could be started\n");
        return 1;
    }
    qputenv("DISPLAY", display.name().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
