#pragma once

#include <filesystem>
#include <string>

namespace vorlix {

class Dialogs;

// Makes sure both language packs lie in "<programFolder>/Languages" and are the
// ones shipped with this build. A missing pack ends the program; a pack of the
// wrong length or digest only warns. An unreadable pack ends the program
// through the digest's read-error message.
void CheckLanguagePacks(Dialogs& dialogs, const std::filesystem::path& programFolder);

// The emergency help window's fixed texts: English, because at this point no
// language pack can be trusted.
inline constexpr const char* kEmergencyHelpCaption = "Emergency Help";
std::string EmergencyHelpText();

// Shows the emergency help window; returns when the user has closed it.
void ShowEmergencyHelp(Dialogs& dialogs);

}  // namespace vorlix
