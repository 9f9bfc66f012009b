// LaunchProgram: hands a command to the shell and finds the process it started, so that the next
// press of the same key can bring that program forward instead of starting another copy.
#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/cmdparse.h"
#include "keyfunc/toolhelp.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

HWND g_ownTopWindow = nullptr;

bool IsOwnTopWindow(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid == GetCurrentProcessId() && GetParent(w) == nullptr;
}

// The first top-level window of this process in z-order, cached while it stays ours.
HWND OwnTopWindow() {
    if (g_ownTopWindow && IsWindow(g_ownTopWindow) && IsOwnTopWindow(g_ownTopWindow)) return g_ownTopWindow;
    g_ownTopWindow = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsOwnTopWindow(w)) {
            g_ownTopWindow = w;
            break;
        }
    }
    return g_ownTopWindow;
}

// The first process of the second snapshot that this process started after the first one.
DWORD NewChildProcess(const std::vector<ProcessEntry>& before, const std::vector<ProcessEntry>& after) {
    DWORD self = GetCurrentProcessId();
    for (const ProcessEntry& p : after) {
        if (p.parentId != self) continue;
        bool seen = false;
        for (const ProcessEntry& q : before)
            if (q.id == p.id && q.parentId == p.parentId) seen = true;
        if (!seen) return p.id;
    }
    return 0;
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI LaunchProgram(const char* command, const char* parameters, const char* folder, DWORD* processId) {
    if (!command || !*command) return 0;
    // Paths are 260-character texts; the shell is never handed a longer one.
    if (TextLength(command) >= kMaxText || TextLength(folder) >= kMaxText) return 0;
    std::vector<ProcessEntry> before;
    bool tracking = processId && SnapshotProcesses(&before);

    // Windows 2000 hands the foreground only from the process that owns it: take it first, so
    // that the started program can come to the front.
    if (IsWin2000())
        if (HWND own = OwnTopWindow()) ActivateWindow(own);

    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.lpFile = command;
    sei.lpParameters = parameters;
    sei.lpDirectory = folder;
    sei.nShow = SW_SHOWNORMAL;
    int result = ShellExecuteExA(&sei) ? 1 : 0;

    std::vector<ProcessEntry> after;
    if (tracking && SnapshotProcesses(&after)) {
        if (DWORD started = NewChildProcess(before, after)) {
            *processId = started;
            // A program that shows no window within about a second is not tracked.
            bool shown = false;
            for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
                shown = ActivateWindowByProcessId(started, 0) != 0;
                if (!shown) Sleep(100);
            }
            if (!shown) *processId = 0;
        }
    }
    return result;
}

int VNAPI ParseShellCommand(const char* commandLine, char* program, char* arguments) {
    std::string p, a;
    bool ok = SplitShellCommand(commandLine, &p, &a);
    // Both results come from a line of at most 259 characters, so both fit 260-character buffers.
    if (program) CopyText(program, kMaxText, p.c_str());
    if (arguments) CopyText(arguments, kMaxText, a.c_str());
    return ok ? 1 : 0;
}

int VNAPI LockComputer() {
    if (!IsNT()) return 0;
    // Windows 2000 and later only.
    using LockFn = BOOL(WINAPI*)();
    auto lock = reinterpret_cast<LockFn>(GetProcAddress(GetModuleHandleA("USER32.DLL"), "LockWorkStation"));
    return lock && lock() ? 1 : 0;
}

}  // extern "C"
