// Finding devices by hardware ID, removing them for a fresh detection, clearing the
// not-installed mark, and re-enumerating the device tree.
#include "drvsetup/devices.h"
#include "drvsetup/vnsetup.h"

namespace vnsetup {
namespace {

// Newly found devices get this long to finish installing after a re-enumeration.
constexpr DWORD kInstallGraceMs = 5000;

CONFIGRET ReenumerateRoot() {
    DEVINST root = 0;
    CONFIGRET result = System().LocateDevNode(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL);
    if (result != CR_SUCCESS) return result;
    return System().ReenumerateDevNode(root, CM_REENUMERATE_SYNCHRONOUS);
}

}  // namespace
}  // namespace vnsetup

using namespace vnsetup;

int VNSETUPAPI FindExistingDevice(const char* className, const char* hardwareId) {
    if (!UsableHardwareId(hardwareId)) return 0;
    DeviceSet set(className, 0);
    if (!set) return 0;
    int usable = 0;
    ForEachHardwareIdMatch(set, hardwareId, IdRule::Reduced, [&](SP_DEVINFO_DATA* device) {
        // A problem flag, or flags that cannot be read, make the device not count.
        DWORD flags;
        usable = ReadConfigFlags(set.get(), device, &flags) && (flags == 0 || flags == kNotInstalledMark);
        return false;  // the first match decides
    });
    return usable;
}

int VNSETUPAPI RemoveAndReenumerateDevice(const char* className, const char* hardwareId) {
    if (!UsableHardwareId(hardwareId)) return 0;
    int removed = 0;
    {
        DeviceSet set(className, 0);
        if (!set) return 0;
        ForEachHardwareIdMatch(set, hardwareId, IdRule::Reduced, [&](SP_DEVINFO_DATA* device) {
            if (System().CallClassInstaller(DIF_REMOVE, set.get(), device)) ++removed;
            return true;
        });
    }
    if (removed) ReenumerateDevice();
    return removed;
}

int VNSETUPAPI RemoveQuestionSign(const char* className, const char* hardwareId) {
    if (!UsableHardwareId(hardwareId)) return 0;
    DeviceSet set(className, DIGCF_PRESENT);
    if (!set) return -1;
    ForEachHardwareIdMatch(set, hardwareId, IdRule::Prefix, [&](SP_DEVINFO_DATA* device) {
        DWORD flags;
        if (ReadConfigFlags(set.get(), device, &flags) && (flags & kNotInstalledMark)) {
            flags &= ~kNotInstalledMark;
            System().SetDeviceRegistryProperty(set.get(), device, SPDRP_CONFIGFLAGS,
                                               reinterpret_cast<const BYTE*>(&flags), sizeof flags);
        }
        return true;
    });
    return 1;
}

void VNSETUPAPI ReenumerateDevice(void) {
    ReenumerateRoot();
    System().Wait(kInstallGraceMs);
}

DWORD VNSETUPAPI ReenumerateDeviceWithoutDelay(void) { return ReenumerateRoot(); }
