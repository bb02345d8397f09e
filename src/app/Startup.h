#pragma once

#include <filesystem>
#include <string>

#include "language/Language.h"

namespace vorlix {

class Dialogs;

// Makes sure both language packs lie in the program's pack folder
// (LanguagesFolderOf) and are the ones shipped with this build. A missing pack ends the program; a
// pack of the wrong length or digest only warns. An unreadable pack ends the program through the
// digest's read-error message.
void CheckLanguagePacks(Dialogs& dialogs, const std::filesystem::path& programFolder);

// What the program does when it has no usable language pack: the fixed
// Czech message for a pack that cannot be loaded, the emergency help window
// unless the pack names another language, then the end with the fatal status.
PackFailureHandler EndOnPackFailure(Dialogs& dialogs);

}  // namespace vorlix
