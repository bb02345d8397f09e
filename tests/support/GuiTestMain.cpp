#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/EndProgram.h"

int main(int argc, char** argv) {
    // CTest lists the tests without their environment: no QApplication then,
    // since it would look for a display.
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) return RUN_ALL_TESTS();

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    vorlix::SetEndRoutine([](int status) { throw vorlix::ProgramEnded{status}; });
    return RUN_ALL_TESTS();
}
