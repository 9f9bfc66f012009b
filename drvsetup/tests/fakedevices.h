// A scripted device tree in place of the system's device installation: devices with classes,
// instance IDs, hardware IDs, properties, compatible drivers and real registry keys (below
// HKCU\Software\VnDrvSetupTest), and a log of every install, removal, selection and write.
#pragma once
#include <string>
#include <deque>
#include <vector>

#include "drvsetup/devsystem.h"

struct FakeDriver {
    std::string description, manufacturer, provider, inf;
};

struct FakeDevice {
    std::string className = "Keyboard";
    bool present = true;
    std::string instanceId;
    std::string hardwareIds;        // the property's bytes as stored (a multi-string or one string)
    DWORD hardwareIdError = 0;      // nonzero: reading the hardware IDs fails with this error
    DWORD hardwareIdClaimedSize = 0;  // nonzero: the size the size query reports instead
    std::string description, manufacturer = "Kalvo";
    bool hasManufacturer = true;
    bool hasConfigFlags = true;
    DWORD configFlags = 0;
    bool hasDriverKey = true;
    std::vector<FakeDriver> drivers;
    bool installFails = false;

    // State the library changes.
    SP_DEVINSTALL_PARAMS_A params{};
    bool listBuilt = false;
    std::vector<int> list;  // indices into drivers while a list is built
    int selected = -1;
    std::string friendlyName;
    bool removed = false;
};

class FakeDevices final : public vnsetup::DeviceSystem {
public:
    FakeDevices();
    ~FakeDevices() override;

    FakeDevice& Add(const FakeDevice& device);
    FakeDevice& Device(int index) { return devices_[index]; }
    // The registry path below HKCU of a device's driver key or hardware key.
    std::string DriverKey(int index) const;
    std::string HardwareKey(int index) const;
    // Log entries that start with the given text.
    std::vector<std::string> Entries(const std::string& start) const;

    std::vector<std::string> log;
    int openSets = 0;
    bool failClassDevs = false;
    CONFIGRET reenumerateResult = CR_SUCCESS;
    std::string windowsFolder = "C:\\nowhere", systemFolder = "C:\\nowhere\\system32";

    HDEVINFO GetClassDevs(const GUID* classGuid, DWORD flags) override;
    BOOL DestroyDeviceInfoList(HDEVINFO set) override;
    BOOL EnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* device) override;
    BOOL GetDeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device, char* id, DWORD size, DWORD* required) override;
    BOOL GetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type, BYTE* buffer,
                                   DWORD size, DWORD* required) override;
    BOOL SetDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, const BYTE* buffer,
                                   DWORD size) override;
    HKEY OpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                       REGSAM access) override;
    BOOL GetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) override;
    BOOL SetDeviceInstallParams(HDEVINFO set, SP_DEVINFO_DATA* device, SP_DEVINSTALL_PARAMS_A* params) override;
    BOOL BuildDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) override;
    BOOL EnumDriverInfo(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType, DWORD index,
                        vnsetup::DriverInfo* driver) override;
    BOOL DestroyDriverInfoList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD driverType) override;
    BOOL SetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, vnsetup::DriverInfo* driver) override;
    BOOL GetSelectedDriver(HDEVINFO set, SP_DEVINFO_DATA* device, vnsetup::DriverInfo* driver) override;
    BOOL InstallDevice(HDEVINFO set, SP_DEVINFO_DATA* device) override;
    BOOL RemoveDevice(HDEVINFO set, SP_DEVINFO_DATA* device) override;
    BOOL CallClassInstaller(DI_FUNCTION function, HDEVINFO set, SP_DEVINFO_DATA* device) override;
    CONFIGRET LocateDevNode(DEVINST* node, char* deviceId, ULONG flags) override;
    CONFIGRET ReenumerateDevNode(DEVINST node, ULONG flags) override;
    UINT WindowsFolder(char* buffer, UINT size) override;
    UINT SystemFolder(char* buffer, UINT size) override;
    void Wait(DWORD ms) override;

private:
    FakeDevice* Find(HDEVINFO set, SP_DEVINFO_DATA* device);
    void Log(const char* format, ...);

    std::deque<FakeDevice> devices_;  // references stay valid as devices are added
    std::vector<std::vector<int>> sets_;  // members of each set handed out (by handle number)
};
