// The real service's on-screen display, for posted key events and for keys that come through the
// real keyboard hook: labels, and the volume display held up and presented anew while a volume key
// is held.
#include <functional>
#include <string>

#include "common/handles.h"
#include "service/tests/program_fixture.h"

namespace vnd::test {
namespace {

HWND Display() { return FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND"); }

// The display window of the service is visible and shaped (a window region that is not empty).
bool DisplayShown() {
    HWND w = Display();
    if (!w || !IsWindowVisible(w)) return false;
    vn::GdiObject region(CreateRectRgn(0, 0, 0, 0));
    int kind = GetWindowRgn(w, static_cast<HRGN>(region.get()));
    return kind == SIMPLEREGION || kind == COMPLEXREGION;
}

// Seen shown at least every 600 ms for the whole time: presenting the display anew hides it for a
// moment, a timed-out display stays hidden.
bool StaysShown(DWORD ms) {
    const DWORD start = GetTickCount();
    DWORD seen = start;
    while (GetTickCount() - start < ms) {
        if (DisplayShown()) seen = GetTickCount();
        else if (GetTickCount() - seen > vntest::Scaled(600)) return false;
        vntest::PumpFor(10);
    }
    return true;
}

// A tiny always-on-top window of the test's own. Presenting the display puts it at the top of the
// always-on-top windows, so a display found above the cover laid over it was presented anew.
class Cover {
public:
    Cover() : window_(MakeWindow("VnDisplayCover", "", DefWindowProcA)) { LayOver(); }
    ~Cover() { DestroyWindow(window_); }
    Cover(const Cover&) = delete;
    Cover& operator=(const Cover&) = delete;
    void LayOver() { SetWindowPos(window_, HWND_TOPMOST, 0, 0, 1, 1, SWP_NOACTIVATE | SWP_SHOWWINDOW); }
    bool Passed() const {
        const HWND display = Display();
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == display) return true;
            if (w == window_) return false;
        }
        return false;
    }

private:
    HWND window_;
};

// While a volume key is held the volume display outlives its duration (1200 ms) and the repeat
// presents it anew; after the release it times out and stays gone, the repeat having stopped.
void ExpectHeldVolumeDisplay(const std::function<void(bool down)>& key) {
    Cover cover;
    key(true);
    ASSERT_TRUE(vntest::WaitUntil(DisplayShown, 5000));
    EXPECT_TRUE(StaysShown(2500));
    for (int i = 0; i < 3; ++i) {
        cover.LayOver();
        EXPECT_TRUE(vntest::WaitUntil([&] { return cover.Passed(); }, 2000)) << "presentation " << i;
    }
    key(false);
    // Gone for good: a running repeat would bring it back within its 100 ms.
    EXPECT_TRUE(vntest::WaitUntil([] { return !DisplayShown() && !vntest::WaitUntil(DisplayShown, 500); }, 6000));
}

void Inject(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof in);
}

// Kind 2 starts its command without parameters, and its label shows on the shaped display.
TEST_F(Program, Kind2StartsTheCommandAndShowsTheLabel) {
    SetNumber("Buttons\\Aux3", "ActionType", 2);
    SetText("Buttons\\Aux3", "ActionCommand", dir.file("proof.exe"));
    SetText("Buttons\\Aux3", "DisplayName", "Proof");
    Launch();
    Key(4, 0x09);
    EXPECT_TRUE(vntest::WaitUntil(DisplayShown, 5000));
    // A label is presented once, not repeated. Only a shown display counts: hiding it when it
    // times out may move it in the order of windows.
    Cover cover;
    EXPECT_FALSE(vntest::WaitUntil([&] { return DisplayShown() && cover.Passed(); }, 500));
    EXPECT_TRUE(vntest::WaitUntil([&] { return ProofCount("proof.exe|") == 1; }, 10000));
    EXPECT_NE(Proofs().find("proof.exe|\n"), std::string::npos);
    // The display times out ("Duration" 1200 ms by default).
    EXPECT_TRUE(vntest::WaitUntil([] { return !DisplayShown(); }, 5000));
}

TEST_F(Program, VolumeKeyHeldKeepsTheDisplayUp) {
    Launch();
    ExpectHeldVolumeDisplay([&](bool down) { Post(0x0402, down ? 1 : 0, 0x0C << 16 | 0xE9); });
}

// Kind 4 runs a predefined function by name: "Volume Up" gives the volume key's display.
TEST_F(Program, Kind4VolumeHeldKeepsTheDisplayUp) {
    SetNumber("Buttons\\Aux2", "ActionType", 4);
    SetText("Buttons\\Aux2", "ActionCommand", "Volume Up");
    Launch();
    ExpectHeldVolumeDisplay([&](bool down) { Post(0x0402, down ? 1 : 0, 0x09 << 16 | 3); });
}

TEST_F(Program, KeysThroughTheRealHook) {
    SetNumber("Buttons\\Aux5", "ActionType", 2);
    SetText("Buttons\\Aux5", "ActionCommand", dir.file("proof.exe"));
    Launch();
    vntest::PumpFor(300);
    Inject(VK_LAUNCH_APP2, false);
    Inject(VK_LAUNCH_APP2, true);
    EXPECT_TRUE(vntest::WaitUntil([&] { return Proofs().find("proof.exe|") != std::string::npos; }, 10000));
    ExpectHeldVolumeDisplay([](bool down) { Inject(VK_VOLUME_UP, !down); });
}

// With "INavEnable" = 0 the hook swallows the navigation keys: Browser Back shows and starts
// nothing. Switched on again, the same key gives its feedback.
TEST_F(Program, BrowserBackFilteredByTheHookDoesNothing) {
    SetNumber("Buttons", "INavEnable", 0);
    Launch();
    vntest::PumpFor(300);
    Inject(VK_BROWSER_BACK, false);
    Inject(VK_BROWSER_BACK, true);
    EXPECT_FALSE(vntest::WaitUntil(DisplayShown, 1000));
    EXPECT_EQ(Proofs(), "");
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetNumber("Buttons", "INavEnable", 1);
    Post(0x0730, 0, 0);
    vntest::PumpFor(300);
    Inject(VK_BROWSER_BACK, false);
    Inject(VK_BROWSER_BACK, true);
    EXPECT_TRUE(vntest::WaitUntil(DisplayShown, 5000));
    EXPECT_EQ(Proofs(), "");
}

}  // namespace
}  // namespace vnd::test
