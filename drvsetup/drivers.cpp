// Installing, restoring, removing and listing the drivers of devices found by description.
#include <cstring>
#include <initializer_list>

#include "common/handles.h"
#include "common/text.h"
#include "drvsetup/devices.h"
#include "drvsetup/idrules.h"
#include "drvsetup/infclean.h"
#include "drvsetup/vnsetup.h"

namespace vnsetup {
namespace {

// The driver record callers name: description, maker and provider (the maker when none).
struct DriverName {
    const char* description;
    const char* manufacturer;
    const char* provider;

    DriverName(const char* d, const char* m, const char* p)
        : description(d), manufacturer(m ? m : ""), provider((p && *p) ? p : manufacturer) {}

    bool Names(const DriverInfo& driver) const {
        return lstrcmpiA(driver.Description, description) == 0 && lstrcmpiA(driver.MfgName, manufacturer) == 0 &&
               lstrcmpiA(driver.ProviderName, provider) == 0;
    }
    // A record for selecting the driver by name.
    DriverInfo Record() const {
        DriverInfo driver{};
        driver.cbSize = sizeof driver;
        driver.DriverType = SPDIT_COMPATDRIVER;
        vn::CopyText(driver.Description, LINE_LEN, description);
        vn::CopyText(driver.MfgName, LINE_LEN, manufacturer);
        vn::CopyText(driver.ProviderName, LINE_LEN, provider);
        return driver;
    }
};

bool UpdateInstallFlags(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD add, DWORD remove) {
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (!System().GetDeviceInstallParams(set, device, &params)) return false;
    params.Flags = (params.Flags & ~remove) | add;
    return System().SetDeviceInstallParams(set, device, &params) != FALSE;
}

DWORD ConfigManagerFlag(int callConfigManager) { return callConfigManager ? 0 : DI_DONOTCALLCONFIGMG; }

// Searches only the given INF for the device's drivers.
bool UseSingleInf(HDEVINFO set, SP_DEVINFO_DATA* device, const char* infPath) {
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (!System().GetDeviceInstallParams(set, device, &params)) return false;
    params.Flags |= DI_ENUMSINGLEINF;
    if (!vn::CopyText(params.DriverPath, sizeof params.DriverPath, infPath)) return false;
    return System().SetDeviceInstallParams(set, device, &params) != FALSE;
}

// Installers write "LowerFilters" as one name followed by a comma; the system wants a list.
void RepairLowerFilters(HDEVINFO set, SP_DEVINFO_DATA* device) {
    vn::RegKey key(System().OpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_ALL_ACCESS));
    if (!key) return;
    char data[vn::kMaxText + 1] = {};  // room for the second terminator after a full value
    DWORD length = vn::kMaxText;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "LowerFilters", nullptr, &type, reinterpret_cast<BYTE*>(data), &length) !=
        ERROR_SUCCESS)
        return;
    std::size_t repaired = RepairCommaFilter(data, length, sizeof data);
    if (repaired)
        RegSetValueExA(key.get(), "LowerFilters", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>(repaired));
}

// True when the device's compatible-driver list holds the driver of that name.
bool Lists(HDEVINFO set, SP_DEVINFO_DATA* device, const DriverName& name) {
    DriverInfo driver{};
    driver.cbSize = sizeof driver;
    for (DWORD i = 0; System().EnumDriverInfo(set, device, SPDIT_COMPATDRIVER, i, &driver); ++i)
        if (name.Names(driver)) return true;
    return false;
}

