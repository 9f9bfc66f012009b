// Windows version tests, file tests and version numbers, the thread's resource language and the
// last-error message box.
#include <cstring>
#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/sysrules.h"
#include "keyfunc/verinfo.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

// Asked afresh each time: a program's reported version can be changed while it runs.
WinVersion CurrentVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return WinVersion::Other;
    return ClassifyVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

// The NT family only: on Windows 9x the thread's locale cannot be set, which counts as a failed
// setting.
BOOL SetLocaleOfThread(LCID locale) {
    using SetThreadLocaleFn = BOOL(WINAPI*)(LCID);
    static const auto set = reinterpret_cast<SetThreadLocaleFn>(
        GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetThreadLocale"));
    return set ? set(locale) : FALSE;
}

bool IsNtFamily() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI IsWin95() { return CurrentVersion() == WinVersion::Win95 ? 1 : 0; }
int VNAPI IsWin98() { return CurrentVersion() == WinVersion::Win98 ? 1 : 0; }
int VNAPI IsWinME() { return CurrentVersion() == WinVersion::WinMe ? 1 : 0; }
int VNAPI IsNT() { return IsNtFamily() ? 1 : 0; }
int VNAPI IsWin2000() { return CurrentVersion() == WinVersion::Win2000 ? 1 : 0; }
int VNAPI IsWinXP() { return CurrentVersion() == WinVersion::WinXP ? 1 : 0; }
int VNAPI IsWin2003() { return CurrentVersion() == WinVersion::Win2003 ? 1 : 0; }

int VNAPI FileExisted(const char* path) {
    if (!path || !*path) return 0;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(path, &found));
    return find ? 1 : 0;
}

int VNAPI GetFileVersionFromNumber(const char* path, DWORD* high, DWORD* low) {
    VersionInfo info;
    if (!info.Load(path)) return 0;
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    if (!fixed) return 0;
    if (high) *high = fixed->dwFileVersionMS;
    if (low) *low = fixed->dwFileVersionLS;
    return 1;
}

int VNAPI GetFileVersionFromString(const char* path, DWORD* high, DWORD* low) {
    VersionInfo info;
    std::string text;
    if (!info.Load(path) || !info.Text("FileVersion", &text)) return 0;
    std::uint32_t h = 0, l = 0;
    if (!ParseVersionText(text.c_str(), &h, &l)) return 0;
    if (high) *high = h;
    if (low) *low = l;
    return 1;
}

int VNAPI SetThreadResourceLocale() {
    LCID current = GetThreadLocale();
    if (IsSupportedLocale(current)) return static_cast<int>(current);
    LCID wanted = ReplacementLocale(current);
    BOOL ok = SetLocaleOfThread(wanted);
    if (!ok && wanted != 1033) ok = SetLocaleOfThread(1033);
    return ok ? 1 : 0;
}

void VNAPI ShowErrorMessage(const char* caption) {
    DWORD error = GetLastError();
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&text), 0, nullptr);
    if (n == 0 || !text) return;
    MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
    LocalFree(text);
}

}  // extern "C"
