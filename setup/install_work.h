// The installation work that the Installation Procedures page starts on its worker thread, and
// what the page and the worker share.
#pragma once
#include <windows.h>

#include "setup/run.h"

namespace setup {

struct InstallShared {
    SetupRun* run = nullptr;
    HWND sheet = nullptr;
    HWND page = nullptr;
    HANDLE pause = nullptr;      // manual reset; reset while the "Exit Setup" question is open
    volatile LONG cancelled = 0;
    volatile LONG percent = 0;   // for display only
};

// Posted by the worker to the page when the progress changed.
constexpr UINT kProgressChanged = WM_APP + 1;

// The worker thread's body: the installation steps, then Next is pressed.
DWORD WINAPI InstallThread(void* shared);

}  // namespace setup
