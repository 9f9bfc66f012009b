// Exports of vnhooks.dll, the input-hook library the service links (a stand-in of our own for the
// outside component): keys that arrive as ordinary keyboard input are delivered to the service as
// key events.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// With a window: deliver the media, volume, browser and launch keys to it as message `message`
// (wParam 1 make, 0 break; lParam usage page x 65536 + usage). The keys the service carries out
// itself are kept from the system; the browser keys (but Home) reach the program in front too.
// With a null window: stop. `mode` is accepted for the caller's calling pattern.
BOOL __stdcall VNHK_LLKB(HWND window, UINT message, int mode);
// 1: swallow the Internet navigation keys (back, forward) entirely; 0: deliver them to the
// service and let them through to the system.
BOOL __stdcall VNHK_LLKB_SetFilter(int filter);
// Accepted; the service handles no message from them.
BOOL __stdcall EnableScreenPowerHook(HWND window, UINT message);
BOOL __stdcall EnableUserInputHook(HWND window, UINT message);

#ifdef __cplusplus
}
#endif
