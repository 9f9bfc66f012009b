// Window utilities: act on the foreground window, bring a program's windows to the front, find a
// program's main window from its file path, and name the program behind a window.
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/toolhelp.h"
#include "keyfunc/verinfo.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

// Declared by the headers only for Windows 98 / 2000 and later.
constexpr UINT kSpiGetForegroundLockTimeout = 0x2000;
constexpr UINT kSpiSetForegroundLockTimeout = 0x2001;

bool IsToolWindow(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; }

bool CanMinimise(HWND w) {
    LONG style = GetWindowLongA(w, GWL_STYLE);
    return (style & WS_MINIMIZEBOX) && !(style & WS_DISABLED);
}

DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

// The system refuses the foreground to a process that does not own it: Windows 98 through its
// lock time-out, Windows 2000 unless the input queues are attached.
void BringToForeground(HWND w) {
    if (IsWin98()) {
        DWORD timeout = 0;
        SystemParametersInfoA(kSpiGetForegroundLockTimeout, 0, &timeout, 0);
        SystemParametersInfoA(kSpiSetForegroundLockTimeout, 0, nullptr, 0);
        SetForegroundWindow(w);
        SystemParametersInfoA(kSpiSetForegroundLockTimeout, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)),
                              0);
    } else if (IsWin2000()) {
        DWORD windowThread = GetWindowThreadProcessId(w, nullptr);
        HWND front = GetForegroundWindow();
        DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
        DWORD ownThread = GetCurrentThreadId();
        bool toFront = frontThread && frontThread != windowThread;
        bool toOwn = ownThread != windowThread;
        if (toFront) AttachThreadInput(windowThread, frontThread, TRUE);
        if (toOwn) AttachThreadInput(windowThread, ownThread, TRUE);
        SetForegroundWindow(w);
        if (toFront) AttachThreadInput(windowThread, frontThread, FALSE);
        if (toOwn) AttachThreadInput(windowThread, ownThread, FALSE);
        // Detaching can hand the activation back to the other queue: ask once more.
        if (GetForegroundWindow() != w) SetForegroundWindow(w);
    } else {
        SetForegroundWindow(w);
    }
}

struct ProcessWindows {
    DWORD pid;
    bool minimise;
    bool found = false;
};

BOOL CALLBACK VisitProcessWindow(HWND w, LPARAM param) {
    auto* ctx = reinterpret_cast<ProcessWindows*>(param);
    if (ProcessOf(w) != ctx->pid || !IsWindowVisible(w)) return TRUE;
    HWND parent = GetParent(w);
    if (parent && IsWindowVisible(parent)) return TRUE;
    ctx->found = true;
    if (ctx->minimise) {
        if (CanMinimise(w)) ShowWindow(w, SW_MINIMIZE);
    } else {
        ActivateWindow(w);
    }
    return TRUE;
}

BOOL CALLBACK CountDescendant(HWND, LPARAM param) {
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

struct PathSearch {
    const char* path;
    HWND best = nullptr;
    int bestCount = -1;
};

BOOL CALLBACK VisitTopWindow(HWND w, LPARAM param) {
    auto* ctx = reinterpret_cast<PathSearch*>(param);
    if (GetParent(w) || !IsWindowVisible(w)) return TRUE;
    char name[kMaxText];
    if (!GetWndFileName(w, name, sizeof name)) return TRUE;
    char shortName[kMaxText] = {};
    DWORD n = GetShortPathNameA(name, shortName, sizeof shortName);
    bool match = lstrcmpiA(ctx->path, name) == 0 || (n > 0 && n < sizeof shortName && lstrcmpiA(ctx->path, shortName) == 0);
    if (!match) return TRUE;
    // EnumChildWindows visits every level below the window.
    int count = 0;
    EnumChildWindows(w, CountDescendant, reinterpret_cast<LPARAM>(&count));
    if (count > ctx->bestCount) {
        ctx->best = w;
        ctx->bestCount = count;
    }
    return TRUE;
}

bool ProgramFileNt(DWORD pid, char* name, DWORD size) {
    Module psapi(LoadLibraryA("PSAPI.DLL"));
    if (!psapi) return false;
    using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, char*, DWORD);
    auto enumModules = reinterpret_cast<EnumModulesFn>(GetProcAddress(psapi.get(), "EnumProcessModules"));
    auto moduleName = reinterpret_cast<ModuleNameFn>(GetProcAddress(psapi.get(), "GetModuleFileNameExA"));
    if (!enumModules || !moduleName) return false;
    Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return false;
    HMODULE first = nullptr;
    DWORD needed = 0;
    // The first module of a process is its program file.
    if (!enumModules(process.get(), &first, sizeof first, &needed) || !first) return false;
    DWORD n = moduleName(process.get(), first, name, size);
    return n > 0 && n < size;
}

