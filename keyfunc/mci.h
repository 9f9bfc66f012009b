// The door between the CD audio code and MCI command strings. Production sends them to the
// system; tests put a scripted CD audio device behind it.
#pragma once
#include <windows.h>

namespace vn {

class MciPort {
public:
    virtual ~MciPort() = default;
    // Sends one command string; the reply (at most replySize - 1 characters) goes to reply.
    // Returns the MCI error number, 0 on success.
    virtual DWORD Send(const char* command, char* reply, UINT replySize) = 0;
};

// Replaces the port (null restores the system's); returns the previous one.
MciPort* SetMciPort(MciPort* port);

}  // namespace vn
