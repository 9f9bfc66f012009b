// Device arrival and removal, LEDs through output reports, the OS type and the shell hook.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <cstdlib>
#include <thread>

#include "common/testing/winetest.h"
#include "hidkbd/library.h"
#include "hidkbd/rules.h"
#include "hidkbd/tests/fakekbd.h"
#include "hidkbd/tests/testwindow.h"
#include "hidkbd/vnusbkbd.h"

namespace {

using namespace fakekbd;

const VnHidDeviceEntry kTable[] = {{kVendor, kProductUsb, "Tessaro USB", "Kalvo"},
                                   {kVendor, kProductPs2Combo, "Tessaro Combo", "Kalvo"}};

struct DeviceChange : ::testing::Test {
    FakeHid fake;
    TestWindow window;
    void SetUp() override {
        vnhid::SetSettleTime(0);
        ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    }
    void TearDown() override {
        VnHidClose();
        vnhid::SetSettleTime(1000);
        EXPECT_EQ(fake.OpenHandles(), 0);
        EXPECT_EQ(fake.OutstandingPreparsed(), 0);
    }
    // Plugs a keyboard in and announces its three interfaces; returns the first index.
    int PlugIn(USHORT product = kProductUsb, int instance = 0) {
        int first = fake.PlugKeyboard(product, instance);
        for (int i = 0; i < 3; ++i) window.SendArrival(fake.Path(first + i));
        return first;
    }
};

TEST_F(DeviceChange, ArrivalOpensAfterTheSettleTime) {
    vnhid::SetSettleTime(1000);
    int first = fake.PlugKeyboard(kProductUsb);
    DWORD start = GetTickCount();
    window.SendArrival(fake.Path(first + 1));
    EXPECT_GE(GetTickCount() - start, 950u);
    EXPECT_EQ(VnHidGetNumberDevices(), 1);
    EXPECT_TRUE(vnhid::ShellHookInstalled());
    fake.Feed(first + 1, {0x01, 0x1E, 0, 0, 0});
    ASSERT_EQ(window.WaitFor(1).size(), 1u);
    EXPECT_EQ(window.events()[0].lParam, LPARAM(0x000C00CD));
}

TEST_F(DeviceChange, KeyboardCollectionAndDuplicateArrivalAreIgnored) {
    int first = PlugIn();
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    window.SendArrival(fake.Path(first + 1));
    window.SendArrival(fake.Path(first + 2));
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    EXPECT_EQ(fake.OpenHandles(), 4);
}

TEST_F(DeviceChange, OtherBroadcastsAreIgnored) {
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    SendMessageA(window.hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, LPARAM(&volume));
    SendMessageA(window.hwnd(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, LPARAM(&volume));
    SendMessageA(window.hwnd(), WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, HANDLE(0x1234));
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_TRUE(window.events().empty());
}

TEST_F(DeviceChange, RemoveCompletePostsTheReleaseRequestAndDropsTheHook) {
    int first = PlugIn();
    ASSERT_EQ(VnHidGetNumberDevices(), 2);
    ASSERT_TRUE(vnhid::ShellHookInstalled());
    fake.Unplug(first);
    fake.Unplug(first + 1);
    fake.Unplug(first + 2);
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, fake.InfoHandle(first + 1));
    EXPECT_EQ(VnHidGetNumberDevices(), 1);
    EXPECT_TRUE(vnhid::ShellHookInstalled());
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, fake.InfoHandle(first + 2));
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
    const auto& events = window.WaitFor(2);
    ASSERT_EQ(events.size(), 2u);
    for (const Event& e : events) {
        EXPECT_EQ(e.message, UINT(MSG_RELEASE_NOTIFY_HANDLE));
        EXPECT_EQ(e.wParam, 0u);
        EXPECT_NE(e.lParam, 0);
    }
    EXPECT_EQ(window.unregisterResults, 2);
}

TEST_F(DeviceChange, QueryRemoveClosesButKeepsTheNodeUntilRemoval) {
    int first = PlugIn();
    HANDLE consumer = fake.InfoHandle(first + 1);
    HANDLE vendor = fake.InfoHandle(first + 2);
    window.SendHandleEvent(DBT_DEVICEQUERYREMOVE, consumer);
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    EXPECT_EQ(fake.OpenHandles(), 2);  // only the vendor collection's handles remain
    window.SendHandleEvent(DBT_DEVICEQUERYREMOVE, vendor);
    EXPECT_EQ(fake.OpenHandles(), 0);
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    // LEDs skip closed nodes.
    EXPECT_EQ(VnHidSetLED(0x19, 1), 1);
    EXPECT_TRUE(fake.Outputs(first + 2).empty());
    // The removal that follows still finds them by the handle they were registered for.
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, consumer);
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, vendor);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_EQ(window.WaitFor(2).size(), 2u);
}

TEST_F(DeviceChange, ArrivalThatCannotBeOpenedShowsTheError) {
    std::string text;
    std::thread catcher([&] { text = CatchErrorBox(); });
    window.SendArrival("\\\\?\\hid#vid_2a7e&pid_5a01&col02#gone");
    catcher.join();
    EXPECT_EQ(text, "Error -- Couldn't open HID device");
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
}