bool InstallOn(HDEVINFO set, SP_DEVINFO_DATA* device, const char* infPath, const DriverName& name, bool noFileCopy,
               int callConfigManager) {
    DeviceSystem& sys = System();
    if (!UseSingleInf(set, device, infPath)) return false;
    if (!sys.BuildDriverInfoList(set, device, SPDIT_COMPATDRIVER)) return false;
    // Selecting by name fails for a device that the INF does not serve. Such a device is known
    // from its list already, and the selection is not asked for it: some setup libraries without
    // real devices behind them (Wine's) end the program on that call instead of failing it.
    if (!Lists(set, device, name)) return false;
    DriverInfo driver = name.Record();
    if (!sys.SetSelectedDriver(set, device, &driver)) return false;
    DriverInfo selected{};
    selected.cbSize = sizeof selected;
    if (!sys.GetSelectedDriver(set, device, &selected)) return false;
    DWORD add = ConfigManagerFlag(callConfigManager) | (noFileCopy ? DI_NOFILECOPY : 0);
    if (!UpdateInstallFlags(set, device, add, DI_DONOTCALLCONFIGMG)) return false;
    if (!sys.InstallDevice(set, device)) return false;

    char text[vn::kMaxText];
    if (ReadTextProperty(set, device, SPDRP_DEVICEDESC, text))
        sys.SetDeviceRegistryProperty(set, device, SPDRP_FRIENDLYNAME, reinterpret_cast<const BYTE*>(text),
                                      static_cast<DWORD>(std::strlen(text) + 1));
    RepairLowerFilters(set, device);
    return true;
}

// Takes away what the product's driver added before another driver goes on.
void ClearFiltersAndName(HDEVINFO set, SP_DEVINFO_DATA* device) {
    DeviceSystem& sys = System();
    for (DWORD property : {SPDRP_LOWERFILTERS, SPDRP_FRIENDLYNAME, SPDRP_UPPERFILTERS})
        sys.SetDeviceRegistryProperty(set, device, property, nullptr, 0);
    vn::RegKey key(sys.OpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_ALL_ACCESS));
    if (!key) return;
    for (const char* value : {"LowerFilters", "UpperFilters", "FriendlyName"}) RegDeleteValueA(key.get(), value);
}

bool RestoreOn(HDEVINFO set, SP_DEVINFO_DATA* device, const DriverName& own, int callConfigManager) {
    DeviceSystem& sys = System();
    CleanUpDeviceInf(set, device);
    if (!sys.BuildDriverInfoList(set, device, SPDIT_COMPATDRIVER)) return false;
    bool restored = false;
    DriverInfo driver{};
    driver.cbSize = sizeof driver;
    for (DWORD i = 0; !restored && sys.EnumDriverInfo(set, device, SPDIT_COMPATDRIVER, i, &driver); ++i) {
        if (own.Names(driver)) continue;
        ClearFiltersAndName(set, device);
        if (!sys.SetSelectedDriver(set, device, &driver)) continue;
        DWORD add = ConfigManagerFlag(callConfigManager) | DI_NOFILECOPY | DI_QUIETINSTALL;
        if (!UpdateInstallFlags(set, device, add, DI_DONOTCALLCONFIGMG)) continue;
        restored = sys.InstallDevice(set, device) != FALSE;
    }
    sys.DestroyDriverInfoList(set, device, SPDIT_COMPATDRIVER);
    return restored;
}

// The driver-list cursor of EnumDeviceDriver: one device of a set whose compatible drivers are
// listed. Lives from an enumeration's first call to its end (or the next first call).
struct Cursor {
    HDEVINFO set = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA device{};
};
Cursor g_cursor;

void ReleaseCursor() {
    if (g_cursor.set == INVALID_HANDLE_VALUE) return;
    System().DestroyDriverInfoList(g_cursor.set, &g_cursor.device, SPDIT_COMPATDRIVER);
    System().DestroyDeviceInfoList(g_cursor.set);
    g_cursor = Cursor();
}

bool OpenCursor(const char* className, const char* instancePrefix) {
    DeviceSet set(className, 0);
    if (!set) return false;
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i) {
        char id[256] = {};
        if (!System().GetDeviceInstanceId(set.get(), &device, id, sizeof id, nullptr)) continue;
        id[sizeof id - 1] = '\0';
        if (!InstanceIdHasPrefix(id, instancePrefix)) continue;
        if (!System().BuildDriverInfoList(set.get(), &device, SPDIT_COMPATDRIVER)) continue;
        g_cursor.device = device;
        g_cursor.set = set.release();
        return true;
    }
    return false;
}

