// A stand-in media player window for the media key tests. It registers the window class of the
// player it plays and writes every command it receives to a log file, one line each:
// START <arguments>, APPCOMMAND n, COMMAND n, KEY n, MSG n (private messages).
//   vnkf_player.exe <class> <log file> [window title]
// Started without arguments (as an installed player is), it takes its class and title from
// its own file name and logs to <its path>.log.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_log;

void Log(const char* format, unsigned value) {
    char line[64];
    std::snprintf(line, sizeof line, format, value);
    FILE* f = std::fopen(g_log.c_str(), "a");
    if (!f) return;
    std::fputs(line, f);
    std::fputc('\n', f);
    std::fclose(f);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case 0x0319:  // WM_APPCOMMAND
            Log("APPCOMMAND %u", static_cast<unsigned>((lp >> 16) & 0x0FFF));
            return TRUE;
        case WM_COMMAND:
            Log("COMMAND %u", static_cast<unsigned>(LOWORD(wp)));
            return 0;
        case WM_KEYDOWN:
            Log("KEY %u", static_cast<unsigned>(wp));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    if (msg >= WM_USER && msg < 0xC000) {
        Log("MSG %u", msg);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

struct Known {
    const char* exe;
    const char* cls;
    const char* title;
};
const Known kKnown[] = {
    {"wmplayer.exe", "WMPlayerApp", "Windows Media Player"},
    {"cdplayer.exe", "MMFRAME_MAIN", "CD Player"},
    {"dvdplay.exe", "DVDPlay", "DVD Player"},
    {"windvd.exe", "WinDVD", "WinDVD"},
    {"powerdvd.exe", "Class of CyberLink Universal Player", "CyberLink Universal Player"},
    {"mplayer2.exe", "Media Player 2", "Media Player"},
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cls = "VnkfPlayer", title = "Player";
    if (__argc >= 3) {
        cls = __argv[1];
        g_log = __argv[2];
        if (__argc >= 4) title = __argv[3];
    } else {
        g_log = std::string(self) + ".log";
        const char* base = std::strrchr(self, '\\');
        base = base ? base + 1 : self;
        for (const Known& k : kKnown)
            if (_stricmp(base, k.exe) == 0) cls = k.cls, title = k.title;
    }
    {
        FILE* f = std::fopen(g_log.c_str(), "a");
        if (f) {
            std::fprintf(f, "START %s\n", cmdLine);
            std::fclose(f);
        }
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = cls.c_str();
    RegisterClassA(&wc);
    HWND w = CreateWindowA(cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 200, nullptr,
                           nullptr, instance, nullptr);
    if (!w) return 1;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
