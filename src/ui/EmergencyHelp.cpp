#include "ui/EmergencyHelp.h"

#include "ui/Dialogs.h"

namespace vorlix {

std::string EmergencyHelpText() {
    return "Warning text help\r\n"
           "There was an error when loading the language packs, the files are"
           " inconsistent. Please solve the problem by reinstalling the program.";
}

void ShowEmergencyHelp(Dialogs& dialogs) {
    dialogs.ShowEmergencyHelp(kEmergencyHelpCaption, EmergencyHelpText());
}

}  // namespace vorlix
