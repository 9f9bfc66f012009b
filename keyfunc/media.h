// Shared state and steps of the media keys: the drive choice, the play belief and the player
// controls that the dispatcher tries.
#pragma once
#include <windows.h>

#include "keyfunc/mediarules.h"

namespace vn {
namespace media {

struct DriveChoice {
    char root[4] = {};  // such as R:\, empty when there is no CD drive
    int kind = kNoDrive;
};

// The kind of disc in the drive with this root (kNoDisc ... kDataDisc).
int ClassifyDrive(const char* root);
// The CD-ROM drives in the order of the logical drive list, the best disc winning.
DriveChoice ChooseDrive();
// Replaces the system's logical drive list (roots such as C:\, each zero-terminated, the list
// ended by an empty one) for tests of other machines; null restores the system's.
void SetDriveList(const char* roots);

// Process-wide belief of whether playback runs, and its companions.
struct MediaState {
    int playFlag = 0;
    bool justLaunched = false;  // Windows Media Player was started by a media key
    int lastKind = -1;
    bool haveLastCheck = false;
    DWORD lastCheckTick = 0;
    bool messageShowing = false;
    HWND activePlayer = nullptr;
    HWND dvdPlayer = nullptr;
};
MediaState& State();

// 1 when one of the audio CD players took the command.
int AudioPlayerControl(int command, const DriveChoice& drive);
// 1 when one of the video players (or the media library) took the command.
int VideoPlayerControl(int command);

// The outside media library, loaded once; null when it is not installed.
HMODULE MediaLibrary();
// Puts a test double (not owned) in place of the installed media library; null restores it.
void SetMediaLibrary(HMODULE module);

// How long launch waits pause between looks for a player's window (tests shorten it).
DWORD SetLaunchPollInterval(DWORD ms);
DWORD LaunchPollInterval();

}  // namespace media
}  // namespace vn
