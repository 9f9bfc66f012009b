#include "keyfunc/mediarules.h"

#include <cstring>

namespace vn {
namespace media {

bool IsMediaCommand(int code) {
    switch (code) {
        case kPlay: case kPause: case kNextTrack: case kPrevTrack: case kStop: case kEject: case kPlayPause:
            return true;
        default:
            return false;
    }
}

bool Replaces(int current, int candidate) {
    bool playable = candidate == kAudioCd || candidate == kDvd || candidate == kVcd;
    switch (current) {
        case kNoDisc:
            return true;
        case kSoftware:
            return playable;
        case kDataDisc:
            return playable || candidate == kSoftware;
        default:
            return false;
    }
}

int ConvertPlayPause(int command, int* playFlag) {
    if (command != kPlayPause) return command;
    int converted = *playFlag ? kPause : kPlay;
    *playFlag = *playFlag ? 0 : 1;
    return converted;
}

std::string PickInterVideoKey(const std::vector<std::string>& names) {
    for (const char* prefix : {"DVD", "WinDVD"}) {
        std::string best;
        std::size_t n = std::strlen(prefix);
        for (const std::string& name : names)
            if (name.compare(0, n, prefix) == 0 && (best.empty() || name > best)) best = name;
        if (!best.empty()) return best;
    }
    return std::string();
}

}  // namespace media
}  // namespace vn
