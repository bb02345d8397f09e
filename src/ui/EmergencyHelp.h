#pragma once

#include <string>

namespace vorlix {

class Dialogs;

// The emergency help window's fixed texts: English, because when it is shown
// no language pack can be trusted.
inline constexpr const char* kEmergencyHelpCaption = "Emergency Help";
std::string EmergencyHelpText();

// Shows the emergency help window; returns when the user has closed it.
void ShowEmergencyHelp(Dialogs& dialogs);

}  // namespace vorlix
