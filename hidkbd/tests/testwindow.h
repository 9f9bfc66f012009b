// A stand-in for the service's main window: forwards WM_DEVICECHANGE to the library, answers the
// release request, and records every key event and release request it receives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace fakekbd {

struct Event {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    HWND hwnd() const { return hwnd_; }
    // Pumps until at least n events arrived (or the time-out passed); returns the events.
    const std::vector<Event>& WaitFor(size_t n, DWORD timeoutMs = 3000);
    const std::vector<Event>& events() const { return events_; }
    void Clear() { events_.clear(); }
    int unregisterResults = 0;  // successful VnHidUnregisterHandleHandler calls

    // Real broadcast structures, sent as the system would.
    void SendArrival(const std::string& path);
    void SendHandleEvent(WPARAM type, HANDLE h);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    std::vector<Event> events_;
};

// Key event as wParam and lParam, for readable expectations.
inline Event Key(bool down, unsigned page, unsigned usage) {
    return Event{0x0402, WPARAM(down ? 1 : 0), LPARAM(page << 16 | usage)};
}

// Finds the library's error box, returns its text and closes it (run on another thread).
std::string CatchErrorBox(DWORD timeoutMs = 5000);

}  // namespace fakekbd
