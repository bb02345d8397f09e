#pragma once

#include <string>

#include "support/TempDir.h"
#include "update/GostCipher.h"
#include "update/UpdateFileTool.h"

namespace vorlix::test {

// An update file as the publisher makes it, from plain text with LF lines.
inline std::string EncipheredUpdateFile(const std::string& plain) {
    std::string cipher;
    std::string reason;
    EncipherUpdateText(plain, KeyText(), cipher, reason);
    return cipher;
}

// The usual file: another program first, then this one at the version given.
inline std::string UpdateFileListing(const std::string& version) {
    return "[Update]\nProgramToUpdate=2\n[ProgramNames]\nProgram1=Jiný program\nProgram2=Vorlix\n"
           "[UpdateVersionProgram]\nVersionFile1=3.1.0.5\nVersionFile2=" +
           version + "\n";
}

}  // namespace vorlix::test
