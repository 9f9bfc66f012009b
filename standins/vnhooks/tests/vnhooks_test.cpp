// The hook library under Wine: keys injected with SendInput reach the low-level hook for real.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "common/testing/winetest.h"
#include "standins/vnhooks/keymap.h"
#include "standins/vnhooks/vnhooks.h"

namespace {

const UINT kKeyEvent = 0x0402;

std::vector<std::pair<WPARAM, LPARAM>> g_events;
std::vector<DWORD> g_witnessed;  // keys that got past the library's hook
HHOOK g_witness;

LRESULT CALLBACK RecordProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kKeyEvent) {
        g_events.emplace_back(wp, lp);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

struct LowLevelKey {
    DWORD vkCode, scanCode, flags, time;
    ULONG_PTR extra;
};

LRESULT CALLBACK WitnessProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && (wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN))
        g_witnessed.push_back(reinterpret_cast<const LowLevelKey*>(lp)->vkCode);
    return CallNextHookEx(g_witness, code, wp, lp);
}

void Key(WORD vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &in, sizeof in);
}

class Hooks : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VnHooksTestTarget";
        RegisterClassA(&wc);
        window_ = CreateWindowA("VnHooksTestTarget", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(window_);
        // Installed first, so it is called after the library's hook: it sees only what got past.
        g_witness = SetWindowsHookExA(13 /* WH_KEYBOARD_LL */, WitnessProc, GetModuleHandleA(nullptr), 0);
        ASSERT_TRUE(g_witness);
        g_events.clear();
        g_witnessed.clear();
        ASSERT_TRUE(VNHK_LLKB(window_, kKeyEvent, 1));
        VNHK_LLKB_SetFilter(0);
    }
    void TearDown() override {
        VNHK_LLKB(nullptr, 0, 0);
        UnhookWindowsHookEx(g_witness);
        DestroyWindow(window_);
    }
    static bool Witnessed(DWORD vk) {
        for (DWORD v : g_witnessed)
            if (v == vk) return true;
        return false;
    }
    HWND window_ = nullptr;
};

TEST(KeyMap, MediaVolumeBrowserAndLaunchKeys) {
    EXPECT_EQ(vnhooks::UsageForVirtualKey(0xB7).usage, 0x0192u);  // calculator
    EXPECT_EQ(vnhooks::UsageForVirtualKey(0xAF).usage, 0x00E9u);
    EXPECT_EQ(vnhooks::UsageForVirtualKey(0xB3).usage, 0x00CDu);
    EXPECT_TRUE(vnhooks::UsageForVirtualKey(0xA6).navigation);
    EXPECT_TRUE(vnhooks::UsageForVirtualKey(0xA7).navigation);
    EXPECT_FALSE(vnhooks::UsageForVirtualKey(0xAC).navigation);
    EXPECT_EQ(vnhooks::UsageForVirtualKey('A').usage, 0u);
    EXPECT_EQ(vnhooks::EventParam(0x00E9), 0x000C00E9L);
}

TEST_F(Hooks, VolumeKeyBecomesMakeAndBreakAndIsConsumed) {
    Key(0xAF, true);
    Key(0xAF, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return g_events.size() >= 2; }, 3000));
    EXPECT_EQ(g_events[0], std::make_pair(WPARAM(1), LPARAM(0x000C00E9)));
    EXPECT_EQ(g_events[1], std::make_pair(WPARAM(0), LPARAM(0x000C00E9)));
    EXPECT_FALSE(Witnessed(0xAF));
}

TEST_F(Hooks, AutoRepeatGivesOneMake) {
    Key(0xB7, true);
    Key(0xB7, true);
    Key(0xB7, true);
    Key(0xB7, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return g_events.size() >= 2; }, 3000));
    vntest::PumpFor(100);
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[0].first, WPARAM(1));
    EXPECT_EQ(g_events[1].first, WPARAM(0));
    EXPECT_EQ(g_events[0].second, LPARAM(0x000C0192));
}

