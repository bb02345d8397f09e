#pragma once

#include <string>

#include "checksum/ChecksumListVerification.h"
#include "checksum/ChecksumVerification.h"
#include "checksum/FolderChecksum.h"

namespace vorlix {

class Dialogs;
class Language;

// Shows a verification's messages in their order and, after a data file that
// could not be read, the read-error message. Ending the program after that
// is the caller's part.
void ShowVerifyResult(Dialogs& dialogs, const Language& language, const VerifyResult& result);

// Shows a list's summary, or the unrecognised-layout message when it had no
// entry. The summary goes where the front-end puts diagnostics: on the
// console md5sum's lines alone are the output, as md5sum's are.
void ShowListResult(Dialogs& dialogs, const Language& language, const std::string& checksumPath,
                    const ListResult& result);

// Says that nothing of a checksum file was verified, every file it names
// being absent and passed over; it goes where the list's summary goes.
void ShowNoneVerified(Dialogs& dialogs, const Language& language, const std::string& checksumPath);

// Shows what a folder job came to: the summary, which also says where the
// file went, or why nothing was written. `folder` is the folder as given.
void ShowFolderResult(Dialogs& dialogs, const Language& language, const std::string& folder,
                      const FolderResult& result);

}  // namespace vorlix
