// Stands in for the driver setup library beside the uninstaller under test: appends one line per
// call to "vnsetup.log" in the current folder and answers as one matching device would.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

void Log(const char* format, ...) {
    FILE* f = std::fopen("vnsetup.log", "ab");
    if (!f) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fclose(f);
}

const char* Text(const char* s) { return s ? s : "(null)"; }

}  // namespace

extern "C" {

int __stdcall RestoreDeviceDriver(const char* cls, const char* description, const char* maker, const char* provider,
                                  int callConfigManager) {
    Log("RestoreDeviceDriver %s|%s|%s|%s|%d\n", Text(cls), Text(description), Text(maker), Text(provider), callConfigManager);
    return 1;
}

int __stdcall RemoveDeviceDriver(const char* cls, const char* description, const char* maker) {
    Log("RemoveDeviceDriver %s|%s|%s\n", Text(cls), Text(description), Text(maker));
    // A description starting with "absent" matches no device.
    return description && std::strncmp(description, "absent", 6) == 0 ? 0 : 1;
}

void __stdcall ReenumerateDevice() { Log("ReenumerateDevice\n"); }

}  // extern "C"
