#include "standins/vnhooks/keymap.h"

namespace vnhooks {
namespace {

struct Row {
    unsigned vk;
    unsigned usage;
    bool navigation;
    bool handedOn;
};

// Virtual-key codes of the media, volume, browser and launch keys and the Consumer-page usages
// the service's key table expects for them. The browser keys other than Home are the program in
// front's to act on: the service has nothing to do for them beyond its feedback.
constexpr Row kRows[] = {
    {0xA6, 0x0224, true, true},    // VK_BROWSER_BACK: AC Back
    {0xA7, 0x0225, true, true},    // VK_BROWSER_FORWARD: AC Forward
    {0xA8, 0x0227, false, true},   // VK_BROWSER_REFRESH: AC Refresh
    {0xA9, 0x0226, false, true},   // VK_BROWSER_STOP: AC Stop
    {0xAA, 0x0221, false, true},   // VK_BROWSER_SEARCH: AC Search
    {0xAB, 0x022A, false, true},   // VK_BROWSER_FAVORITES: AC Bookmarks
    {0xAC, 0x0223, false, false},  // VK_BROWSER_HOME: AC Home
    {0xAD, 0x00E2, false, false},  // VK_VOLUME_MUTE: Mute
    {0xAE, 0x00EA, false, false},  // VK_VOLUME_DOWN: Volume Decrement
    {0xAF, 0x00E9, false, false},  // VK_VOLUME_UP: Volume Increment
    {0xB0, 0x00B5, false, false},  // VK_MEDIA_NEXT_TRACK: Scan Next Track
    {0xB1, 0x00B6, false, false},  // VK_MEDIA_PREV_TRACK: Scan Previous Track
    {0xB2, 0x00B7, false, false},  // VK_MEDIA_STOP: Stop
    {0xB3, 0x00CD, false, false},  // VK_MEDIA_PLAY_PAUSE: Play/Pause
    {0xB4, 0x018A, false, false},  // VK_LAUNCH_MAIL: AL Email Reader
    {0xB5, 0x0183, false, false},  // VK_LAUNCH_MEDIA_SELECT: AL Consumer Control Configuration
    {0xB7, 0x0192, false, false},  // VK_LAUNCH_APP2: AL Calculator
};

}  // namespace

KeyUsage UsageForVirtualKey(unsigned vk) {
    for (const Row& r : kRows)
        if (r.vk == vk) return {r.usage, r.navigation, r.handedOn};
    return {0, false, false};
}

}  // namespace vnhooks
