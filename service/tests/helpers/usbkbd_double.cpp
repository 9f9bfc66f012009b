// A stand-in VnUsbKbd.dll that tests place beside the service: the test plugs keyboards in and out
// through HKCU\Software\VnTest\UsbKbd ("Devices", "OSType", "InitResult"), and every call the
// service makes is appended to usbkbd.log beside this library.
#include <windows.h>

#include <cstdio>

namespace {

constexpr char kControl[] = "Software\\VnTest\\UsbKbd";
HMODULE g_self = nullptr;

DWORD Control(const char* name, DWORD fallback) {
    HKEY key = nullptr;
    DWORD value = fallback, size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kControl, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
            value = fallback;
        RegCloseKey(key);
    }
    return value;
}

void Record(const char* line) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, "usbkbd.log");
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line, lstrlenA(line), &written, nullptr);
    WriteFile(f, "\n", 1, &written, nullptr);
    CloseHandle(f);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

LONG WINAPI VnHidInit(HWND recipient, const void*, LONG entries) {
    char line[64];
    std::snprintf(line, sizeof line, "init %ld", entries);
    Record(line);
    return static_cast<LONG>(Control("InitResult", 1));
}
LONG WINAPI VnHidClose(void) {
    Record("close");
    return 1;
}
void WINAPI VnHidDeviceChangeHandler(WPARAM eventType, LPARAM) {
    char line[64];
    std::snprintf(line, sizeof line, "change %lu", static_cast<unsigned long>(eventType));
    Record(line);
}
BOOL WINAPI VnHidUnregisterHandleHandler(WPARAM, LPARAM notification) {
    char line[64];
    std::snprintf(line, sizeof line, "unregister %ld", static_cast<long>(notification));
    Record(line);
    return TRUE;
}
LONG WINAPI VnHidGetNumberDevices(void) { return static_cast<LONG>(Control("Devices", 0)); }
LONG WINAPI VnHidGetOSType(void) { return static_cast<LONG>(Control("OSType", 6)); }
LONG WINAPI VnHidSetLED(USHORT usage, LONG on) {
    char line[64];
    std::snprintf(line, sizeof line, "led %x %ld", usage, on);
    Record(line);
    return 1;
}

}  // extern "C"
