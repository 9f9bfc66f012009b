// The media key dispatcher: looks at the drives, then routes the command to an audio CD player,
// the drive itself, a video player or the disc's AutoRun, or tells the user why it cannot.
#include <windows.h>
#include <shlobj.h>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/media.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace media {
namespace {

constexpr UINT kCaption = 30000;
constexpr UINT kNoDiscText = 30002;
constexpr UINT kSoftwareCdText = 30003;
constexpr UINT kNotForSoftwareText = 30004;
constexpr UINT kNoVideoPlayerText = 30005;

const char kWmpKey[] = "Software\\Microsoft\\Multimedia\\WMPlayer";

// One system-modal box at a time; a request while it is open only beeps.
void ShowMessage(UINT textId) {
    MediaState& s = State();
    if (s.messageShowing) {
        MessageBeep(MB_ICONASTERISK);
        return;
    }
    char caption[kMaxText] = {};
    char text[1024] = {};
    LoadStringA(ThisModule(), kCaption, caption, sizeof caption);
    LoadStringA(ThisModule(), textId, text, sizeof text);
    s.messageShowing = true;
    MessageBoxA(nullptr, text, caption, MB_OK | MB_SYSTEMMODAL | MB_ICONINFORMATION);
    s.messageShowing = false;
}

// The drive itself through MCI, when no player program took an audio CD command.
void ControlDriveDirectly(int command, const char* root) {
    int& flag = State().playFlag;
    if (command == kPlayPause) command = flag ? kPause : kPlay;
    switch (command) {
        case kPlay:
            AudioCD_Play(root);
            flag = 1;
            break;
        case kPause:
            AudioCD_Pause(root);
            flag = 0;
            break;
        case kNextTrack:
            AudioCD_NextTrack(root);
            break;
        case kPrevTrack:
            AudioCD_PrevTrack(root);
            break;
        case kStop:
            AudioCD_Stop(root);
            flag = 0;
            break;
    }
}

int Dispatch(int command) {
    if (command == kEject) return 1;
    if (!IsMediaCommand(command)) return 0;
    DriveChoice drive = ChooseDrive();
    switch (drive.kind) {
        case kNoDisc:
            ShowMessage(kNoDiscText);
            break;
        case kDataDisc:
            ShowMessage(kSoftwareCdText);
            break;
        case kNoDrive:
            break;
        case kSoftware:
            if (command == kPlay || command == kPlayPause)
                OpenAutoRunCD(drive.root);
            else
                ShowMessage(kNotForSoftwareText);
            break;
        case kDvd:
        case kVcd:
            if (!VideoPlayerControl(command)) ShowMessage(kNoVideoPlayerText);
            break;
        case kAudioCd:
            if (!AudioPlayerControl(command, drive)) ControlDriveDirectly(command, drive.root);
            break;
    }
    return 1;
}

bool StartIfExists(const char* path, const char* parameters) {
    return path[0] && FileExisted(path) && LaunchProgram(path, parameters, nullptr, nullptr);
}

}  // namespace

MediaState& State() {
    static MediaState state;
    return state;
}

}  // namespace media
}  // namespace vn

using namespace vn;
using namespace vn::media;

extern "C" {

int VNAPI CD_Play(void) { return Dispatch(kPlay); }
int VNAPI CD_Pause(void) { return Dispatch(kPause); }
int VNAPI CD_PlayPause(void) { return Dispatch(kPlayPause); }
int VNAPI CD_Stop(void) { return Dispatch(kStop); }
int VNAPI CD_NextTrack(void) { return Dispatch(kNextTrack); }
int VNAPI CD_PrevTrack(void) { return Dispatch(kPrevTrack); }

int VNAPI CD_IsPlaying(void) { return State().playFlag; }

int VNAPI CD_CheckPlayPauseStatus(void) {
    MediaState& s = State();
    DriveChoice drive = ChooseDrive();
    if (drive.kind != s.lastKind) {
        s.haveLastCheck = false;
        s.lastKind = drive.kind;
    }
    if (drive.kind == kNoDisc || drive.kind == kSoftware || drive.kind == kDataDisc) return -1;
    if (drive.kind != kAudioCd && drive.kind != kDvd && drive.kind != kVcd) return 0;
    bool answered = false;
    if (drive.kind == kAudioCd && !FindWindowA("WMPlayerApp", nullptr)) {
        int mci = AudioCD_IsPlaying(drive.root);
        if (mci == 0 || mci == 1) {
            s.playFlag = mci;
            answered = true;
        }
    }
    if (!answered) {
        // A player reads the disc on its own: a second press within a second is taken as a toggle.
        if (s.haveLastCheck && GetTickCount() - s.lastCheckTick < 1000)
            s.playFlag = s.playFlag ? 0 : 1;
        else
            s.playFlag = OnIsCdromPlaying(drive.kind);
    }
    s.lastCheckTick = GetTickCount();
    s.haveLastCheck = true;
    return s.playFlag;
}

int VNAPI LaunchCDPlayer(void) {
    DriveChoice drive = ChooseDrive();
    switch (drive.kind) {
        case kDvd:
        case kVcd:
            return LaunchVideoPlayer();
        case kSoftware:
        case kDataDisc:
            return LaunchProgram(drive.root, nullptr, nullptr, nullptr) ? 1 : 0;
        default: {
            char player[kMaxText] = {};
            Reg_GetValueString(HKEY_LOCAL_MACHINE, kWmpKey, "Player.Path", player, sizeof player);
            if (StartIfExists(player, nullptr)) return 1;
            return LaunchProgram("cdplayer.exe", nullptr, nullptr, nullptr) ? 1 : 0;
        }
    }
}

int VNAPI OpenAutoRunCD(const char* driveRoot) {
    if (!driveRoot) return 1;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return 1;
    LPITEMIDLIST drives = nullptr;
    IShellFolder* computer = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)) &&
        SUCCEEDED(desktop->BindToObject(drives, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&computer)))) {
        WCHAR wide[kMaxText] = {};
        MultiByteToWideChar(CP_ACP, 0, driveRoot, -1, wide, kMaxText);
        LPITEMIDLIST item = nullptr;
        ULONG eaten = 0;
        if (SUCCEEDED(computer->ParseDisplayName(nullptr, nullptr, wide, &eaten, &item, nullptr))) {
            IContextMenu* menu = nullptr;
            LPCITEMIDLIST items[1] = {item};
            if (SUCCEEDED(computer->GetUIObjectOf(nullptr, 1, items, IID_IContextMenu, nullptr,
                                                  reinterpret_cast<void**>(&menu)))) {
                HMENU popup = CreatePopupMenu();
                if (popup) {
                    menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_DEFAULTONLY);
                    CMINVOKECOMMANDINFO invoke{};
                    invoke.cbSize = sizeof invoke;
                    invoke.lpVerb = "AutoRun";
                    invoke.nShow = SW_SHOWNORMAL;
                    menu->InvokeCommand(&invoke);
                    DestroyMenu(popup);
                }
                menu->Release();
            }
            CoTaskMemFree(item);
        }
        computer->Release();
    }
    if (drives) CoTaskMemFree(drives);
    desktop->Release();
    return 1;
}

}  // extern "C"
