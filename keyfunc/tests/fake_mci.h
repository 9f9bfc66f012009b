// A scripted CD audio device behind the MCI port: tracks, mode and position in TMSF, and a log
// of every command string it was sent.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "keyfunc/mci.h"

namespace vntest {

class FakeCdAudio : public vn::MciPort {
public:
    FakeCdAudio() { old_ = vn::SetMciPort(this); }
    ~FakeCdAudio() override { vn::SetMciPort(old_); }

    std::vector<std::string> tracks{"audio", "audio", "audio", "audio", "audio", "audio"};
    std::string mode = "stopped";
    std::string position = "01:00:00:00";
    bool discPresent = true;
    DWORD failStatusTracks = 0;  // error for "status ... number of tracks"
    std::vector<std::string> log;
    // Track types per opened device (such as "R:"), overriding `tracks` for that drive.
    std::map<std::string, std::vector<std::string>> driveTracks;
    std::string openedDevice;  // device text of the last "open ... alias vnbcd"

    // Commands after the open/close handshake, for checking sequences.
    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const std::string& c : log)
            if (c.compare(0, 5, "open ") != 0 && c.compare(0, 6, "close ") != 0) out.push_back(c);
        return out;
    }
    void Clear() { log.clear(); }

    DWORD Send(const char* command, char* reply, UINT replySize) override {
        std::string c = command;
        log.push_back(c);
        std::string answer;
        DWORD rc = 0;
        int n = 0;
        char text[128];
        if (c.compare(0, 5, "open ") == 0) {
            if (!discPresent) return 256 + 20;  // MCIERR_DEVICE_NOT_READY
            if (c.find(" alias vnbcd ") != std::string::npos) {
                std::size_t end = c.find(" type ");
                openedDevice = end == std::string::npos ? "" : c.substr(5, end - 5);
            }
        } else if (c == "status vnbcd mode") {
            answer = mode;
        } else if (c == "status vnbcd position") {
            answer = position;
        } else if (c == "status vnbcd current track") {
            answer = std::to_string(std::atoi(position.c_str()));
        } else if (c == "status vnbcd number of tracks") {
            if (failStatusTracks) return failStatusTracks;
            answer = std::to_string(Tracks().size());
        } else if (std::sscanf(c.c_str(), "status vnbcd type track %d", &n) == 1) {
            if (n < 1 || n > static_cast<int>(Tracks().size())) return 256 + 10;
            answer = Tracks()[n - 1];
        } else if (std::sscanf(c.c_str(), "play vnbcd from %127s", text) == 1) {
            int track = std::atoi(text);
            if (track < 1 || track > static_cast<int>(tracks.size())) return 256 + 10;  // out of range
            mode = "playing";
            position = std::strchr(text, ':') ? std::string(text) : std::string(text) + ":00:00:00";
        } else if (c == "play vnbcd") {
            mode = "playing";
        } else if (c == "pause vnbcd") {
            mode = "paused";
        } else if (c == "stop vnbcd") {
            mode = "stopped";
        } else if (c == "seek vnbcd to start") {
            position = "01:00:00:00";
            mode = "stopped";
        }
        vn::CopyTruncated(reply, replySize, answer.c_str());
        return rc;
    }

private:
    const std::vector<std::string>& Tracks() const {
        auto it = driveTracks.find(openedDevice);
        return it == driveTracks.end() ? tracks : it->second;
    }
    vn::MciPort* old_ = nullptr;
};

}  // namespace vntest
