// VNUninst.exe: removes an installed product by following its uninstall record, then itself.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "uninstall/launcher.h"
#include "uninstall/ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    return uninst::Main(instance, args);
}
