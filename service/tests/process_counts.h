// What another process holds: open handles, GDI and USER objects, top-level windows. Wine
// answers GetProcessHandleCount with 0 and does not implement GetGuiResources, so the handle
// count falls back to the system's handle table and a zero GUI count means "not reported".
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

namespace vnd::test {

// Entries of the system handle table whose owner is the process (0 when it cannot be read).
inline DWORD HandleTableCount(DWORD pid) {
    struct Entry {
        ULONG owner;
        BYTE type, flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
    if (!query) return 0;
    constexpr ULONG kHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<unsigned char> buffer(1 << 16);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(void*));
    DWORD n = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].owner == pid) ++n;
    return n;
}

// The process's open handles as the system reports them, else from the handle table.
inline DWORD HandleCount(HANDLE process, DWORD pid) {
    using Count = BOOL(WINAPI*)(HANDLE, DWORD*);
    DWORD n = 0;
    if (auto count = reinterpret_cast<Count>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")))
        if (count(process, &n) && n) return n;
    return HandleTableCount(pid);
}

inline BOOL CALLBACK CountOwnWindow(HWND window, LPARAM param) {
    auto* counter = reinterpret_cast<std::pair<DWORD, int>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == counter->first) ++counter->second;
    return TRUE;
}

// Top-level windows of the process, shown or hidden.
inline int WindowCount(DWORD pid) {
    std::pair<DWORD, int> counter{pid, 0};
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&counter));
    return counter.second;
}

struct Holdings {
    DWORD handles = 0;
    DWORD gdi = 0;   // 0: not reported
    DWORD user = 0;  // 0: not reported
    int windows = 0;
};

inline Holdings HoldingsOf(HANDLE process, DWORD pid) {
    Holdings h;
    h.handles = HandleCount(process, pid);
    h.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    h.user = GetGuiResources(process, GR_USEROBJECTS);
    h.windows = WindowCount(pid);
    return h;
}

}  // namespace vnd::test
