// CD audio through MCI command strings: the drive's CD audio device is kept open under the
// alias "vnbcd" and positions are in TMSF (track:minutes:seconds:frames).
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "keyfunc/mci.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

constexpr DWORD kFileNotFound = 275;  // MCIERR_FILE_NOT_FOUND
constexpr UINT kReplySize = 256;

class SystemMci : public MciPort {
public:
    DWORD Send(const char* command, char* reply, UINT replySize) override {
        return mciSendStringA(command, reply, replySize, nullptr);
    }
};

SystemMci g_systemMci;
MciPort* g_mci = &g_systemMci;

// The position at the last pause; a later play resumes from it. Empty when none.
char g_savedPosition[kReplySize];

// Sends one command; the reply is copied to the caller's buffer (kReplySize bytes) on success.
DWORD Command(const char* command, char* reply = nullptr) {
    char buffer[kReplySize] = {};
    DWORD rc = g_mci->Send(command, buffer, kReplySize);
    if (rc == 0 && reply) CopyTruncated(reply, kReplySize, buffer);
    return rc;
}

DWORD CommandWith(const char* format, const char* arg) {
    char command[kReplySize + 64];
    std::snprintf(command, sizeof command, format, arg);
    return Command(command);
}

DWORD PlayTrack(int track) {
    char command[64];
    std::snprintf(command, sizeof command, "play vnbcd from %d", track);
    return Command(command);
}

bool Open(const char* drive) {
    DWORD rc;
    if (drive) {
        char device[kMaxText];
        if (!CopyText(device, sizeof device, drive)) return false;
        // The NT family after Windows 2000 wants the bare drive letter and colon.
        std::size_t n = std::strlen(device);
        if (IsNT() && !IsWin2000() && n > 0 && device[n - 1] == '\\') device[n - 1] = '\0';
        rc = CommandWith("open %s type cdaudio alias vnbcdx shareable", device);
        if (rc == 0) rc = CommandWith("open %s type cdaudio alias vnbcd shareable", device);
    } else {
        rc = Command("open cdaudio alias vnbcdx shareable");
        if (rc == 0) rc = Command("open cdaudio alias vnbcd shareable");
    }
    Command("close vnbcdx");
    return rc == 0;
}

bool Reopen(const char* drive) {
    Command("close vnbcd");
    return Open(drive);
}

bool ModeIs(const char* mode, bool exact) {
    char reply[kReplySize] = {};
    if (Command("status vnbcd mode", reply) != 0) return false;
    return exact ? std::strcmp(reply, mode) == 0 : _stricmp(reply, mode) == 0;
}

DWORD StopAndRewind() {
    Command("stop vnbcd");
    DWORD rc = Command("seek vnbcd to start");
    g_savedPosition[0] = '\0';
    return rc;
}

DWORD ResumeSaved() {
    DWORD rc = CommandWith("play vnbcd from %s", g_savedPosition);
    g_savedPosition[0] = '\0';
    return rc;
}

// Play when the device is known not to be playing: resume the pause position or start over.
DWORD StartPlaying() {
    if (g_savedPosition[0]) return ResumeSaved();
    StopAndRewind();
    Command("status vnbcd position");
    Command("seek vnbcd to start");
    return Command("play vnbcd");
}

DWORD PauseKeepingPosition() {
    Command("status vnbcd position", g_savedPosition);
    return Command("pause vnbcd");
}

}  // namespace

MciPort* SetMciPort(MciPort* port) {
    MciPort* old = g_mci;
    g_mci = port ? port : &g_systemMci;
    return old;
}

}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI AudioCD_OpenCDAudio(const char* drive) { return Open(drive) ? 1 : 0; }

int VNAPI AudioCD_CloseCDAudio(void) { return static_cast<int>(Command("close vnbcd")); }

int VNAPI AudioCD_Play(const char* drive) {
    if (!Reopen(drive)) return 0;
    if (ModeIs("playing", false)) return 0;
    return static_cast<int>(StartPlaying());
}

int VNAPI AudioCD_PlayPause(const char* drive) {
    if (!Reopen(drive)) return 0;
    if (ModeIs("playing", false)) return static_cast<int>(PauseKeepingPosition());
    return static_cast<int>(StartPlaying());
}

int VNAPI AudioCD_Pause(const char* drive) {
    if (!Reopen(drive)) return 0;
    if (ModeIs("playing", true)) return static_cast<int>(PauseKeepingPosition());
    if (g_savedPosition[0]) return static_cast<int>(ResumeSaved());
    return 1;  // neither playing nor paused: nothing to do
}

int VNAPI AudioCD_Stop(const char* drive) {
    if (!Reopen(drive)) return 0;
    return static_cast<int>(StopAndRewind());
}

int VNAPI AudioCD_NextTrack(const char* drive) {
    if (!Reopen(drive)) return 0;
    Command("set vnbcd time format TMSF");
    char reply[kReplySize] = {};
    DWORD rc = Command("status vnbcd current track", reply);
    if (rc != 0) return static_cast<int>(rc);
    return static_cast<int>(PlayTrack(StringToInteger(reply) + 1));
}

int VNAPI AudioCD_PrevTrack(const char* drive) {
    if (!Reopen(drive)) return 0;
    Command("set vnbcd time format TMSF");
    // Read into a text of its own: the pause position stays a valid resume point.
    char position[kReplySize] = {};
    DWORD rc = Command("status vnbcd position", position);
    if (rc != 0) return static_cast<int>(rc);
    char track[kMaxText] = {}, seconds[kMaxText] = {};
    Str_GetField(position, 1, track, ':');
    Str_GetField(position, 3, seconds, ':');
    // Within the first seconds of a track the key goes back one track, never before track 1.
    int target = StringToInteger(track);
    if (StringToInteger(seconds) < 3 && target > 1) --target;
    return static_cast<int>(PlayTrack(target));
}

int VNAPI AudioCD_IsPlaying(const char* drive) {
    if (!Reopen(drive)) return -1;
    return ModeIs("playing", false) ? 1 : 0;
}

int VNAPI AudioCD_FindAudioByMCI(const char* drive) {
    if (!Reopen(drive)) return static_cast<int>(kFileNotFound);
    char reply[kReplySize] = {};
    DWORD rc = Command("status vnbcd number of tracks", reply);
    if (rc != 0) return static_cast<int>(rc);
    int count = StringToInteger(reply);
    bool audio = false;
    for (int i = 1; i <= count && !audio; ++i) {
        char command[64];
        std::snprintf(command, sizeof command, "status vnbcd type track %d", i);
        reply[0] = '\0';
        Command(command, reply);
        audio = _stricmp(reply, "audio") == 0;
    }
    return audio ? 0 : static_cast<int>(kFileNotFound);
}

}  // extern "C"
