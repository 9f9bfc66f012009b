#include "drvsetup/devices.h"

#include <cstring>
#include <vector>

#include "drvsetup/idrules.h"

namespace vnsetup {
namespace {

// A device's hardware-ID list is a few hundred bytes; anything claiming more is not read.
constexpr DWORD kMaxIdListBytes = 64 * 1024;
// Hardware IDs and instance IDs on the 9x family are read into buffers of this size.
constexpr DWORD kIdBuffer = 256;

bool NineXFamily() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool Fits(const char* text, std::size_t size) { return std::strlen(text) < size; }

}  // namespace

DeviceSet::DeviceSet(const char* className, DWORD flags) {
    const ClassId* id = FindSetupClass(className);
    GUID guid{};
    if (id) std::memcpy(&guid, id, sizeof guid);
    set_ = System().GetClassDevs(id ? &guid : nullptr, id ? flags : (flags | DIGCF_ALLCLASSES));
}

DeviceSet::~DeviceSet() {
    if (set_ != INVALID_HANDLE_VALUE) System().DestroyDeviceInfoList(set_);
}

bool DeviceSet::Device(DWORD index, SP_DEVINFO_DATA* device) const {
    std::memset(device, 0, sizeof *device);
    device->cbSize = sizeof *device;
    return System().EnumDeviceInfo(set_, index, device) != FALSE;
}

HDEVINFO DeviceSet::release() {
    HDEVINFO set = set_;
    set_ = INVALID_HANDLE_VALUE;
    return set;
}

bool ReadTextProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, char (&text)[vn::kMaxText]) {
    std::memset(text, 0, sizeof text);
    DWORD type = 0;
    if (!System().GetDeviceRegistryProperty(set, device, property, &type, reinterpret_cast<BYTE*>(text),
                                            sizeof text, nullptr))
        return false;
    text[vn::kMaxText - 1] = '\0';  // a value that fills the buffer may come without its terminator
    return true;
}

bool ReadConfigFlags(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD* flags) {
    *flags = 0xFFFFFFFF;
    DWORD type = 0;
    return System().GetDeviceRegistryProperty(set, device, SPDRP_CONFIGFLAGS, &type, reinterpret_cast<BYTE*>(flags),
                                              sizeof *flags, nullptr) != FALSE;
}

bool MatchesDescription(HDEVINFO set, SP_DEVINFO_DATA* device, const char* description, const char* manufacturer) {
    char text[vn::kMaxText];
    if (!ReadTextProperty(set, device, SPDRP_DEVICEDESC, text) || lstrcmpiA(text, description) != 0) return false;
    // A device whose maker cannot be read passes the maker test.
    if (manufacturer && *manufacturer && ReadTextProperty(set, device, SPDRP_MFG, text))
        return lstrcmpiA(text, manufacturer) == 0;
    return true;
}

bool HardwareIdMatches(HDEVINFO set, SP_DEVINFO_DATA* device, const char* hardwareId, IdRule rule,
                       bool* endScan) {
    DeviceSystem& sys = System();
    DWORD type = 0;
    if (NineXFamily()) {
        char id[kIdBuffer] = {};
        if (!sys.GetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, &type, reinterpret_cast<BYTE*>(id),
                                           sizeof id, nullptr))
            return false;
        id[kIdBuffer - 1] = '\0';
        return rule == IdRule::Prefix ? MatchesIdPrefix9x(id, hardwareId) : MatchesId9x(id, hardwareId);
    }
    DWORD required = 0;
    if (sys.GetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, &type, nullptr, 0, &required)) return false;
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_DATA) return false;  // no hardware ID: not this device
    if (error != ERROR_INSUFFICIENT_BUFFER) {
        *endScan = true;
        return false;
    }
    if (required == 0 || required > kMaxIdListBytes) return false;
    std::vector<char> list(required + 2, '\0');  // two spare zeros end even an unterminated list
    if (!sys.GetDeviceRegistryProperty(set, device, SPDRP_HARDWAREID, &type, reinterpret_cast<BYTE*>(list.data()),
                                       required, &required))
        return false;
    return MultiStringHasId(list.data(), list.size(), hardwareId);
}

bool RequiredName(const char* text) { return text && *text && Fits(text, LINE_LEN); }
bool OptionalName(const char* text) { return !text || Fits(text, LINE_LEN); }
bool UsableHardwareId(const char* id) { return id && *id && Fits(id, kIdBuffer); }

}  // namespace vnsetup