TEST_F(Hooks, OtherKeysPassThrough) {
    Key(VK_SHIFT, true);
    Key(VK_SHIFT, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return Witnessed(VK_SHIFT) || Witnessed(VK_LSHIFT) || Witnessed(VK_RSHIFT); },
                                  3000));
    EXPECT_TRUE(g_events.empty());
}

TEST_F(Hooks, FilterSwallowsNavigationKeys) {
    VNHK_LLKB_SetFilter(1);
    Key(0xA6, true);
    Key(0xA6, false);
    Key(0xAC, true);  // home is not a navigation key: still delivered
    Key(0xAC, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return g_events.size() >= 2; }, 3000));
    vntest::PumpFor(100);
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_EQ(g_events[0].second, LPARAM(0x000C0223));
    EXPECT_FALSE(Witnessed(0xA6));

    VNHK_LLKB_SetFilter(0);
    g_events.clear();
    Key(0xA6, true);
    Key(0xA6, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return g_events.size() >= 2; }, 3000));
    EXPECT_EQ(g_events[0].second, LPARAM(0x000C0224));
}

// A visible window of the test's own with the keyboard focus, counting the key-downs it receives:
// what the system hands on to the program in front (a browser acting on Back and Forward).
int g_focusKeys[256];
LRESULT CALLBACK FocusProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_KEYDOWN) ++g_focusKeys[wp & 0xFF];
    return DefWindowProcA(w, m, wp, lp);
}

TEST_F(Hooks, NavigationKeysReachTheProgramInFrontOnlyWithoutFilter) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FocusProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VnHooksTestFocus";
    RegisterClassA(&wc);
    HWND front = CreateWindowA("VnHooksTestFocus", "front", WS_POPUP | WS_VISIBLE, 0, 0, 80, 80, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_TRUE(front);
    SetForegroundWindow(front);
    SetFocus(front);
    vntest::PumpFor(100);
    std::fill(std::begin(g_focusKeys), std::end(g_focusKeys), 0);
    auto press = [](WORD vk) {
        Key(vk, true);
        Key(vk, false);
    };
    press(0xA6);  // Back: the service gives feedback, the program in front goes back
    press(0xA8);  // Refresh: the service has nothing to do with it
    press(0xAF);  // Volume Up: the service's own
    press('A');   // a key of the test's own: everything before it has been handed on
    ASSERT_TRUE(vntest::WaitUntil([] { return g_focusKeys['A'] == 1; }, 3000));
    EXPECT_EQ(g_focusKeys[0xA6], 1);
    EXPECT_EQ(g_focusKeys[0xA8], 1);
    EXPECT_EQ(g_focusKeys[0xAF], 0);
    ASSERT_EQ(g_events.size(), 6u);
    EXPECT_EQ(g_events[0], std::make_pair(WPARAM(1), LPARAM(0x000C0224)));

    VNHK_LLKB_SetFilter(1);
    g_events.clear();
    press(0xA6);
    press('A');
    ASSERT_TRUE(vntest::WaitUntil([] { return g_focusKeys['A'] == 2; }, 3000));
    EXPECT_EQ(g_focusKeys[0xA6], 1);
    EXPECT_TRUE(g_events.empty());
    DestroyWindow(front);
}

TEST_F(Hooks, NullWindowStopsDelivery) {
    ASSERT_TRUE(VNHK_LLKB(nullptr, 0, 0));
    Key(0xAE, true);
    Key(0xAE, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return Witnessed(0xAE); }, 3000));
    EXPECT_TRUE(g_events.empty());
    // And it starts again.
    ASSERT_TRUE(VNHK_LLKB(window_, kKeyEvent, 1));
    Key(0xAE, true);
    Key(0xAE, false);
    ASSERT_TRUE(vntest::WaitUntil([] { return g_events.size() >= 2; }, 3000));
    EXPECT_EQ(g_events[0].second, LPARAM(0x000C00EA));
}

}  // namespace
