// VnDaemon.exe: the hot-key service.
#include <windows.h>

#include "service/frame.h"
#include "service/ports_real.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vnd::LibraryPorts libraries{vnd::RealKeyboard(), vnd::RealDisplay(), vnd::RealHook(), vnd::RealKeyFunc()};
    return vnd::RunService(instance, libraries);
}
