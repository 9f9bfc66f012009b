// The low-level keyboard hook runs on a thread of its own with its own message loop, so that the
// service's thread may be busy (starting a program waits for its window) without the system
// timing the hook out.
#include <windows.h>

#include "common/handles.h"
#include "standins/vnhooks/keymap.h"
#include "standins/vnhooks/vnhooks.h"

namespace {

#ifndef WH_KEYBOARD_LL
#define WH_KEYBOARD_LL 13
#endif

struct HookState {
    HWND target = nullptr;
    UINT message = 0;
    volatile LONG filter = 0;
    vn::Handle thread;
    DWORD threadId = 0;
    vn::Handle ready;
    HHOOK hook = nullptr;
    bool down[256] = {};  // keys whose make was delivered, to drop auto-repeat
} g;

struct LowLevelKey {  // KBDLLHOOKSTRUCT, absent from the oldest headers
    DWORD vkCode, scanCode, flags, time;
    ULONG_PTR extra;
};

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const LowLevelKey* key = reinterpret_cast<const LowLevelKey*>(lParam);
        vnhooks::KeyUsage u = vnhooks::UsageForVirtualKey(key->vkCode);
        if (u.usage) {
            bool isDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
            if (u.navigation && InterlockedCompareExchange(&g.filter, 0, 0)) return 1;  // swallowed
            bool& wasDown = g.down[key->vkCode & 0xFF];
            if (isDown != wasDown) {
                wasDown = isDown;
                PostMessageA(g.target, g.message, isDown ? 1 : 0, vnhooks::EventParam(u.usage));
            }
            if (!u.handedOn) return 1;  // the service's own: the system does not act on it a second time
        }
    }
    return CallNextHookEx(g.hook, code, wParam, lParam);
}

DWORD WINAPI HookThread(void*) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before "ready"
    g.hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, vn::ThisModule(), 0);
    SetEvent(g.ready.get());
    if (!g.hook) return 1;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnhookWindowsHookEx(g.hook);
    g.hook = nullptr;
    return 0;
}

void StopHook() {
    if (!g.thread) return;
    PostThreadMessageA(g.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(g.thread.get(), 5000);
    g.thread.reset();
    g.threadId = 0;
    for (bool& d : g.down) d = false;
}

}  // namespace

extern "C" {

BOOL __stdcall VNHK_LLKB(HWND window, UINT message, int mode) {
    StopHook();
    g.target = window;
    g.message = message;
    if (!window) return TRUE;
    g.ready.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g.thread.reset(CreateThread(nullptr, 0, HookThread, nullptr, 0, &g.threadId));
    if (!g.thread || !g.ready) return FALSE;
    WaitForSingleObject(g.ready.get(), 5000);
    if (!g.hook) {  // no low-level hooks on this system (the 9x family)
        StopHook();
        return FALSE;
    }
    return TRUE;
}

BOOL __stdcall VNHK_LLKB_SetFilter(int filter) {
    InterlockedExchange(&g.filter, filter ? 1 : 0);
    return TRUE;
}

// The service handles no message from these two hooks and uses none of their results, so the
// stand-in only accepts the calls.
BOOL __stdcall EnableScreenPowerHook(HWND, UINT) { return TRUE; }

BOOL __stdcall EnableUserInputHook(HWND, UINT) { return TRUE; }

}  // extern "C"
