#pragma once

#include <gtest/gtest.h>

#include <string>

#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "util/Clock.h"

namespace vorlix::test {

// Tuesday 5 March 2024, 09:07:02 local time.
class FixedClock final : public Clock {
  public:
    std::chrono::steady_clock::time_point Monotonic() const override { return {}; }
    std::tm LocalNow() const override;
};

// A pack whose every label is "T:" and its key, so expected messages read
// plainly: "T:msgbox7Text1 /TMP/A.TXT T:msgbox7Text2".
class ChecksumTest : public ::testing::Test {
  protected:
    ChecksumTest();

    static std::string T(const std::string& key) { return "T:" + key; }

    TempDir packDir;
    TempDir dir;  // the user's files
    ScriptedDialogs dialogs;
    Language language;
    FixedClock clock;
};

// The MD5 of "hello\n" and the comment line the fixed clock gives.
inline constexpr const char* kHelloDigest = "b1946ac92492d2347c6235b4d2611184";
std::string FixedCommentLine();

}  // namespace vorlix::test
