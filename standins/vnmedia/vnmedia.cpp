// Stand-in media library: plays the video tracks of a VCD or DVD in the first CD-ROM drive that
// holds one, through the system's MPEG video device. Every function returns 1 when the device
// took the command and 0 otherwise.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>

namespace {

int g_track = 0;  // 1-based track playing or paused; 0 when nothing is open

// The file of a video track on the first drive holding a video disc; false when there is none.
bool TrackFile(int track, char* path, size_t size) {
    char drives[27 * 4 + 1] = {};
    DWORD n = GetLogicalDriveStringsA(sizeof drives, drives);
    if (n == 0 || n > sizeof drives) return false;
    for (const char* root = drives; *root; root += lstrlenA(root) + 1) {
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        // VCD tracks are MPEGAV\AVSEQnn.DAT; DVD titles VIDEO_TS\VTS_nn_1.VOB.
        const char* patterns[] = {"%sMPEGAV\\AVSEQ%02d.DAT", "%sVIDEO_TS\\VTS_%02d_1.VOB"};
        for (const char* pattern : patterns) {
            std::snprintf(path, size, pattern, root, track);
            if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return true;
        }
    }
    return false;
}

int Send(const char* command) { return mciSendStringA(command, nullptr, 0, nullptr) == 0 ? 1 : 0; }

int OpenAndPlay(int track) {
    char file[MAX_PATH];
    if (track < 1 || !TrackFile(track, file, sizeof file)) return 0;
    Send("close vnmedia");
    char command[MAX_PATH + 64];
    std::snprintf(command, sizeof command, "open \"%s\" type mpegvideo alias vnmedia", file);
    if (!Send(command)) {
        g_track = 0;
        return 0;
    }
    g_track = track;
    return Send("play vnmedia");
}

}  // namespace

extern "C" {

// reserved: 0. startPlayer: 0 for a play command, 1 when the user asked for the player.
int __stdcall Vnmedia_Play(int reserved, int startPlayer) {
    if (g_track && !startPlayer) return Send("play vnmedia");
    return OpenAndPlay(1);
}

int __stdcall Vnmedia_Pause(void) { return g_track ? Send("pause vnmedia") : 0; }

int __stdcall Vnmedia_NextTrack(void) { return g_track ? OpenAndPlay(g_track + 1) : 0; }

int __stdcall Vnmedia_PrevTrack(void) {
    if (!g_track) return 0;
    if (g_track > 1) return OpenAndPlay(g_track - 1);
    return Send("seek vnmedia to start") && Send("play vnmedia") ? 1 : 0;  // already at the first track
}

int __stdcall Vnmedia_Stop(void) {
    if (!g_track) return 0;
    Send("stop vnmedia");
    return Send("seek vnmedia to start");
}

}  // extern "C"
