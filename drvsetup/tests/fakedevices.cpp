#include "drvsetup/tests/fakedevices.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "common/testing/winetest.h"
#include "drvsetup/idrules.h"

namespace {

const char kKeyRoot[] = "Software\\VnDrvSetupTest";

// Set handles are small numbers offset from zero, never INVALID_HANDLE_VALUE.
HDEVINFO HandleOf(std::size_t n) { return reinterpret_cast<HDEVINFO>(static_cast<ULONG_PTR>(0x1000 + n)); }
std::size_t NumberOf(HDEVINFO set) { return reinterpret_cast<ULONG_PTR>(set) - 0x1000; }

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Answers a property read as the system does: the size first, then the bytes when they fit.
BOOL Answer(const std::string& data, DWORD type, DWORD* typeOut, BYTE* buffer, DWORD size, DWORD* required) {
    if (typeOut) *typeOut = type;
    if (required) *required = static_cast<DWORD>(data.size());
    if (!buffer || size < data.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, data.data(), data.size());
    return TRUE;
}

std::string Text(const std::string& s) { return s + '\0'; }

const char* PropertyName(DWORD property) {
    switch (property) {
        case SPDRP_FRIENDLYNAME: return "FriendlyName";
        case SPDRP_LOWERFILTERS: return "LowerFilters";
        case SPDRP_UPPERFILTERS: return "UpperFilters";
        case SPDRP_CONFIGFLAGS: return "ConfigFlags";
        default: return "other";
    }
}

void FillDriver(const FakeDriver& d, DWORD number, vnsetup::DriverInfo* out) {
    DWORD size = out->cbSize;
    std::memset(out, 0, sizeof *out);
    out->cbSize = size;
    out->DriverType = SPDIT_COMPATDRIVER;
    out->Reserved = number + 1;
    vn::CopyTruncated(out->Description, LINE_LEN, d.description.c_str());
    vn::CopyTruncated(out->MfgName, LINE_LEN, d.manufacturer.c_str());
    vn::CopyTruncated(out->ProviderName, LINE_LEN, d.provider.c_str());
}

}  // namespace

FakeDevices::FakeDevices() {
    vntest::DeleteRegTree(HKEY_CURRENT_USER, kKeyRoot);
    vnsetup::SetSystem(this);
}

FakeDevices::~FakeDevices() {
    vnsetup::SetSystem(nullptr);
    vntest::DeleteRegTree(HKEY_CURRENT_USER, kKeyRoot);
}

FakeDevice& FakeDevices::Add(const FakeDevice& device) {
    devices_.push_back(device);
    devices_.back().params.cbSize = sizeof(SP_DEVINSTALL_PARAMS_A);
    return devices_.back();
}

std::string FakeDevices::DriverKey(int index) const {
    return std::string(kKeyRoot) + "\\" + std::to_string(index) + "\\Driver";
}

std::string FakeDevices::HardwareKey(int index) const {
    return std::string(kKeyRoot) + "\\" + std::to_string(index) + "\\Device";
}

std::vector<std::string> FakeDevices::Entries(const std::string& start) const {
    std::vector<std::string> found;
    for (const std::string& e : log)
        if (e.compare(0, start.size(), start) == 0) found.push_back(e);
    return found;
}

void FakeDevices::Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    log.push_back(line);
}

FakeDevice* FakeDevices::Find(HDEVINFO set, SP_DEVINFO_DATA* device) {
    std::size_t n = NumberOf(set);
    if (n >= sets_.size() || !device || device->cbSize != sizeof(SP_DEVINFO_DATA) ||
        device->DevInst >= devices_.size())
        return nullptr;
    return &devices_[device->DevInst];
}

HDEVINFO FakeDevices::GetClassDevs(const GUID* classGuid, DWORD flags) {
    Log("classdevs %s flags=%lx", classGuid ? "class" : "all", flags);
    if (failClassDevs) return INVALID_HANDLE_VALUE;
    std::vector<int> members;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        const FakeDevice& d = devices_[i];
        const vnsetup::ClassId* id = vnsetup::FindSetupClass(d.className.c_str());
        bool classOk = (flags & DIGCF_ALLCLASSES) || (classGuid && id && std::memcmp(id, classGuid, sizeof(GUID)) == 0);
        if (classOk && !d.removed && (d.present || !(flags & DIGCF_PRESENT))) members.push_back(static_cast<int>(i));
    }
    sets_.push_back(members);
    ++openSets;
    return HandleOf(sets_.size() - 1);
}

