// A small GUI program that the key function tests start, find, activate, minimise and close.
// Options (any others, such as a mail program's arguments, are ignored):
//   /hidden       never show a window
//   /windows:N    top-level windows to show (default 1); the last one gets the children
//   /children:N   child windows of the last top-level window
//   /nominbox     windows without a minimise box
//   /exit:MS      exit after this time (default 30000, scaled like the tests' limits), so a
//                 forgotten copy never lingers
//   /class:NAME   window class name (up to the next blank); default "VnkfTestWindow"
// Started as calc.exe it registers the calculator's class name "SciCalc". The last window holds
// its command line in a hidden child (id 100), so tests can check the arguments they passed.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "common/testing/winetest.h"

namespace {

int g_open = 0;

LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY && GetParent(w) == nullptr && --g_open == 0) PostQuitMessage(0);
    if (msg == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int Option(const char* cmd, const char* name, int fallback) {
    const char* p = std::strstr(cmd, name);
    return p ? std::atoi(p + std::strlen(name)) : fallback;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmd, int) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* base = std::strrchr(self, '\\');
    base = base ? base + 1 : self;
    char cls[64] = "VnkfTestWindow";
    if (lstrcmpiA(base, "calc.exe") == 0) lstrcpyA(cls, "SciCalc");
    if (const char* named = std::strstr(cmd, "/class:")) {
        int n = 0;
        for (named += 7; named[n] && named[n] != ' ' && n < 63; ++n) cls[n] = named[n];
        cls[n] = '\0';
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.lpszClassName = cls;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);

    bool hidden = std::strstr(cmd, "/hidden") != nullptr;
    int windows = Option(cmd, "/windows:", 1);
    int children = Option(cmd, "/children:", 0);
    DWORD style = WS_OVERLAPPEDWINDOW;
    if (std::strstr(cmd, "/nominbox")) style &= ~WS_MINIMIZEBOX;

    // An invisible window of its own class keeps the timer (a /hidden copy still ends on its own)
    // without being found by the class name the tests look for.
    wc.lpszClassName = "VnkfTimerOwner";
    RegisterClassA(&wc);
    HWND timerOwner = CreateWindowA("VnkfTimerOwner", "vnkf timer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, inst, nullptr);
    ++g_open;
    SetTimer(timerOwner, 1, static_cast<UINT>(vntest::Scaled(Option(cmd, "/exit:", 30000))), nullptr);
    if (!hidden) {
        for (int i = 1; i <= windows; ++i) {
            char title[32];
            wsprintfA(title, "vnkf window %d", i);
            HWND w = CreateWindowA(cls, title, style, 40 * i, 40 * i, 300, 200, nullptr, nullptr, inst, nullptr);
            ++g_open;
            if (i == windows) {
                HWND line = CreateWindowA("STATIC", cmd, WS_CHILD, 0, 0, 10, 10, w, nullptr, inst, nullptr);
                SetWindowLongPtrA(line, GWLP_ID, 100);
            }
            if (i == windows)
                for (int c = 0; c < children; ++c)
                    CreateWindowA("STATIC", "child", WS_CHILD | WS_VISIBLE, 10, 10 + 20 * c, 80, 18, w, nullptr,
                                  inst, nullptr);
            ShowWindow(w, SW_SHOWNORMAL);
            UpdateWindow(w);
        }
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
