#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "setup/util/installer_util.h"

namespace instutil {

SystemKind DetectSystem() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return SystemKind{};
    char versionNumber[vn::kMaxText] = {};
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        vn::RegKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ,
                          key.out()) == ERROR_SUCCESS) {
            DWORD type = 0, size = sizeof versionNumber - 1;
            if (RegQueryValueExA(key.get(), "VersionNumber", nullptr, &type, reinterpret_cast<BYTE*>(versionNumber),
                                 &size) != ERROR_SUCCESS || type != REG_SZ)
                versionNumber[0] = '\0';
        }
    }
    return Classify(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, versionNumber);
}

bool FileExists(const char* path) {
    if (!path || !*path) return false;
    WIN32_FIND_DATAA data;
    vn::FindHandle find(FindFirstFileA(path, &data));
    return static_cast<bool>(find);
}

void AdjustThreadLanguage() {
    // Looked up at run time: only the NT family sets a thread locale.
    using SetLocaleFn = BOOL(WINAPI*)(LCID);
    auto setLocale = reinterpret_cast<SetLocaleFn>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetThreadLocale"));
    if (!setLocale) return;
    LCID wanted = PickUiLanguage(GetThreadLocale());
    if (wanted != GetThreadLocale() && !setLocale(wanted)) setLocale(1033);
}

bool ReadUserLocale(const SystemKind& system, char* out, std::size_t size) {
    const char* path = system.nt ? "Control Panel\\International" : "Control Panel\\Desktop\\ResourceLocale";
    const char* name = system.nt ? "Locale" : nullptr;
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    char value[vn::kMaxText] = {};
    DWORD type = 0, bytes = sizeof value - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    return vn::CopyText(out, size, value);
}

void BringToFront(HWND window, const SystemKind& system, bool attachOnNt) {
    if (!window || !IsWindow(window)) return;
    HWND popup = GetLastActivePopup(window);
    if (popup && popup != window && IsWindowVisible(popup)) window = popup;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    if (system.win9x && system.win98OrLater) {
        DWORD timeout = 0;
        SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
        SetForegroundWindow(window);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)), 0);
    } else if (system.nt && attachOnNt) {
        DWORD self = GetCurrentThreadId();
        DWORD target = GetWindowThreadProcessId(window, nullptr);
        HWND foreground = GetForegroundWindow();
        DWORD front = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
        bool toFront = front && front != target;
        bool toSelf = self != target;
        if (toFront) AttachThreadInput(front, target, TRUE);
        if (toSelf) AttachThreadInput(self, target, TRUE);
        SetForegroundWindow(window);
        if (toSelf) AttachThreadInput(self, target, FALSE);
        if (toFront) AttachThreadInput(front, target, FALSE);
    } else {
        SetForegroundWindow(window);
    }
}

bool ScheduleBootRename(const char* target, const char* source, const SystemKind& system) {
    if (!source || !*source) return false;
    if (system.nt) {
        // Looked up at run time: the 9x family does not carry it out.
        using MoveFn = BOOL(WINAPI*)(const char*, const char*, DWORD);
        auto move = reinterpret_cast<MoveFn>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "MoveFileExA"));
        return move && move(source, target, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    }
    char path[vn::kMaxText];
    UINT n = GetWindowsDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path) return false;
    if (!vn::AppendText(path, sizeof path, path[n - 1] == '\\' ? "wininit.ini" : "\\wininit.ini")) return false;
    return AddRenameLine(path, target, source);
}

bool AddRenameLine(const char* wininitPath, const char* target, const char* source) {
    char line[2 * vn::kMaxText + 8];
    int n = std::snprintf(line, sizeof line, "%s=%s\r\n", target ? target : "NUL", source);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof line) return false;

    vn::FileHandle file(CreateFileA(wininitPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD high = 0;
    DWORD oldSize = GetFileSize(file.get(), &high);
    if (oldSize == INVALID_FILE_SIZE || high != 0 || oldSize > 16u * 1024 * 1024) return false;
    // Room for the line, a new section header and a line break ending the old text.
    DWORD mapSize = oldSize + static_cast<DWORD>(n) + 12;
    vn::Handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, mapSize, nullptr));
    if (!mapping) return false;
    char* view = static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, mapSize));
    if (!view) return false;
    std::string text = InsertRenameLine(std::string(view, oldSize), line);
    bool fits = text.size() <= mapSize;
    if (fits) std::memcpy(view, text.data(), text.size());
    UnmapViewOfFile(view);
    mapping.reset();
    if (!fits) return false;
    SetFilePointer(file.get(), static_cast<LONG>(text.size()), nullptr, FILE_BEGIN);
    return SetEndOfFile(file.get()) != 0;
}

std::string UpperText(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string LoadText(HINSTANCE instance, UINT id) {
    char text[1024] = {};
    LoadStringA(instance, id, text, sizeof text);
    return text;
}

std::string FillIn(std::string text, const std::string& value) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
    return text;
}

void EnableShutdownPrivilege() {
    HMODULE advapi = GetModuleHandleA("ADVAPI32.DLL");
    if (!advapi) return;
    using OpenTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE*);
    using LookupFn = BOOL(WINAPI*)(const char*, const char*, LUID*);
    using AdjustFn = BOOL(WINAPI*)(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*, DWORD*);
    auto openToken = reinterpret_cast<OpenTokenFn>(GetProcAddress(advapi, "OpenProcessToken"));
    auto lookup = reinterpret_cast<LookupFn>(GetProcAddress(advapi, "LookupPrivilegeValueA"));
    auto adjust = reinterpret_cast<AdjustFn>(GetProcAddress(advapi, "AdjustTokenPrivileges"));
    HANDLE token = nullptr;
    if (!openToken || !lookup || !adjust ||
        !openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    vn::Handle owned(token);
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (lookup(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) adjust(token, FALSE, &tp, 0, nullptr, nullptr);
}

}  // namespace instutil
