#include <gtest/gtest.h>

#include "ui/EndProgram.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Ending the program becomes an exception the test can catch and inspect.
    vorlix::SetEndRoutine([](int status) { throw vorlix::ProgramEnded{status}; });
    return RUN_ALL_TESTS();
}
