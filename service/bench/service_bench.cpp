// Prints the time from a posted key event to the on-screen display being shown (for a label and
// for the volume), and the service's private memory and handle count before and after 10,000
// key events, and the processor time it uses while idle. Runs the real VnDaemon.exe with the
// stand-in keyboard library beside it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "service/tests/process_counts.h"

namespace {

std::string Folder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    return std::string(path, n);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

void SetMachine(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

bool OsdVisible() {
    HWND w = FindWindowA("VN_OSD_WNDCLASS", nullptr);
    return w && IsWindowVisible(w);
}

// Milliseconds from the key going down to the display being visible (-1 when it never showed).
double TimeToShow(HWND service, LPARAM usage) {
    while (OsdVisible()) Pump(20);
    double start = Now();
    PostMessageA(service, 0x0402, 1, usage);
    while (!OsdVisible()) {
        if (Now() - start > 3000) return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    double took = Now() - start;
    PostMessageA(service, 0x0402, 0, usage);
    return took;
}

struct Usage {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    DWORD handles = 0;
};

Usage Measure(HANDLE process, DWORD pid) {
    Usage u;
    struct Counters {
        DWORD cb, PageFaultCount;
        SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
            QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage, PrivateUsage;
    } c{};
    c.cb = sizeof c;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using MemInfo = BOOL(WINAPI*)(HANDLE, void*, DWORD);
    if (auto f = reinterpret_cast<MemInfo>(GetProcAddress(kernel, "K32GetProcessMemoryInfo")))
        if (f(process, &c, sizeof c)) {
            u.privateBytes = c.PrivateUsage;
            u.workingSet = c.WorkingSetSize;
        }
    u.handles = vnd::test::HandleCount(process, pid);
    return u;
}

// Processor time the process has used so far, in milliseconds.
double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

constexpr DWORD kIdleMs = 5000;

// Processor time the process uses while this program sleeps kIdleMs (pumping messages here
// meanwhile would give the service work of its own making).
double IdleCpu(HANDLE process) {
    double before = CpuMs(process);
    Sleep(kIdleMs);
    return CpuMs(process) - before;
}

}  // namespace

int main() {
    std::string bin = Folder() + "..\\bin\\";
    if (GetFileAttributesA((bin + "VnDaemon.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("VnDaemon.exe is not built\n");
        return 1;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "vnd_bench\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* f : {"VnDaemon.exe", "VNUtil.dll", "VNOSD.dll", "vnhooks.dll"})
        CopyFileA((bin + f).c_str(), (dir + f).c_str(), FALSE);
    CopyFileA((Folder() + "..\\tests\\usbkbd_double\\VnUsbKbd.dll").c_str(), (dir + "VnUsbKbd.dll").c_str(), FALSE);

    // A label shown by a window-message record aimed at this program's own window.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VnBenchTarget";
    RegisterClassA(&wc);
    CreateWindowExA(0, "VnBenchTarget", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    const char* root = "Software\\OSTRL_KBD\\Productivity\\Buttons";
    const char* aux1 = "Software\\OSTRL_KBD\\Productivity\\Buttons\\Aux1";
    DWORD one = 1, five = 5, null = 0;
    SetMachine(root, "FindWindow", REG_DWORD, &one, 4);
    SetMachine(root, "ClassName", REG_SZ, "VnBenchTarget", 14);
    SetMachine(aux1, "ActionType", REG_DWORD, &five, 4);
    SetMachine(aux1, "ActionCommand", REG_DWORD, &null, 4);
    SetMachine(aux1, "DisplayName", REG_SZ, "Tessaro", 8);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + dir + "VnDaemon.exe\"";
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return 1;
    HWND service = nullptr;
    for (int i = 0; i < 500 && !(service = FindWindowA("VNDaemon", "VNDaemon")); ++i) Pump(20);
    if (!service) return 1;
    Pump(500);
    // Idle, the service waits for messages only: no polling timer of its own may wake it.
    const double idleAtStart = IdleCpu(pi.hProcess);

    for (int round = 0; round < 2; ++round) {
        const char* what = round == 0 ? "label" : "volume";
        LPARAM usage = round == 0 ? 0x00090002 : 0x000C00E9;
        double best = 1e9, sum = 0;
        int n = 0;
        for (int i = 0; i < 5; ++i) {
            double t = TimeToShow(service, usage);
            if (t < 0) continue;
            best = t < best ? t : best;
            sum += t;
            ++n;
        }
        if (n) std::printf("key event to display shown, %s: best %.2f ms, mean %.2f ms (%d runs)\n", what, best, sum / n, n);
        else std::printf("key event to display shown, %s: never shown\n", what);
    }

    Usage before = Measure(pi.hProcess, pi.dwProcessId);
    for (int i = 0; i < 10000; ++i) {
        LPARAM usage = (i % 2 == 0) ? 0x000C00E9 : 0x00090002;
        PostMessageA(service, 0x0402, (i / 2) % 2 == 0, usage);
        if (i % 100 == 99) {
            DWORD_PTR r;
            SendMessageTimeoutA(service, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            Pump(1);
        }
    }
    // Release both keys: a held volume key keeps its repeat timer running.
    PostMessageA(service, 0x0402, 0, 0x000C00E9);
    PostMessageA(service, 0x0402, 0, 0x00090002);
    DWORD_PTR r;
    SendMessageTimeoutA(service, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
    Pump(1500);
    Usage after = Measure(pi.hProcess, pi.dwProcessId);
    if (before.privateBytes || after.privateBytes)
        std::printf("service private memory: %lu KB before, %lu KB after 10000 key events\n",
                    static_cast<unsigned long>(before.privateBytes / 1024),
                    static_cast<unsigned long>(after.privateBytes / 1024));
    else  // some systems report only the working set of another process
        std::printf("service working set: %lu KB before, %lu KB after 10000 key events\n",
                    static_cast<unsigned long>(before.workingSet / 1024),
                    static_cast<unsigned long>(after.workingSet / 1024));
    if (before.handles || after.handles)
        std::printf("service handles: %lu before, %lu after 10000 key events\n", before.handles, after.handles);
    else
        std::printf("service handles: this system does not report another process's handles\n");

    std::printf("service processor time while idle for %lu ms: %.1f ms after start-up, %.1f ms after the key events\n",
                kIdleMs, idleAtStart, IdleCpu(pi.hProcess));

    PostMessageA(service, WM_COMMAND, 57665, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return 0;
}
