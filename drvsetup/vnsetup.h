// Exports of VNSetup.dll, the driver setup library. Every function is __stdcall with an
// undecorated name (VNSetup.def). Callers load the library by name and look the exports up.
// A null or empty class name means devices of all classes.
#pragma once
#include <windows.h>

#define VNSETUPAPI __stdcall

#ifdef __cplusplus
extern "C" {
#endif

// Installs the named driver from one INF on every device of the class that the INF serves;
// files are copied at most once per call. Returns the number of devices installed.
int VNSETUPAPI InstallPnPDeviceDriver(const char* className, const char* infPath, const char* description,
                                      const char* manufacturer, const char* provider, int copyFiles,
                                      int callConfigManager);
// 1 when a present device has this description (and manufacturer, when one is given), else 0.
int VNSETUPAPI GetConnectedDeviceNumber(const char* className, const char* description,
                                        const char* manufacturer);
// Removes every device with this description, deleting the OEM INF that installed it.
int VNSETUPAPI RemoveDeviceDriver(const char* className, const char* description, const char* manufacturer);
// Puts another compatible driver than the named one on every device with this description.
int VNSETUPAPI RestoreDeviceDriver(const char* className, const char* description, const char* manufacturer,
                                   const char* provider, int callConfigManager);
// Compatible driver number `index` of the first device whose instance ID starts with the prefix.
// Call with 0, 1, 2, ... until 0 comes back. The out buffers hold at least 256 characters.
int VNSETUPAPI EnumDeviceDriver(const char* className, const char* instancePrefix, int index, char* description,
                                char* manufacturer, char* provider);
// 1 when a device with this hardware ID exists and is usable, else 0.
int VNSETUPAPI FindExistingDevice(const char* className, const char* hardwareId);
// Removes every device with this hardware ID and detects devices afresh; returns the removals.
int VNSETUPAPI RemoveAndReenumerateDevice(const char* className, const char* hardwareId);
// Clears the not-installed mark of present devices with this hardware ID. Nonzero when the scan
// ran, -1 when the system gave no device set, 0 for an unusable ID.
int VNSETUPAPI RemoveQuestionSign(const char* className, const char* hardwareId);
// Detects devices afresh and waits five seconds for them to install.
void VNSETUPAPI ReenumerateDevice(void);
// Detects devices afresh; returns the configuration manager's result.
DWORD VNSETUPAPI ReenumerateDeviceWithoutDelay(void);

#ifdef __cplusplus
}
#endif
