// The display's state, one per process, shared by the window code and the settings code.
#pragma once
#include <windows.h>

namespace osd {

extern const char kClassName[];   // "VN_OSD_WNDCLASS"
extern const char kWindowName[];  // "VN_OSD_WND"
extern const char kSection[];     // "OSD"
constexpr UINT_PTR kHideTimer = 1;
constexpr COLORREF kDefaultColor = RGB(0, 255, 0);
constexpr int kDefaultHeight = -37;
constexpr int kDefaultDuration = 1200;
constexpr int kMuteTextOn = 1;
constexpr int kMuteTextOff = 2;

struct State {
    LOGFONTA font{};                // height already scaled to the screen
    int baseHeight = kDefaultHeight;
    COLORREF color = kDefaultColor;
    int duration = kDefaultDuration;
    int enabled = 1;
    HWND window = nullptr;
    // The class background brush the library made and set last. The class is the only other
    // holder of it, so it is deleted only after the class holds another brush (or is gone).
    HBRUSH ownBrush = nullptr;
    bool visible = false;
    bool timerRunning = false;
    bool keepShowing = false;
    bool fontChosen = false;
    // The settings were read in this run (since the last destroy): only then may the destroy
    // save them, or the library's defaults would overwrite what the user stored.
    bool settingsLoaded = false;
};

State& Osd();
HMODULE Module();

// The font description before any settings were read: Arial, -37, normal weight.
LOGFONTA DefaultFont();

// True when "UserChanged" exists in the settings section.
bool UserChangedStored();

}  // namespace osd
