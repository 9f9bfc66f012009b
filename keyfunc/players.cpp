// The audio CD players: Windows Media Player, then the system's CD players, each driven the way
// it accepts commands.
#include <windows.h>

#include <string>

#include "common/text.h"
#include "keyfunc/media.h"
#include "keyfunc/vnutil.h"

#ifndef WM_APPCOMMAND
#define WM_APPCOMMAND 0x0319
#endif

namespace vn {
namespace media {
namespace {

constexpr int kAppPlayPause = 14;
constexpr int kAppStop = 13;
constexpr int kAppNextTrack = 11;
constexpr int kAppPrevTrack = 12;

DWORD g_pollMs = 1000;

void AppCommand(HWND w, int app) {
    SendMessageA(w, WM_APPCOMMAND, reinterpret_cast<WPARAM>(w), static_cast<LPARAM>(app) << 16);
}

// Windows Media Player's mapping. Without honourJustLaunched (the system CD player on Windows
// 2000) Play/Pause always sends the toggle.
void WmpStyleCommand(HWND w, int command, bool honourJustLaunched) {
    MediaState& s = State();
    switch (command) {
        case kPlay:
            if (CD_CheckPlayPauseStatus() != 1) AppCommand(w, kAppPlayPause);
            break;
        case kPause:
            if (CD_CheckPlayPauseStatus() == 1) AppCommand(w, kAppPlayPause);
            break;
        case kNextTrack:
            AppCommand(w, kAppNextTrack);
            break;
        case kPrevTrack:
            AppCommand(w, kAppPrevTrack);
            break;
        case kStop:
            s.playFlag = 0;
            AppCommand(w, kAppStop);
            break;
        case kPlayPause:
            if (honourJustLaunched && s.justLaunched)
                s.justLaunched = false;  // the new player already plays the disc
            else
                AppCommand(w, kAppPlayPause);
            break;
    }
}

HWND StartMediaPlayer(int command) {
    if (command == kPause || command == kStop) return nullptr;
    char path[kMaxText] = {};
    if (!Reg_GetValueString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\WMPlayer", "Player.Path", path,
                            sizeof path) ||
        !FileExisted(path) || !LaunchProgram(path, "/device:AudioCD", nullptr, nullptr))
        return nullptr;
    for (int look = 0; look < 10; ++look) {
        Sleep(g_pollMs);
        if (HWND w = FindWindowA("WMPlayerApp", nullptr)) {
            State().playFlag = 1;
            State().justLaunched = true;
            return w;
        }
    }
    return nullptr;
}

bool SystemCdPlayer(int command) {
    MediaState& s = State();
    HWND w = FindWindowA("MMFRAME_MAIN", nullptr);
    if (!w) {
        char path[kMaxText] = {};
        UINT n = GetSystemDirectoryA(path, sizeof path);
        if (command == kPause || command == kStop || n == 0 || !AppendText(path, sizeof path, "\\CDPLAYER.EXE") ||
            !FileExisted(path))
            return false;
        return LaunchProgram(path, nullptr, nullptr, nullptr) != 0;
    }
    if (IsWin2000()) {
        WmpStyleCommand(w, command, false);
        return true;
    }
    WPARAM key = 0;
    switch (command) {
        case kPlay:
            key = 'h';
            s.playFlag = 1;
            break;
        case kPause:
            key = 'h';
            s.playFlag = 0;
            break;
        case kPlayPause:
            key = 'h';
            break;
        case kNextTrack:
            key = 'n';
            break;
        case kPrevTrack:
            key = 'm';
            break;
        case kStop:
            key = 'i';
            s.playFlag = 0;
            break;
    }
    if (key) SendMessageA(w, WM_COMMAND, key, 0);
    return true;
}

bool ThirdPartyCdPlayer(int command) {
    HWND w = FindWindowA("SJE_CdPlayerClass", nullptr);
    if (!w) return false;
    MediaState& s = State();
    WPARAM id = 0;
    switch (ConvertPlayPause(command, &s.playFlag)) {
        case kPlay:
            id = 1000;
            s.playFlag = 1;
            break;
        case kPause:
            id = 1001;
            s.playFlag = 0;
            break;
        case kNextTrack:
            id = 1006;
            break;
        case kPrevTrack:
            id = 1003;
            break;
        case kStop:
            id = 1002;
            s.playFlag = 0;
            break;
    }
    if (id) SendMessageA(w, WM_COMMAND, id, 0);
    return true;
}

}  // namespace

DWORD SetLaunchPollInterval(DWORD ms) {
    DWORD old = g_pollMs;
    g_pollMs = ms;
    return old;
}

DWORD LaunchPollInterval() { return g_pollMs; }

int AudioPlayerControl(int command, const DriveChoice&) {
    HWND wmp = FindWindowA("WMPlayerApp", nullptr);
    if (!wmp) wmp = StartMediaPlayer(command);
    if (wmp) {
        WmpStyleCommand(wmp, command, true);
        return 1;
    }
    if (SystemCdPlayer(command)) return 1;
    return ThirdPartyCdPlayer(command) ? 1 : 0;
}

}  // namespace media
}  // namespace vn

extern "C" LRESULT VNAPI SendAppCommand(HWND window, int command) {
    return SendMessageA(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                        static_cast<LPARAM>(command & 0xFF) << 16);
}
