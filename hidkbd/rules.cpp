#include "hidkbd/rules.h"

namespace vnhid {

bool IsAcceptedCollection(std::uint16_t usagePage, std::uint16_t usage) {
    return usage == 0x0001 && (usagePage == 0x000C || usagePage == 0xFF7F);
}

int OsTypeFromVersion(unsigned long platformId, unsigned long major, unsigned long minor) {
    constexpr unsigned long kWindows = 1, kNt = 2;
    if (platformId == kWindows) {
        if (major != 4) return 0;
        switch (minor) {
        case 0: return 1;
        case 10: return 2;
        case 90: return 3;
        default: return 0;
        }
    }
    if (platformId == kNt) {
        if (major <= 4) return 4;
        if (major == 5) {
            switch (minor) {
            case 0: return 5;
            case 1: return 6;
            case 2: return 7;
            default: return 0;
            }
        }
    }
    return 0;
}

bool SystemKeepsLockLed(int osType, unsigned ledUsage) {
    return (osType == 4 || osType == 5 || osType == 6) && ledUsage >= 1 && ledUsage <= 3;
}

bool ConsumesShellEvent(int code, std::intptr_t lParam) {
    constexpr int kAppCommand = 12;          // HSHELL_APPCOMMAND
    constexpr unsigned kLaunchMediaSelect = 16;  // APPCOMMAND_LAUNCH_MEDIA_SELECT
    if (code != kAppCommand) return false;
    unsigned command = (static_cast<std::uint32_t>(lParam) >> 16) & 0x0FFF;
    return command == kLaunchMediaSelect;
}

unsigned long ReadRetryDelayMs(unsigned failuresInARow) {
    if (failuresInARow <= 1) return 0;
    unsigned shift = failuresInARow - 2;
    if (shift > 5) return 500;
    unsigned long delay = 16ul << shift;
    return delay > 500 ? 500 : delay;
}

}  // namespace vnhid
