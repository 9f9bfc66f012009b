// The 37 predefined key functions with their HID usages, descriptions and actions.
#include "keyfunc/catalogue.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace catalogue {
namespace {

// Adapters for actions whose exports return another type.
int __stdcall ScreenSaver() { return static_cast<int>(ActivateScreenSaver()); }

}  // namespace

const Entry kEntries[kEntryCount] = {
    {0x0203, "Close Window", 1, nullptr, CloseCurrentWindow, nullptr, nullptr},
    {0, "Next Window", 2, nullptr, SwitchNextWindow, nullptr, nullptr},
    {0, "Screen Saver", 3, nullptr, ScreenSaver, nullptr, nullptr},
    {0x00B7, "CD Stop", 5, nullptr, CD_Stop, nullptr, nullptr},
    {0x00B6, "Previous Track", 6, nullptr, CD_PrevTrack, nullptr, nullptr},
    {0x00B5, "Next Track", 7, nullptr, CD_NextTrack, nullptr, nullptr},
    {0x00B0, "CD Play", 8, nullptr, CD_Play, nullptr, nullptr},
    {0x00B1, "CD Pause", 9, nullptr, CD_Pause, nullptr, nullptr},
    {0x00CD, "CD Play/Pause", 10, nullptr, CD_PlayPause, nullptr, nullptr},
    {0x00E2, "Mute", 12, nullptr, Mixer_ToggleMute, nullptr, nullptr},
    {0x00E9, "Volume Up", 21, nullptr, Mixer_StartVolumeIncrease, nullptr, Mixer_StopVolumeIncrease},
    {0x00EA, "Volume Down", 22, nullptr, Mixer_StartVolumeDecrease, nullptr, Mixer_StopVolumeDecrease},
    {0x018A, "Email", 20, nullptr, LaunchDefaultMailProgram, nullptr, nullptr},
    {0x0223, "WWW", 23, nullptr, OpenWWWHomePage, nullptr, nullptr},
    {0x0192, "Calculator", 4, nullptr, LaunchCalculator, nullptr, nullptr},
    {0x0095, "Help", 39, nullptr, LaunchSystemHelp, nullptr, nullptr},
    {0x8001, "My Documents", 30006, nullptr, LaunchMyDocuments, nullptr, nullptr},
    {0x022A, "My Favorites", 28, nullptr, nullptr, nullptr, nullptr},
    {0x0221, "Search", 31, nullptr, nullptr, nullptr, nullptr},
    {0x0181, "Display", 24, nullptr, nullptr, nullptr, nullptr},
    {0x0224, "App Back", 25, nullptr, nullptr, nullptr, nullptr},
    {0x0225, "App Forward", 26, nullptr, nullptr, nullptr, nullptr},
    // The nine Keyreach keys: named only, the service handles them itself.
    {0x8101, "AUX1", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8102, "AUX2", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8103, "AUX3", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8104, "AUX4", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8105, "AUX5", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8106, "AUX6", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8107, "AUX7", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8108, "AUX8", 0, nullptr, nullptr, nullptr, nullptr},
    {0x8109, "AUX9", 0, nullptr, nullptr, nullptr, nullptr},
    {0x0030, "Power", 53, nullptr, nullptr, nullptr, nullptr},
    {0x0032, "Sleep", 54, nullptr, nullptr, nullptr, nullptr},
    {0x0091, "Media Select", 55, nullptr, LaunchCDPlayer, nullptr, nullptr},
    {0x8002, "Lock Desktop", 63, nullptr, LockComputer, nullptr, nullptr},
    {0x8003, "Word", 64, nullptr, LaunchWord, nullptr, nullptr},
    {0x8004, "Excel", 65, nullptr, LaunchExcel, nullptr, nullptr},
};

}  // namespace catalogue
}  // namespace vn