BOOL FakeDevices::DestroyDeviceInfoList(HDEVINFO set) {
    if (NumberOf(set) >= sets_.size()) return Fail(ERROR_INVALID_HANDLE);
    --openSets;
    return TRUE;
}

BOOL FakeDevices::EnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) {
    std::size_t n = NumberOf(set);
    if (n >= sets_.size() || index >= sets_[n].size()) return Fail(ERROR_NO_MORE_ITEMS);
    int member = sets_[n][index];
    const vnsetup::ClassId* id = vnsetup::FindSetupClass(devices_[member].className.c_str());
    if (id) std::memcpy(&device->ClassGuid, id, sizeof(GUID));
    device->DevInst = static_cast<DWORD>(member);
    return TRUE;
}

BOOL FakeDevices::GetDeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device, char* id, DWORD size, DWORD* required) {
    FakeDevice* d = Find(set, device);
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    if (required) *required = static_cast<DWORD>(d->instanceId.size() + 1);
    if (!vn::CopyText(id, size, d->instanceId.c_str())) return Fail(ERROR_INSUFFICIENT_BUFFER);
    return TRUE;
}

BOOL FakeDevices::GetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type,
                                            BYTE* buffer, DWORD size, DWORD* required) {
    FakeDevice* d = Find(set, device);
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    switch (property) {
        case SPDRP_DEVICEDESC: return Answer(Text(d->description), REG_SZ, type, buffer, size, required);
        case SPDRP_MFG:
            if (!d->hasManufacturer) return Fail(ERROR_INVALID_DATA);
            return Answer(Text(d->manufacturer), REG_SZ, type, buffer, size, required);
        case SPDRP_FRIENDLYNAME: return Answer(Text(d->friendlyName), REG_SZ, type, buffer, size, required);
        case SPDRP_HARDWAREID:
            if (d->hardwareIdError) return Fail(d->hardwareIdError);
            if (d->hardwareIdClaimedSize && size < d->hardwareIdClaimedSize) {
                if (required) *required = d->hardwareIdClaimedSize;
                return Fail(ERROR_INSUFFICIENT_BUFFER);
            }
            return Answer(d->hardwareIds, REG_MULTI_SZ, type, buffer, size, required);
        case SPDRP_CONFIGFLAGS:
            if (!d->hasConfigFlags) return Fail(ERROR_INVALID_DATA);
            return Answer(std::string(reinterpret_cast<const char*>(&d->configFlags), sizeof(DWORD)), REG_DWORD, type,
                          buffer, size, required);
        default: return Fail(ERROR_INVALID_DATA);
    }
}

BOOL FakeDevices::SetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                            const BYTE* buffer, DWORD size) {
    FakeDevice* d = Find(set, device);
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    if (!buffer || size == 0) {
        Log("clear %s %s", d->instanceId.c_str(), PropertyName(property));
        return TRUE;
    }
    if (property == SPDRP_CONFIGFLAGS && size == sizeof(DWORD)) {
        std::memcpy(&d->configFlags, buffer, sizeof(DWORD));
        Log("set %s ConfigFlags %lx", d->instanceId.c_str(), d->configFlags);
    } else {
        std::string text(reinterpret_cast<const char*>(buffer), size);
        if (property == SPDRP_FRIENDLYNAME) d->friendlyName = text.c_str();
        Log("set %s %s %s (%lu bytes)", d->instanceId.c_str(), PropertyName(property), text.c_str(), size);
    }
    return TRUE;
}

HKEY FakeDevices::OpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                                REGSAM access) {
    FakeDevice* d = Find(set, device);
    if (!d || (keyType == DIREG_DRV && !d->hasDriverKey)) return nullptr;
    int index = static_cast<int>(device->DevInst);
    std::string path = keyType == DIREG_DRV ? DriverKey(index) : HardwareKey(index);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

BOOL FakeDevices::GetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) {
    FakeDevice* d = Find(set, device);
    if (!d || params->cbSize != sizeof *params) return Fail(ERROR_INVALID_PARAMETER);
    *params = d->params;
    return TRUE;
}

BOOL FakeDevices::SetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) {
    FakeDevice* d = Find(set, device);
    if (!d || params->cbSize != sizeof *params) return Fail(ERROR_INVALID_PARAMETER);
    d->params = *params;
    return TRUE;
}

