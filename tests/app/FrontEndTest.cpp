#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <streambuf>
#include <string>

#include "app/FrontEnd.h"
#include "app/ProgramFixture.h"

namespace vorlix {
namespace {

// Takes nothing, as a full disk does.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type) override {
        errno = ENOSPC;
        return traits_type::eof();
    }
    int sync() override {
        errno = ENOSPC;
        return -1;
    }
};

TEST(FrontEndOutput, WhatCouldNotBeWrittenMakesTheStatusTwoWithOneLine) {
    for (const int status : {0, 1, 2}) {
        std::ostringstream out, err;
        out << "lines";
        EXPECT_EQ(StatusAfterOutput(status, out, err), status);
        EXPECT_EQ(err.str(), "");

        FullDisk disk;
        std::ostream full(&disk);
        full << "lines" << std::flush;
        EXPECT_EQ(StatusAfterOutput(status, full, err), 2);
        EXPECT_EQ(err.str(), "Error: the output could not be written: No space left on device\n");
    }
    // Failed before, and nothing left to tell why.
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(StatusAfterOutput(0, out, err), 2);
    EXPECT_EQ(err.str(), "Error: the output could not be written\n");
}

TEST(FrontEndOutput, AListWhoseLinesAreLostEndsWithTwo) {
    test::ProgramFixture program;
    program.root.Write("a.txt", "abc");
    const std::string list =
        program.root.Write("MD5SUMS", "900150983cd24fb0d6963f7d28e17f72  a.txt\n");
    for (const bool lost : {false, true}) {
        std::istringstream in;
        std::ostringstream kept, err;
        FullDisk disk;
        std::ostream full(&disk);
        int status = -1;
        try {
            status = RunConsoleFrontEnd(program.location, {list}, program.store,
                                        {in, lost ? full : kept, err});
        } catch (const ProgramEnded& ended) {
            status = ended.status;
        }
        EXPECT_EQ(status, lost ? 2 : 0) << err.str();
        EXPECT_EQ(err.str().find("could not be written") != std::string::npos, lost) << err.str();
    }
}

}  // namespace
}  // namespace vorlix
