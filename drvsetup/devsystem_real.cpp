// The system's device installation, reached through setupapi.dll and cfgmgr32.dll loaded on
// first use. Without them (Windows 95) every set fails to open and nothing is done.
#include "drvsetup/devsystem.h"

namespace vnsetup {
namespace {

template <typename F>
void Bind(HMODULE module, const char* name, F& fn) {
    fn = module ? reinterpret_cast<F>(GetProcAddress(module, name)) : nullptr;
}

BOOL Missing() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

class RealSystem final : public DeviceSystem {
public:
    RealSystem() {
        // System libraries that stay loaded for the life of the process.
        HMODULE setup = LoadLibraryA("setupapi.dll");
        HMODULE cm = LoadLibraryA("cfgmgr32.dll");
        Bind(setup, "SetupDiGetClassDevsA", getClassDevs_);
        Bind(setup, "SetupDiDestroyDeviceInfoList", destroyList_);
        Bind(setup, "SetupDiEnumDeviceInfo", enumDevice_);
        Bind(setup, "SetupDiGetDeviceInstanceIdA", getInstanceId_);
        Bind(setup, "SetupDiGetDeviceRegistryPropertyA", getProperty_);
        Bind(setup, "SetupDiSetDeviceRegistryPropertyA", setProperty_);
        Bind(setup, "SetupDiOpenDevRegKey", openKey_);
        Bind(setup, "SetupDiGetDeviceInstallParamsA", getParams_);
        Bind(setup, "SetupDiSetDeviceInstallParamsA", setParams_);
        Bind(setup, "SetupDiBuildDriverInfoList", buildDrivers_);
        Bind(setup, "SetupDiEnumDriverInfoA", enumDriver_);
        Bind(setup, "SetupDiDestroyDriverInfoList", destroyDrivers_);
        Bind(setup, "SetupDiSetSelectedDriverA", setSelected_);
        Bind(setup, "SetupDiGetSelectedDriverA", getSelected_);
        Bind(setup, "SetupDiInstallDevice", install_);
        Bind(setup, "SetupDiRemoveDevice", remove_);
        Bind(setup, "SetupDiCallClassInstaller", classInstaller_);
        Bind(cm, "CM_Locate_DevNodeA", locate_);
        Bind(cm, "CM_Reenumerate_DevNode", reenumerate_);
    }

