// Test double of the media library: each call appends its name and arguments to the log file
// beside this library and succeeds.
#include <windows.h>

#include <cstdio>

namespace {

HMODULE g_self = nullptr;

int Log(const char* line) {
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH);
    lstrcpyA(path + n, ".log");
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
    }
    return 1;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

int __stdcall Vnmedia_Play(int reserved, int startPlayer) {
    char line[48];
    std::snprintf(line, sizeof line, "Play %d %d", reserved, startPlayer);
    return Log(line);
}
int __stdcall Vnmedia_Pause(void) { return Log("Pause"); }
int __stdcall Vnmedia_NextTrack(void) { return Log("NextTrack"); }
int __stdcall Vnmedia_PrevTrack(void) { return Log("PrevTrack"); }
int __stdcall Vnmedia_Stop(void) { return Log("Stop"); }

}  // extern "C"
