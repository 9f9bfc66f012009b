// The Control Panel entry for the keyboard: one applet whose double click starts the
// configuration wizard from the system folder.
#include <windows.h>
#include <cpl.h>

#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "cpl/resource.h"

namespace {

LONG g_initCount;
char g_systemFolder[vn::kMaxText];
char g_wizardCommand[vn::kMaxText];
HINSTANCE g_module;

void Initialize() {
    ++g_initCount;
    g_systemFolder[0] = g_wizardCommand[0] = '\0';
    UINT n = GetSystemDirectoryA(g_systemFolder, sizeof g_systemFolder);
    if (n == 0 || n >= sizeof g_systemFolder) {
        g_systemFolder[0] = '\0';
        return;
    }
    // A command line that does not fit stays empty, and the entry starts nothing.
    if (vn::CopyText(g_wizardCommand, sizeof g_wizardCommand, g_systemFolder) &&
        !vn::AppendText(g_wizardCommand, sizeof g_wizardCommand, "\\TKcfg.exe"))
        g_wizardCommand[0] = '\0';
}

void StartWizard() {
    if (!g_wizardCommand[0]) return;
    char command[vn::kMaxText];  // CreateProcessA may write into its command line
    std::memcpy(command, g_wizardCommand, sizeof command);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const DWORD flags = DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP | CREATE_SEPARATE_WOW_VDM | CREATE_DEFAULT_ERROR_MODE;
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, flags, nullptr, g_systemFolder, &startup, &process)) {
        vn::Handle owned(process.hProcess), thread(process.hThread);  // not kept
    }
}

void Describe(NEWCPLINFOA* info) {
    std::memset(info, 0, sizeof *info);
    info->dwSize = sizeof *info;
    info->hIcon = LoadIconA(g_module, MAKEINTRESOURCEA(IDI_APPLET));
    // The system gives each text a fixed field; LoadStringA cuts a longer text to fit.
    LoadStringA(g_module, IDS_APPLET_NAME, info->szName, sizeof info->szName);
    LoadStringA(g_module, IDS_APPLET_INFO, info->szInfo, sizeof info->szInfo);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" LONG APIENTRY CPlApplet(HWND window, UINT message, LPARAM param1, LPARAM param2) {
    switch (message) {
        case CPL_INIT:
            Initialize();
            return 1;
        case CPL_GETCOUNT:
            return 1;
        case CPL_INQUIRE:
            // All zero: the entry is described dynamically, through CPL_NEWINQUIRE.
            if (param2) std::memset(reinterpret_cast<CPLINFO*>(param2), 0, sizeof(CPLINFO));
            return 0;
        case CPL_NEWINQUIRE:
            if (param2) Describe(reinterpret_cast<NEWCPLINFOA*>(param2));
            return 0;
        case CPL_DBLCLK:
            StartWizard();
            return 0;
        case CPL_EXIT:
            --g_initCount;
            return 0;
        default:  // CPL_STOP and anything else
            return 0;
    }
}
