// Wine in Xvfb shows tray icons as child windows of its standalone tray window: count them.
#pragma once
#include <windows.h>

namespace vnd::test {

inline BOOL CALLBACK CountTrayIcon(HWND child, LPARAM counter) {
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpA(cls, "__winex11_tray_icon") == 0 && IsWindowVisible(child)) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

inline int TrayIconCount() {
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray) return 0;
    int count = 0;
    EnumChildWindows(tray, CountTrayIcon, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace vnd::test