TEST_F(DeviceChange, RefusedRegistrationOfAnArrivalShowsTheError) {
    int first = fake.PlugKeyboard(kProductUsb);
    fake.SetNotificationsFail(true);
    std::string text;
    std::thread catcher([&] { text = CatchErrorBox(); });
    window.SendArrival(fake.Path(first + 1));
    catcher.join();
    EXPECT_EQ(text, "Error -- Couldn't register handle notification");
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
    fake.SetNotificationsFail(false);
}

TEST_F(DeviceChange, ArrivalWithoutEventDataShowsTheError) {
    std::string text;
    std::thread catcher([&] { text = CatchErrorBox(); });
    SendMessageA(window.hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    catcher.join();
    EXPECT_EQ(text, "Error -- Parameter lParam is NULL");
}

TEST_F(DeviceChange, LedWriteClearsTheOtherLedsOfTheSameReport) {
    int vendor = PlugIn() + 2;
    VnHidSetLED(0x19, 1);
    VnHidSetLED(0x27, 1);
    auto out = fake.Outputs(vendor);
    ASSERT_EQ(out.size(), 2u);
    // Output report 3: bits 0..2 lock LEDs, bit 3 Message Waiting, bit 4 Stand-by.
    EXPECT_EQ(out[0], (Bytes{0x03, 0x08}));
    EXPECT_EQ(out[1], (Bytes{0x03, 0x10}));
    VnHidSetLED(0x27, 0);
    out = fake.Outputs(vendor);
    ASSERT_EQ(out.size(), 3u);
    // Clearing starts from a zeroed report too: every LED of the report goes dark.
    EXPECT_EQ(out[2], (Bytes{0x03, 0x00}));
}

TEST_F(DeviceChange, NoKeyboardNoWrite) {
    EXPECT_EQ(VnHidSetLED(0x19, 1), 1);
    EXPECT_EQ(fake.OpenHandles(), 0);
}

// Run in children under other Windows versions: the lock LEDs are the system's on NT 4, 2000, XP.
TEST_F(DeviceChange, LockLedUnderChildVersion) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs in the version children";
    int vendor = PlugIn() + 2;
    VnHidSetLED(2, 1);
    int os = VnHidGetOSType();
    bool system = os == 4 || os == 5 || os == 6;
    ASSERT_EQ(fake.Outputs(vendor).size(), system ? 0u : 1u) << "OS type " << os;
    if (!system) {
        EXPECT_EQ(fake.Outputs(vendor)[0], (Bytes{0x03, 0x02}));
    }
}

TEST(DeviceChangeVersions, LockLedsFollowTheWindowsVersion) {
    for (const char* v : {"win98", "nt40", "win2k", "winxp", "win2003"})
        EXPECT_EQ(vntest::RunSelf("DeviceChange.LockLedUnderChildVersion", {v}), 0) << v;
}

TEST(OsType, Table) {
    using vnhid::OsTypeFromVersion;
    EXPECT_EQ(OsTypeFromVersion(1, 4, 0), 1);
    EXPECT_EQ(OsTypeFromVersion(1, 4, 10), 2);
    EXPECT_EQ(OsTypeFromVersion(1, 4, 90), 3);
    EXPECT_EQ(OsTypeFromVersion(1, 4, 3), 0);
    EXPECT_EQ(OsTypeFromVersion(2, 3, 51), 4);
    EXPECT_EQ(OsTypeFromVersion(2, 4, 0), 4);
    EXPECT_EQ(OsTypeFromVersion(2, 5, 0), 5);
    EXPECT_EQ(OsTypeFromVersion(2, 5, 1), 6);
    EXPECT_EQ(OsTypeFromVersion(2, 5, 2), 7);
    EXPECT_EQ(OsTypeFromVersion(2, 5, 3), 0);
    EXPECT_EQ(OsTypeFromVersion(2, 6, 0), 0);
    EXPECT_EQ(OsTypeFromVersion(0, 3, 10), 0);
}

TEST(OsType, ReportedVersionInChild) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs in the version children";
    const char* expected = std::getenv("VNHID_EXPECT_OS");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(VnHidGetOSType(), std::atoi(expected));
}

TEST(OsType, UnderWineVersions) {
    const struct { const char* version; const char* type; } rows[] = {
        {"win95", "1"}, {"win98", "2"}, {"winme", "3"}, {"nt40", "4"},
        {"win2k", "5"}, {"winxp", "6"}, {"win2003", "7"}, {"win7", "0"}};
    for (const auto& row : rows) {
        vntest::ChildOptions options;
        options.windowsVersion = row.version;
        options.env.push_back(std::string("VNHID_EXPECT_OS=") + row.type);
        EXPECT_EQ(vntest::RunSelf("OsType.ReportedVersionInChild", options), 0) << row.version;
    }
}

TEST(ShellHook, SwallowsOnlyMediaSelect) {
    using vnhid::ConsumesShellEvent;
    EXPECT_TRUE(ConsumesShellEvent(12, std::intptr_t(16) << 16));
    EXPECT_TRUE(ConsumesShellEvent(12, (std::intptr_t(16) << 16) | 0x10000000 | 0x1234));
    EXPECT_FALSE(ConsumesShellEvent(12, std::intptr_t(8) << 16));  // mute
    EXPECT_FALSE(ConsumesShellEvent(1, std::intptr_t(16) << 16));
}

}  // namespace
