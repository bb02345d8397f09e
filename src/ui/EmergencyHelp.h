#pragma once

#include <string>

namespace vorlix {

class Dialogs;

// The emergency help window's fixed texts: English, because when it is shown
// no language pack can be trusted.
inline constexpr const char* kEmergencyHelpCaption = "Emergency Help";
std::string EmergencyHelpText();

// A window's place and size on the desktop, in pixels.
struct WindowBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowBox&) const = default;
};

// Where the emergency help window opens on the screen's usable area: at its
// design place when the whole window lies on the area there, centred
// otherwise (a small screen would hide part of it, or all).
WindowBox EmergencyHelpPlace(const WindowBox& screenArea, int width, int height);

// Shows the emergency help window; returns when the user has closed it.
void ShowEmergencyHelp(Dialogs& dialogs);

}  // namespace vorlix
