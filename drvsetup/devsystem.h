// The narrow door between the driver setup library and the system's device installation
// (SetupAPI and the configuration manager). The library calls only these. The default
// implementation forwards to setupapi.dll and cfgmgr32.dll, loaded at run time because Windows 95
// lacks them; tests put a scripted device tree in its place.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

namespace vnsetup {

// The driver record size the library works with (version 2, with date and version).
using DriverInfo = SP_DRVINFO_DATA_V2_A;
static_assert(sizeof(void*) != 4 || (sizeof(DriverInfo) == 796 && sizeof(SP_DEVINSTALL_PARAMS_A) == 296),
              "the record sizes the system's device installation expects");

class DeviceSystem {
public:
    virtual ~DeviceSystem() = default;

    // Device sets and their records; GetClassDevs answers INVALID_HANDLE_VALUE on failure.
    virtual HDEVINFO GetClassDevs(const GUID* classGuid, DWORD flags) = 0;
    virtual BOOL DestroyDeviceInfoList(HDEVINFO set) = 0;
    virtual BOOL EnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) = 0;
    virtual BOOL GetDeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device, char* id, DWORD size,
                                     DWORD* required) = 0;

    // Device properties (SPDRP_*). A null buffer with size 0 deletes a property.
    virtual BOOL GetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                           DWORD* type, BYTE* buffer, DWORD size, DWORD* required) = 0;
    virtual BOOL SetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                           const BYTE* buffer, DWORD size) = 0;
    // The device's driver key (DIREG_DRV) or hardware key (DIREG_DEV); null on failure.
    virtual HKEY OpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile,
                               DWORD keyType, REGSAM access) = 0;

    // Installation.
    virtual BOOL GetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device,
                                        SP_DEVINSTALL_PARAMS_A* params) = 0;
    virtual BOOL SetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device,
                                        SP_DEVINSTALL_PARAMS_A* params) = 0;
    virtual BOOL BuildDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) = 0;
    virtual BOOL EnumDriverInfo(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType, DWORD index,
                                DriverInfo* driver) = 0;
    virtual BOOL DestroyDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) = 0;
    virtual BOOL SetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, DriverInfo* driver) = 0;
    virtual BOOL GetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, DriverInfo* driver) = 0;
    virtual BOOL InstallDevice(HDEVINFO set, SP_DEVINFO_DATA* device) = 0;
    virtual BOOL RemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* device) = 0;
    virtual BOOL CallClassInstaller(DI_FUNCTION function, HDEVINFO set, SP_DEVINFO_DATA* device) = 0;

    // Configuration manager.
    virtual CONFIGRET LocateDevNode(DEVINST* node, char* deviceId, ULONG flags) = 0;
    virtual CONFIGRET ReenumerateDevNode(DEVINST node, ULONG flags) = 0;

    // The folders the INF clean-up works in (no trailing backslash), and waiting.
    virtual UINT WindowsFolder(char* buffer, UINT size) = 0;
    virtual UINT SystemFolder(char* buffer, UINT size) = 0;
    virtual void Wait(DWORD ms) = 0;
};

// The implementation in use: the system's unless a test installed another (nullptr restores it).
DeviceSystem& System();
void SetSystem(DeviceSystem* system);

}  // namespace vnsetup
