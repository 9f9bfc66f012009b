// The decisions of the media keys, apart from the system calls: disc kinds, which drive wins,
// the Play/Pause conversion and the choice of the InterVideo registry key. No windows.h here.
#pragma once
#include <string>
#include <vector>

namespace vn {
namespace media {

enum DiscKind { kNoDisc = 0, kAudioCd = 1, kDvd = 2, kSoftware = 3, kVcd = 4, kDataDisc = 5, kNoDrive = 6 };

enum Command { kPlay = 176, kPause = 177, kNextTrack = 181, kPrevTrack = 182, kStop = 183, kEject = 184,
               kPlayPause = 205 };

bool IsMediaCommand(int code);

// True when a drive holding `candidate` takes the place of the drive chosen so far (`current`):
// an audio CD, DVD or VCD is never replaced; an empty drive gives way to anything; a software CD
// only to a playable disc; an other data disc to a playable disc or a software CD.
bool Replaces(int current, int candidate);

// Play/Pause becomes Pause when playback is believed to run and Play otherwise; the belief is
// inverted at that moment. Other commands pass unchanged.
int ConvertPlayPause(int command, int* playFlag);

// The InterVideo key to use: the greatest name (byte order) that begins with "DVD", else the
// greatest that begins with "WinDVD"; empty when none does.
std::string PickInterVideoKey(const std::vector<std::string>& names);

}  // namespace media
}  // namespace vn
