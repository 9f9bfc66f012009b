#include "service/host_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "common/handles.h"

namespace vnd {
namespace {

HostWin32* g_host = nullptr;  // thread timers carry no window: their ticks find the host here
constexpr char kHotkeyKey[] = "Software\\OSTRL_KBD\\Productivity\\HOTKEY01";

HWND H(Window w) { return static_cast<HWND>(w); }

}  // namespace

HostWin32::HostWin32() { g_host = this; }

HostWin32::~HostWin32() {
    for (UINT_PTR& id : ids_)
        if (id) KillTimer(nullptr, id), id = 0;
    if (g_host == this) g_host = nullptr;
}

Window HostWin32::FindTopWindow(const char* className, const char* title) { return FindWindowA(className, title); }

void HostWin32::Post(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    PostMessageA(H(window), message, wParam, lParam);
}

void HostWin32::Send(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    SendMessageA(H(window), message, wParam, lParam);
}

bool HostWin32::IsMinimized(Window window) { return IsIconic(H(window)) != FALSE; }

void HostWin32::ShowWindow(Window window, int command) { ::ShowWindow(H(window), command); }

bool HostWin32::StartTimer(Timer timer, unsigned ms) {
    UINT_PTR& id = ids_[static_cast<int>(timer)];
    if (id) return true;
    id = SetTimer(nullptr, 0, ms, TimerProc);
    return id != 0;
}

void HostWin32::StopTimer(Timer timer) {
    UINT_PTR& id = ids_[static_cast<int>(timer)];
    if (!id) return;
    KillTimer(nullptr, id);
    id = 0;
}

void CALLBACK HostWin32::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_host) return;
    for (int i = 0; i < 3; ++i)
        if (g_host->ids_[i] == id && g_host->onTick) g_host->onTick(static_cast<Timer>(i));
}

void HostWin32::Beep() { MessageBeep(0); }

void HostWin32::ScreenSize(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

void HostWin32::OpenItemList(const std::vector<unsigned char>& itemList) {
    IMalloc* shellMalloc = nullptr;
    if (FAILED(SHGetMalloc(&shellMalloc)) || !shellMalloc) return;
    if (void* bytes = shellMalloc->Alloc(itemList.size())) {
        std::memset(bytes, 0, itemList.size());
        std::memcpy(bytes, itemList.data(), itemList.size());
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_INVOKEIDLIST;
        info.nShow = SW_SHOWDEFAULT;
        info.lpIDList = bytes;
        ShellExecuteExA(&info);
        shellMalloc->Free(bytes);
    }
    shellMalloc->Release();
}

bool HostWin32::ReadHotkeyCommand(std::string* path) {
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHotkeyKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    char buffer[262] = {};
    DWORD type = 0, size = 261;
    if (RegQueryValueExA(key.get(), "ActionCommand", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buffer[size < 261 ? size : 261] = '\0';  // the stored text need not end in a zero
    *path = buffer;
    return true;
}

bool HostWin32::FileExists(const char* path) {
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool HostWin32::StartProcess(const char* path) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace vnd
