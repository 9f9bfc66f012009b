// TKCfg.exe: the configuration wizard of the keyboard software.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "common/handles.h"
#include "keyfunc/vnutil.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vn::Handle mutex(CreateMutexA(nullptr, FALSE, "TKCfgClass"));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    // The program's identity to others: a hidden frame window of its own class, never shown.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.lpszClassName = "TKCfgClass";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, "TKCfgClass", "", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);

    char user[261] = {};
    DWORD size = sizeof user - 1;
    if (!GetUserNameA(user, &size)) user[0] = '\0';
    Reg_InitProfile(tkcfg::kProfileRoot, user);

    InitCommonControls();
    CoInitialize(nullptr);
    {
        tkcfg::CPSheet sheet(instance);
        sheet.Run();
    }
    CoUninitialize();
    if (frame) DestroyWindow(frame);
    return 0;
}
