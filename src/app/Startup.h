#pragma once

#include <filesystem>
#include <string>

namespace vorlix {

class Dialogs;

// Makes sure both language packs lie in the program's pack folder
// (LanguagesFolderOf) and are the ones shipped with this build. A missing pack ends the program; a pack of the
// wrong length or digest only warns. An unreadable pack ends the program
// through the digest's read-error message.
void CheckLanguagePacks(Dialogs& dialogs, const std::filesystem::path& programFolder);

}  // namespace vorlix