    HDEVINFO GetClassDevs(const GUID* classGuid, DWORD flags) override {
        return getClassDevs_ ? getClassDevs_(classGuid, nullptr, nullptr, flags) : INVALID_HANDLE_VALUE;
    }
    BOOL DestroyDeviceInfoList(HDEVINFO set) override { return destroyList_ ? destroyList_(set) : Missing(); }
    BOOL EnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) override {
        return enumDevice_ ? enumDevice_(set, index, device) : Missing();
    }
    BOOL GetDeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device, char* id, DWORD size,
                             DWORD* required) override {
        return getInstanceId_ ? getInstanceId_(set, device, id, size, required) : Missing();
    }
    BOOL GetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type,
                                   BYTE* buffer, DWORD size, DWORD* required) override {
        return getProperty_ ? getProperty_(set, device, property, type, buffer, size, required) : Missing();
    }
    BOOL SetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                   const BYTE* buffer, DWORD size) override {
        return setProperty_ ? setProperty_(set, device, property, buffer, size) : Missing();
    }
    HKEY OpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                       REGSAM access) override {
        if (!openKey_) return nullptr;
        HKEY key = openKey_(set, device, scope, profile, keyType, access);
        return key == INVALID_HANDLE_VALUE ? nullptr : key;
    }
    BOOL GetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) override {
        return getParams_ ? getParams_(set, device, params) : Missing();
    }
    BOOL SetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) override {
        return setParams_ ? setParams_(set, device, params) : Missing();
    }
    BOOL BuildDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) override {
        return buildDrivers_ ? buildDrivers_(set, device, driverType) : Missing();
    }
    BOOL EnumDriverInfo(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType, DWORD index,
                        DriverInfo* driver) override {
        return enumDriver_ ? enumDriver_(set, device, driverType, index, Legacy(driver)) : Missing();
    }
    BOOL DestroyDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) override {
        return destroyDrivers_ ? destroyDrivers_(set, device, driverType) : Missing();
    }
    BOOL SetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, DriverInfo* driver) override {
        return setSelected_ ? setSelected_(set, device, Legacy(driver)) : Missing();
    }
    BOOL GetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, DriverInfo* driver) override {
        return getSelected_ ? getSelected_(set, device, Legacy(driver)) : Missing();
    }
    BOOL InstallDevice(HDEVINFO set, SP_DEVINFO_DATA* device) override {
        return install_ ? install_(set, device) : Missing();
    }
    BOOL RemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* device) override {
        return remove_ ? remove_(set, device) : Missing();
    }
    BOOL CallClassInstaller(DI_FUNCTION function, HDEVINFO set, SP_DEVINFO_DATA* device) override {
        return classInstaller_ ? classInstaller_(function, set, device) : Missing();
    }
    CONFIGRET LocateDevNode(DEVINST* node, char* deviceId, ULONG flags) override {
        return locate_ ? locate_(node, deviceId, flags) : CR_CALL_NOT_IMPLEMENTED;
    }
    CONFIGRET ReenumerateDevNode(DEVINST node, ULONG flags) override {
        return reenumerate_ ? reenumerate_(node, flags) : CR_CALL_NOT_IMPLEMENTED;
    }
    UINT WindowsFolder(char* buffer, UINT size) override { return GetWindowsDirectoryA(buffer, size); }
    UINT SystemFolder(char* buffer, UINT size) override { return GetSystemDirectoryA(buffer, size); }
    void Wait(DWORD ms) override { ::Sleep(ms); }

private:
    // The headers declare the driver-record functions with the version-1 record at this target
    // version; the functions take either, told apart by cbSize.
    static SP_DRVINFO_DATA_A* Legacy(DriverInfo* driver) { return reinterpret_cast<SP_DRVINFO_DATA_A*>(driver); }

    decltype(&SetupDiGetClassDevsA) getClassDevs_;
    decltype(&SetupDiDestroyDeviceInfoList) destroyList_;
    decltype(&SetupDiEnumDeviceInfo) enumDevice_;
    decltype(&SetupDiGetDeviceInstanceIdA) getInstanceId_;
    decltype(&SetupDiGetDeviceRegistryPropertyA) getProperty_;
    decltype(&SetupDiSetDeviceRegistryPropertyA) setProperty_;
    decltype(&SetupDiOpenDevRegKey) openKey_;
    decltype(&SetupDiGetDeviceInstallParamsA) getParams_;
    decltype(&SetupDiSetDeviceInstallParamsA) setParams_;
    decltype(&SetupDiBuildDriverInfoList) buildDrivers_;
    decltype(&SetupDiEnumDriverInfoA) enumDriver_;
    decltype(&SetupDiDestroyDriverInfoList) destroyDrivers_;
    decltype(&SetupDiSetSelectedDriverA) setSelected_;
    decltype(&SetupDiGetSelectedDriverA) getSelected_;
    decltype(&SetupDiInstallDevice) install_;
    decltype(&SetupDiRemoveDevice) remove_;
    decltype(&SetupDiCallClassInstaller) classInstaller_;
    decltype(&CM_Locate_DevNodeA) locate_;
    decltype(&CM_Reenumerate_DevNode) reenumerate_;
};

DeviceSystem* g_installed = nullptr;

}  // namespace

DeviceSystem& System() {
    if (g_installed) return *g_installed;
    static RealSystem real;
    return real;
}

void SetSystem(DeviceSystem* system) { g_installed = system; }

}  // namespace vnsetup
