#pragma once

#include "checksum/ChecksumVerification.h"

namespace vorlix {

class Dialogs;
class Language;

// Shows a verification's messages in their order and, after a data file that
// could not be read, the read-error message. Ending the program after that
// is the caller's part.
void ShowVerifyResult(Dialogs& dialogs, const Language& language, const VerifyResult& result);

}  // namespace vorlix
