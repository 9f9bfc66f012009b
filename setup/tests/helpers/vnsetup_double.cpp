// Stands in for the driver setup library beside setup.exe, and as newdev.dll for the system's
// driver updater: appends every call to vnsetup.log in its folder and answers from vnsetup.ini
// there as the devices of a test would.
#include <windows.h>

#include <string>

#include "drvsetup/vnsetup.h"

namespace {

std::string Beside(const char* name) {
    char path[MAX_PATH] = {};
    HMODULE self = nullptr;
    MEMORY_BASIC_INFORMATION mbi{};
    VirtualQuery(reinterpret_cast<void*>(&Beside), &mbi, sizeof mbi);
    self = static_cast<HMODULE>(mbi.AllocationBase);
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    return std::string(path, n) + name;
}

void Log(const std::string& line) {
    HANDLE f = CreateFileA(Beside("vnsetup.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                           nullptr);
    DWORD written = 0;
    std::string text = line + "\n";
    WriteFile(f, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

int Answer(const char* name) { return GetPrivateProfileIntA("Answers", name, 0, Beside("vnsetup.ini").c_str()); }

std::string S(const char* text) { return text ? text : "<null>"; }

int g_finds = 0;

}  // namespace

extern "C" {

int VNSETUPAPI InstallPnPDeviceDriver(const char* cls, const char* inf, const char* description,
                                      const char* manufacturer, const char* provider, int copyFiles, int callConfig) {
    Log("Install|" + S(cls) + "|" + S(inf) + "|" + S(description) + "|" + S(manufacturer) + "|" + S(provider) + "|" +
        std::to_string(copyFiles) + "|" + std::to_string(callConfig));
    return Answer("Connected");
}

int VNSETUPAPI GetConnectedDeviceNumber(const char* cls, const char* description, const char* manufacturer) {
    Log("Connected|" + S(cls) + "|" + S(description) + "|" + S(manufacturer));
    return Answer("Connected");
}

int VNSETUPAPI FindExistingDevice(const char* cls, const char* hardwareId) {
    Log("Find|" + S(cls) + "|" + S(hardwareId));
    return ++g_finds >= Answer("FoundAfter") ? 1 : 0;
}

int VNSETUPAPI RemoveAndReenumerateDevice(const char* cls, const char* hardwareId) {
    Log("Redetect|" + S(cls) + "|" + S(hardwareId));
    g_finds = 0;
    return Answer("Removed");
}

BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND, const char* hardwareId, const char* inf, DWORD flags, BOOL*) {
    Log("Update|" + S(hardwareId) + "|" + S(inf) + "|" + std::to_string(flags));
    return Answer("Updated");
}

}  // extern "C"
