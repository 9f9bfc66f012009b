/* Keyboard device library VnUsbKbd.dll: the keyboard's Consumer Control and vendor collections,
   read on one thread per device and reported to a window as key events. The service binds the
   exports by ordinal (see VnUsbKbd.def). */
#pragma once
#include <windows.h>

/* Posted to the recipient window: wParam 1 down / 0 up, lParam usage page * 65536 + usage. */
#define MSG_KEY_EVENT 0x0402
/* Posted to the recipient window: wParam 0, lParam a device-notification handle that the window
   hands back to VnHidUnregisterHandleHandler once it has finished the WM_DEVICECHANGE at hand. */
#define MSG_RELEASE_NOTIFY_HANDLE 0x0401

/* OS types of VnHidGetOSType. */
#define VNHID_OS_UNKNOWN 0
#define VNHID_OS_WIN95 1
#define VNHID_OS_WIN98 2
#define VNHID_OS_WINME 3
#define VNHID_OS_NT4 4
#define VNHID_OS_WIN2000 5
#define VNHID_OS_WINXP 6
#define VNHID_OS_WIN2003 7

/* One keyboard model the caller serves. The library copies the name; the maker text must stay
   valid while the library is open. */
typedef struct VnHidDeviceEntry {
    USHORT vendorId;
    USHORT productId;
    const char* name;
    const char* maker;
} VnHidDeviceEntry;

#ifdef __cplusplus
extern "C" {
#endif

LONG WINAPI VnHidInit(HWND recipient, const VnHidDeviceEntry* table, LONG entries);   /* @1 */
LONG WINAPI VnHidClose(void);                                                         /* @2 */
void WINAPI VnHidDeviceChangeHandler(WPARAM eventType, LPARAM eventData);             /* @3 */
BOOL WINAPI VnHidUnregisterHandleHandler(WPARAM unused, LPARAM notification);        /* @4 */
LONG WINAPI VnHidGetNumberDevices(void);                                              /* @5 */
LONG WINAPI VnHidGetOSType(void);                                                     /* @6 */
LONG WINAPI VnHidSetLED(USHORT ledUsage, LONG on);                                    /* @7 */

#ifdef __cplusplus
}
#endif
