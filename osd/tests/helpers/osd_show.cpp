// Shows one display and keeps it up for a while, so that a screenshot can be taken of it:
//   osd_show text|long|volume|mute [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "keyfunc/vnutil.h"
#include "osd/vnosd.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char kind[32] = {};
    int ms = 4000;
    const char* p = commandLine;
    int n = 0;
    while (*p == ' ') ++p;
    while (*p && *p != ' ' && n < 31) kind[n++] = *p++;
    if (*p) ms = std::atoi(p);

    Reg_InitProfile("Software\\OSTRL_KBD\\Productivity", "screenshots");
    OSD_Init();
    OSD_KeepShowing(1);
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40};
    const UINT format = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;
    if (std::strcmp(kind, "volume") == 0)
        OSD_ShowVolume(40000, 24);
    else if (std::strcmp(kind, "mute") == 0)
        OSD_ShowMuteIcon(1);
    else if (std::strcmp(kind, "long") == 0)
        OSD_ShowString("Launch Internet Explorer with all of my favourite pages and the mail program", &rect, format);
    else
        OSD_ShowString("Calculator", &rect, format);

    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    OSD_Destroy();
    return 0;
}