BOOL FakeDevices::BuildDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) {
    FakeDevice* d = Find(set, device);
    if (!d || driverType != SPDIT_COMPATDRIVER) return Fail(ERROR_INVALID_PARAMETER);
    d->list.clear();
    bool single = (d->params.Flags & DI_ENUMSINGLEINF) != 0;
    for (std::size_t i = 0; i < d->drivers.size(); ++i)
        if (!single || lstrcmpiA(d->drivers[i].inf.c_str(), d->params.DriverPath) == 0)
            d->list.push_back(static_cast<int>(i));
    d->listBuilt = true;
    return TRUE;
}

BOOL FakeDevices::EnumDriverInfo(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType, DWORD index,
                                 vnsetup::DriverInfo* driver) {
    FakeDevice* d = Find(set, device);
    if (!d || driver->cbSize != sizeof *driver) return Fail(ERROR_INVALID_PARAMETER);
    if (!d->listBuilt || index >= d->list.size()) return Fail(ERROR_NO_MORE_ITEMS);
    FillDriver(d->drivers[d->list[index]], index, driver);
    return TRUE;
}

BOOL FakeDevices::DestroyDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) {
    FakeDevice* d = Find(set, device);
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    d->listBuilt = false;
    d->list.clear();
    return TRUE;
}

BOOL FakeDevices::SetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, vnsetup::DriverInfo* driver) {
    FakeDevice* d = Find(set, device);
    if (!d || !d->listBuilt) return Fail(ERROR_INVALID_PARAMETER);
    Log("asked to select %s", d->instanceId.c_str());
    int chosen = -1;
    if (driver->Reserved) {
        if (driver->Reserved <= d->list.size()) chosen = d->list[driver->Reserved - 1];
    } else {
        for (int i : d->list) {
            const FakeDriver& f = d->drivers[i];
            if (driver->DriverType == SPDIT_COMPATDRIVER && lstrcmpiA(f.description.c_str(), driver->Description) == 0 &&
                lstrcmpiA(f.manufacturer.c_str(), driver->MfgName) == 0 &&
                lstrcmpiA(f.provider.c_str(), driver->ProviderName) == 0)
                chosen = i;
        }
    }
    if (chosen < 0) return Fail(ERROR_INVALID_PARAMETER);
    d->selected = chosen;
    Log("select %s %s", d->instanceId.c_str(), d->drivers[chosen].description.c_str());
    return TRUE;
}

BOOL FakeDevices::GetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, vnsetup::DriverInfo* driver) {
    FakeDevice* d = Find(set, device);
    if (!d || d->selected < 0 || driver->cbSize != sizeof *driver) return Fail(ERROR_NO_DRIVER_SELECTED);
    FillDriver(d->drivers[d->selected], 0, driver);
    return TRUE;
}

BOOL FakeDevices::InstallDevice(HDEVINFO set, SP_DEVINFO_DATA* device) {
    FakeDevice* d = Find(set, device);
    if (!d || d->selected < 0) return Fail(ERROR_NO_DRIVER_SELECTED);
    Log("install %s %s flags=%08lx", d->instanceId.c_str(), d->drivers[d->selected].description.c_str(),
        d->params.Flags);
    return d->installFails ? Fail(ERROR_GEN_FAILURE) : TRUE;
}

BOOL FakeDevices::RemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* device) {
    FakeDevice* d = Find(set, device);
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    d->removed = true;
    Log("remove %s", d->instanceId.c_str());
    return TRUE;
}

BOOL FakeDevices::CallClassInstaller(DI_FUNCTION function, HDEVINFO set, SP_DEVINFO_DATA* device) {
    FakeDevice* d = Find(set, device);
    if (!d || function != DIF_REMOVE) return Fail(ERROR_INVALID_PARAMETER);
    d->removed = true;
    Log("classremove %s", d->instanceId.c_str());
    return TRUE;
}

CONFIGRET FakeDevices::LocateDevNode(DEVINST* node, char* deviceId, ULONG flags) {
    Log("locate %s %lu", deviceId ? deviceId : "root", flags);
    *node = 1;
    return CR_SUCCESS;
}

CONFIGRET FakeDevices::ReenumerateDevNode(DEVINST node, ULONG flags) {
    Log("reenumerate %lu %lu", node, flags);
    return reenumerateResult;
}

UINT FakeDevices::WindowsFolder(char* buffer, UINT size) {
    return vn::CopyText(buffer, size, windowsFolder.c_str()) ? static_cast<UINT>(windowsFolder.size()) : 0;
}

UINT FakeDevices::SystemFolder(char* buffer, UINT size) {
    return vn::CopyText(buffer, size, systemFolder.c_str()) ? static_cast<UINT>(systemFolder.size()) : 0;
}

void FakeDevices::Wait(DWORD ms) { Log("wait %lu", ms); }