bool ProgramFile9x(DWORD pid, char* name, DWORD size) {
    std::vector<ProcessEntry> processes;
    if (!SnapshotProcesses(&processes)) return false;
    for (const ProcessEntry& p : processes)
        if (p.id == pid) return CopyText(name, size, p.exeFile);
    return false;
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI CloseCurrentWindow() {
    if (HWND front = GetForegroundWindow()) PostMessageA(front, WM_CLOSE, 0, 0);
    return 1;
}

int VNAPI SwitchNextWindow() {
    HWND front = GetForegroundWindow();
    if (!front) return 1;
    HWND w = front;
    // The walk is bounded: windows may come and go while it runs.
    for (int steps = 0; steps < 10000; ++steps) {
        w = GetWindow(w, GW_HWNDNEXT);
        if (!w) w = GetWindow(GetDesktopWindow(), GW_CHILD);
        if (!w || w == front) break;
        if (IsWindowVisible(w) && !IsToolWindow(w)) break;
    }
    if (w && w != front && IsWindow(w)) {
        SetWindowPos(front, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ActivateWindow(w);
    }
    return 1;
}

LRESULT VNAPI ActivateScreenSaver() { return SendMessageA(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0); }

HWND VNAPI GetForegroundTopWindow() {
    HWND w = GetForegroundWindow();
    while (w) {
        HWND parent = GetParent(w);
        if (!parent || !IsWindowVisible(parent)) break;
        w = parent;
    }
    return w;
}

int VNAPI ActivateWindow(HWND window) {
    if (!window || !IsWindow(window)) return 0;
    HWND popup = GetLastActivePopup(window);
    if (popup && popup != window && IsWindowVisible(popup)) window = popup;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    BringToForeground(window);
    return 1;
}

int VNAPI ActivateWindowByProcessId(DWORD processId, int toggle) {
    bool wasInFront = false;
    HWND front = GetForegroundTopWindow();
    if (toggle == 1 && front && ProcessOf(front) == processId && !IsIconic(front) && CanMinimise(front)) {
        ShowWindow(front, SW_MINIMIZE);
        wasInFront = true;
    }
    ProcessWindows ctx{processId, toggle == 1 && wasInFront};
    EnumWindows(VisitProcessWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found ? 1 : 0;
}

HWND VNAPI FindWindowByPath(const char* programPath) {
    if (!programPath || !*programPath) return nullptr;
    PathSearch ctx{programPath};
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.best;
}

int VNAPI GetWndFileName(HWND window, char* buffer, int bufferSize) {
    if (!window || !IsWindow(window) || !buffer || bufferSize <= 0) return 0;
    DWORD pid = ProcessOf(window);
    char name[kMaxText] = {};
    bool ok = IsNT() ? ProgramFileNt(pid, name, sizeof name) : ProgramFile9x(pid, name, sizeof name);
    return ok && CopyText(buffer, static_cast<size_t>(bufferSize), name) ? 1 : 0;
}

int VNAPI GetFileDescription(const char* path, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return 0;
    VersionInfo info;
    std::string text;
    if (!info.Load(path) || !info.Text("FileDescription", &text)) return 0;
    return CopyText(buffer, static_cast<size_t>(bufferSize), text.c_str()) ? 1 : 0;
}

}  // extern "C"
