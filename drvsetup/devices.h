// Pieces shared by the exports: device sets of a class, reading device properties, matching a
// device by description or by hardware ID, and the checks on the callers' texts.
#pragma once
#include <windows.h>

#include "common/text.h"
#include "drvsetup/devsystem.h"

namespace vnsetup {

// The mark the system leaves on a device whose installation has not finished.
constexpr DWORD kNotInstalledMark = 0x00020000;

// A device set of one class (all classes for a null, empty or unknown name), released with
// the owner unless handed on.
class DeviceSet {
public:
    DeviceSet(const char* className, DWORD flags);
    ~DeviceSet();
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;
    explicit operator bool() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }
    // Device record number index; false past the end.
    bool Device(DWORD index, SP_DEVINFO_DATA* device) const;
    HDEVINFO release();

private:
    HDEVINFO set_;
};

// A text property of up to 259 characters; false when it cannot be read.
bool ReadTextProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, char (&text)[vn::kMaxText]);
bool ReadConfigFlags(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD* flags);

// Description equal (any case) and, when a manufacturer is given, the manufacturer too.
bool MatchesDescription(HDEVINFO set, SP_DEVINFO_DATA* device, const char* description, const char* manufacturer);

// How a 9x device's single hardware ID is compared with the given one.
enum class IdRule { Reduced, Prefix };

// Calls visit(device) for each device of the set whose hardware ID matches, until visit
// returns false or the scan ends.
template <typename Visit>
void ForEachHardwareIdMatch(const DeviceSet& set, const char* hardwareId, IdRule rule, Visit visit);
bool HardwareIdMatches(HDEVINFO set, SP_DEVINFO_DATA* device, const char* hardwareId, IdRule rule,
                       bool* endScan);

// Texts the callers pass: a required name (not empty, fits a driver record), an optional one
// (null or empty allowed), and a hardware ID.
bool RequiredName(const char* text);
bool OptionalName(const char* text);
bool UsableHardwareId(const char* id);

template <typename Visit>
void ForEachHardwareIdMatch(const DeviceSet& set, const char* hardwareId, IdRule rule, Visit visit) {
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i) {
        bool endScan = false;
        if (HardwareIdMatches(set.get(), &device, hardwareId, rule, &endScan) && !visit(&device)) return;
        if (endScan) return;
    }
}

}  // namespace vnsetup
