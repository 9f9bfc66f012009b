// setup.exe: the script-driven installer.
#include <windows.h>
#include <commctrl.h>

#include "setup/run.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    InitCommonControls();
    setup::SetupRun run;
    run.instance = instance;
    if (!setup::StartUp(run, commandLine)) return 1;
    setup::RunBackground(run);
    setup::StartService();
    return 0;
}