// Copies a driver record field (at most LINE_LEN characters) to a caller's 256-character buffer.
void CopyField(char* out, char (&field)[LINE_LEN]) {
    field[LINE_LEN - 1] = '\0';
    vn::CopyText(out, LINE_LEN, field);
}

}  // namespace
}  // namespace vnsetup

using namespace vnsetup;

int VNSETUPAPI InstallPnPDeviceDriver(const char* className, const char* infPath, const char* description,
                                      const char* manufacturer, const char* provider, int copyFiles,
                                      int callConfigManager) {
    if (!RequiredName(description) || !OptionalName(manufacturer) || !OptionalName(provider) || !infPath ||
        !*infPath || std::strlen(infPath) >= MAX_PATH)
        return 0;
    DeviceSet set(className, 0);
    if (!set) return 0;
    const DriverName name(description, manufacturer, provider);
    int installed = 0;
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i) {
        // The driver's files are copied with the first device only.
        bool noFileCopy = !copyFiles || installed > 0;
        if (InstallOn(set.get(), &device, infPath, name, noFileCopy, callConfigManager)) ++installed;
    }
    return installed;
}

int VNSETUPAPI GetConnectedDeviceNumber(const char* className, const char* description, const char* manufacturer) {
    if (!RequiredName(description) || !OptionalName(manufacturer)) return 0;
    DeviceSet set(className, DIGCF_PRESENT);
    if (!set) return 0;
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i)
        if (MatchesDescription(set.get(), &device, description, manufacturer)) return 1;
    return 0;
}

int VNSETUPAPI RemoveDeviceDriver(const char* className, const char* description, const char* manufacturer) {
    if (!RequiredName(description) || !OptionalName(manufacturer)) return 0;
    DeviceSet set(className, 0);
    if (!set) return 0;
    int removed = 0;
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i) {
        if (!MatchesDescription(set.get(), &device, description, manufacturer)) continue;
        CleanUpDeviceInf(set.get(), &device);
        if (System().RemoveDevice(set.get(), &device)) ++removed;
    }
    return removed;
}

int VNSETUPAPI RestoreDeviceDriver(const char* className, const char* description, const char* manufacturer,
                                   const char* provider, int callConfigManager) {
    if (!RequiredName(description) || !OptionalName(manufacturer) || !OptionalName(provider)) return 0;
    DeviceSet set(className, 0);
    if (!set) return 0;
    const DriverName own(description, manufacturer, provider);
    int restored = 0;
    SP_DEVINFO_DATA device;
    for (DWORD i = 0; set.Device(i, &device); ++i)
        if (MatchesDescription(set.get(), &device, description, manufacturer) &&
            RestoreOn(set.get(), &device, own, callConfigManager))
            ++restored;
    return restored;
}

int VNSETUPAPI EnumDeviceDriver(const char* className, const char* instancePrefix, int index, char* description,
                                char* manufacturer, char* provider) {
    if (index == 0) ReleaseCursor();
    if (index < 0 || !instancePrefix || !*instancePrefix || !description || !manufacturer || !provider) return 0;
    if (g_cursor.set == INVALID_HANDLE_VALUE && !OpenCursor(className, instancePrefix)) return 0;
    DriverInfo driver{};
    driver.cbSize = sizeof driver;
    if (!System().EnumDriverInfo(g_cursor.set, &g_cursor.device, SPDIT_COMPATDRIVER, static_cast<DWORD>(index),
                                 &driver)) {
        ReleaseCursor();
        return 0;
    }
    CopyField(description, driver.Description);
    CopyField(manufacturer, driver.MfgName);
    CopyField(provider, driver.ProviderName);
    return 1;
}
