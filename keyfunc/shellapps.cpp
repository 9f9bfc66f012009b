// The launch functions behind the catalogue's predefined keys: home page, calculator, help,
// system information, My Documents, Word and Excel.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/regtext.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

const char kIeMain[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The calculator started last time; forgotten when it can no longer be activated.
DWORD g_calculatorProcess = 0;

// A key shows the program when it is minimised and minimises it otherwise.
void ToggleShown(HWND w) { ShowWindow(w, IsIconic(w) ? SW_SHOWNORMAL : SW_MINIMIZE); }

struct ClassSearch {
    const char* className;
    DWORD exceptProcess;
    HWND found;
};

BOOL CALLBACK VisitForClass(HWND w, LPARAM param) {
    auto* ctx = reinterpret_cast<ClassSearch*>(param);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (lstrcmpA(cls, ctx->className) != 0 || pid == ctx->exceptProcess) return TRUE;
    ctx->found = w;
    return FALSE;
}

HWND SystemInfoWindow() {
    HWND w = FindWindowA("PCHShell Window", nullptr);
    return w ? w : FindWindowA("MMCMainFrame", nullptr);
}

std::string WindowsFolder() {
    char path[kMaxText] = {};
    UINT n = GetWindowsDirectoryA(path, sizeof path);
    return n > 0 && n < sizeof path ? path : "";
}

int LaunchOffice(const char* exe) {
    std::string folder;
    if (!ReadRegText(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + exe).c_str(), "Path", &folder)) return 0;
    return LaunchProgram(exe, nullptr, folder.c_str(), nullptr);
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI GetWebHomePage(char* buffer, int bufferSize) {
    if (!buffer) return 0;
    std::string page;
    if (!ReadRegText(HKEY_CURRENT_USER, kIeMain, "Start Page", &page) &&
        !ReadRegText(HKEY_LOCAL_MACHINE, kIeMain, "Start Page", &page))
        return 0;
    return CopyOut(page, buffer, bufferSize);
}

int VNAPI OpenWWWHomePage() {
    char page[kMaxText] = {};
    // Without a home page there is nothing the shell could open.
    if (!GetWebHomePage(page, sizeof page) || !page[0]) return 0;
    return LaunchProgram(page, nullptr, nullptr, nullptr);
}

int VNAPI LaunchCalculator() {
    if (HWND calc = FindWindowA("SciCalc", nullptr)) {
        ToggleShown(calc);
        return 1;
    }
    if (g_calculatorProcess) {
        if (ActivateWindowByProcessId(g_calculatorProcess, 1)) return 1;
        g_calculatorProcess = 0;
    }
    if (LaunchProgram("calc.exe", nullptr, nullptr, &g_calculatorProcess) && g_calculatorProcess) {
        // A calculator that another program had hidden away would now be a second copy.
        ClassSearch other{"SciCalc", g_calculatorProcess, nullptr};
        EnumWindows(VisitForClass, reinterpret_cast<LPARAM>(&other));
        if (other.found) PostMessageA(other.found, WM_CLOSE, 0, 0);
    }
    return 1;
}

int VNAPI LaunchSystemHelp() {
    std::string file;
    if (IsWinME()) {
        if (!ReadRegText(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "HELPCTR.EXE").c_str(), nullptr, &file) ||
            file.empty())
            file = WindowsFolder() + "\\PCHEALTH\\HELPCTR\\BINARIES\\HELPCTR.EXE";
    } else if (IsWin95() || IsWin98() || IsWin2000()) {
        file = WindowsFolder() + "\\Help\\Windows.chm";
    } else {
        char system[kMaxText] = {};
        UINT n = GetSystemDirectoryA(system, sizeof system);
        if (n == 0 || n >= sizeof system) return 0;
        file = std::string(system) + "\\Windows.hlp";
    }
    if (file.size() >= kMaxText || !FileExisted(file.c_str())) return 0;
    return LaunchProgram(file.c_str(), nullptr, nullptr, nullptr);
}

int VNAPI LaunchSystemInfo() {
    if (HWND info = SystemInfoWindow()) {
        ToggleShown(info);
        return 1;
    }
    char command[512] = {};
    DWORD type = 0, size = sizeof command - 1;
    {
        RegKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Shared Tools\\MSInfo", 0, KEY_READ, key.out()) !=
                ERROR_SUCCESS ||
            RegQueryValueExA(key.get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(command), &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ) || !command[0])
            return 1;
    }
    // The program may take a while to show its window; it is started again at most twice.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string line = command;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) break;
        Handle process(pi.hProcess), thread(pi.hThread);
        for (int waited = 0; waited < 3000 && !SystemInfoWindow(); waited += 100) Sleep(100);
        if (SystemInfoWindow()) break;
    }
    return 1;
}

int VNAPI LaunchMyDocuments() {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items)) || !items) return 0;
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    sei.lpIDList = items;
    sei.nShow = SW_SHOWDEFAULT;
    BOOL ok = ShellExecuteExA(&sei);
    CoTaskMemFree(items);
    return ok ? 1 : 0;
}

int VNAPI LaunchWord() { return LaunchOffice("Winword.exe"); }
int VNAPI LaunchExcel() { return LaunchOffice("Excel.exe"); }

}  // extern "C"
