// Starting and finding the vnkf_window.exe test program (tests/helpers/vnkf_window.cpp).
#pragma once
#include <windows.h>

#include <string>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/vnutil.h"

namespace kftest {

inline std::string WindowHelperPath() { return vntest::ExeFolder() + "vnkf_window.exe"; }

struct WindowSearch {
    DWORD pid;
    const char* title;
    HWND found;
};

inline BOOL CALLBACK VisitForSearch(HWND w, LPARAM p) {
    auto* c = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != c->pid || !IsWindowVisible(w)) return TRUE;
    char text[64] = {};
    GetWindowTextA(w, text, sizeof text);
    if (c->title && lstrcmpA(text, c->title) != 0) return TRUE;
    c->found = w;
    return FALSE;
}

// The visible top-level window of a process with the given title (any title when null).
inline HWND VisibleWindowOf(DWORD pid, const char* title = nullptr) {
    WindowSearch ctx{pid, title, nullptr};
    EnumWindows(VisitForSearch, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

inline HWND WaitForWindowOf(DWORD pid, const char* title = nullptr, DWORD timeoutMs = 10000) {
    HWND w = nullptr;
    vntest::WaitUntil([&] { return (w = VisibleWindowOf(pid, title)) != nullptr; }, timeoutMs);
    return w;
}

inline DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

// The window of a program found through its path, as the library finds it.
inline HWND WaitForProgramWindow(const std::string& exe) {
    HWND w = nullptr;
    vntest::WaitUntil([&] { return (w = FindWindowByPath(exe.c_str())) != nullptr; }, 10000);
    return w;
}

// Ends a process that a test started (by its id), if it still runs.
inline void EndProcess(DWORD pid) {
    if (!pid) return;
    vn::Handle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!p) return;
    TerminateProcess(p.get(), 0);
    WaitForSingleObject(p.get(), vntest::Scaled(5000));
}

// A copy of the window program started directly, ended with the object.
class WindowProgram {
public:
    explicit WindowProgram(const std::string& args, const std::string& exe = WindowHelperPath()) {
        std::string cmd = "\"" + exe + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            pid_ = pi.dwProcessId;
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    ~WindowProgram() { EndProcess(pid_); }
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;
    DWORD pid() const { return pid_; }

private:
    DWORD pid_ = 0;
};

}  // namespace kftest
