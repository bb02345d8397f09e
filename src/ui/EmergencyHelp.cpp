#include "ui/EmergencyHelp.h"

#include "ui/Dialogs.h"

namespace vorlix {

std::string EmergencyHelpText() {
    return "Warning text help\r\n"
           "There was an error when loading the language packs, the files are"
           " inconsistent. Please solve the problem by reinstalling the program.";
}

WindowBox EmergencyHelpPlace(const WindowBox& screenArea, int width, int height) {
    // 10845, 5760 twips at 15 twips to a pixel.
    const WindowBox design{723, 384, width, height};
    const bool onScreen = design.left >= screenArea.left && design.top >= screenArea.top &&
                          design.left + width <= screenArea.left + screenArea.width &&
                          design.top + height <= screenArea.top + screenArea.height;
    if (onScreen) return design;
    return {screenArea.left + (screenArea.width - width) / 2,
            screenArea.top + (screenArea.height - height) / 2, width, height};
}

void ShowEmergencyHelp(Dialogs& dialogs) {
    dialogs.ShowEmergencyHelp(kEmergencyHelpCaption, EmergencyHelpText());
}

}  // namespace vorlix
