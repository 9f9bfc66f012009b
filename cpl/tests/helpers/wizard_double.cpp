// Stands in for the configuration wizard: appends "current folder|command line" to
// %TEMP%\vn_cpl_wizard.log and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char temp[MAX_PATH] = {}, folder[MAX_PATH] = {}, log[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::snprintf(log, sizeof log, "%svn_cpl_wizard.log", temp);
    if (FILE* f = std::fopen(log, "a")) {
        std::fprintf(f, "%s|%s\n", folder, GetCommandLineA());
        std::fclose(f);
    }
    return 0;
}
