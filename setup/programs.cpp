#include "setup/programs.h"

#include <windows.h>

#include "common/handles.h"

namespace setup {

namespace {

// Ends a process from inside, so that it runs its own exit code path.
void EndProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    vn::Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    DWORD code = 0;
    if (!process || !GetExitCodeProcess(process.get(), &code) || code != STILL_ACTIVE) return;
    using RemoteThreadFn = HANDLE(WINAPI*)(HANDLE, SECURITY_ATTRIBUTES*, SIZE_T, LPTHREAD_START_ROUTINE, void*, DWORD,
                                           DWORD*);
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    auto remote = reinterpret_cast<RemoteThreadFn>(GetProcAddress(kernel, "CreateRemoteThread"));
    auto exitProcess = reinterpret_cast<LPTHREAD_START_ROUTINE>(GetProcAddress(kernel, "ExitProcess"));
    if (!remote || !exitProcess) return;
    vn::Handle thread(remote(process.get(), nullptr, 0, exitProcess, nullptr, 0, nullptr));
    if (thread) WaitForSingleObject(process.get(), INFINITE);
}

}  // namespace

void KillPrograms(const SetupRun& run, const FileProfile& profile, const setupscript::Folders& folders) {
    for (const std::string& label : profile.Keys("Kill Programs")) {
        std::vector<std::string> f = profile.Fields("Kill Programs", label, folders);
        f.resize(2);
        HWND window = FindWindowA(f[1].empty() ? nullptr : f[1].c_str(), f[0].empty() ? nullptr : f[0].c_str());
        if (!window) continue;
        if (run.system.nt) {
            EndProcess(window);
        } else {
            SendMessageA(window, WM_CLOSE, 0, 0);
            Sleep(1000);
        }
    }
}

void RunPrograms(const FileProfile& profile, const setupscript::Folders& folders) {
    const std::vector<std::string> programs = profile.Keys("Run Programs");
    if (programs.empty()) return;
    // The shell is loaded only for this, which few runs need: loading it costs every run's start.
    // It stays loaded, since it may finish a start on threads of its own.
    HMODULE shell = LoadLibraryA("shell32.dll");
    using ExecuteFn = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    auto execute = shell ? reinterpret_cast<ExecuteFn>(GetProcAddress(shell, "ShellExecuteA")) : nullptr;
    if (!execute) return;
    for (const std::string& program : programs) {
        std::vector<std::string> f = profile.Fields("Run Programs", program, folders);
        f.resize(2);
        std::string file = f[0] + "\\" + program;
        std::string parameters = "\"" + f[1] + "\"";
        execute(nullptr, nullptr, file.c_str(), parameters.c_str(), f[0].c_str(), SW_SHOWNORMAL);
    }
}

}  // namespace setup
