// The keyboard device library as the service binds it: by ordinal only (1 to 7; the import
// library is made in CMakeLists.txt).
#pragma once
#include <windows.h>

extern "C" {
struct VnHidDeviceEntry {
    USHORT vendorId;
    USHORT productId;
    const char* name;
    const char* maker;
};
LONG WINAPI VnHidInit(HWND recipient, const VnHidDeviceEntry* table, LONG entries);
LONG WINAPI VnHidClose(void);
void WINAPI VnHidDeviceChangeHandler(WPARAM eventType, LPARAM eventData);
BOOL WINAPI VnHidUnregisterHandleHandler(WPARAM unused, LPARAM notification);
LONG WINAPI VnHidGetNumberDevices(void);
LONG WINAPI VnHidGetOSType(void);
LONG WINAPI VnHidSetLED(USHORT ledUsage, LONG on);
}
