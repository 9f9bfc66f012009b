// Finding and opening the keyboard's collections.
#include <gtest/gtest.h>

#include "common/testing/winetest.h"
#include "hidkbd/library.h"
#include "hidkbd/tests/fakekbd.h"
#include "hidkbd/tests/testwindow.h"
#include "hidkbd/vnusbkbd.h"

namespace {

using namespace fakekbd;

const VnHidDeviceEntry kTable[] = {
    {kVendor, kProductUsb, "Tessaro USB", "Kalvo"},
    {kVendor, kProductPs2Combo, "Tessaro Combo", "Kalvo"},
};

struct Discovery : ::testing::Test {
    FakeHid fake;
    TestWindow window;
    void TearDown() override {
        VnHidClose();
        EXPECT_EQ(fake.OpenHandles(), 0);
        EXPECT_EQ(fake.OutstandingPreparsed(), 0);
    }
};

TEST_F(Discovery, NoKeyboardSucceedsWithNoDeviceAndNoHook) {
    EXPECT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
}

TEST_F(Discovery, OpensTheConsumerAndVendorCollectionsOfListedModels) {
    fake.PlugKeyboard(kProductUsb, 0);
    fake.PlugKeyboard(kProductPs2Combo, 1);
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 4);
    EXPECT_TRUE(vnhid::ShellHookInstalled());
    // Each accepted device holds an info handle and a read handle.
    EXPECT_EQ(fake.OpenHandles(), 8);
}

TEST_F(Discovery, KeyboardOnlyInterfaceAndUnlistedVendorAreNotAccepted) {
    fake.Plug("\\\\?\\hid#vid_2a7e&pid_5a01&col01#1", kVendor, kProductUsb, KeyboardDescriptor());
    fake.Plug("\\\\?\\hid#vid_1234&pid_5a01#1", 0x1234, kProductUsb, ConsumerDescriptor());
    fake.Plug("\\\\?\\hid#vid_2a7e&pid_5a03#1", kVendor, 0x5A03, VendorDescriptor());
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
    EXPECT_EQ(fake.OpenHandles(), 0);
    EXPECT_EQ(fake.OutstandingPreparsed(), 0);
}

TEST_F(Discovery, AnInterfaceThatCannotBeOpenedFailsTheSearch) {
    int first = fake.PlugKeyboard(kProductUsb);
    fake.SetOpenFails(first + 2, true);
    EXPECT_EQ(VnHidInit(window.hwnd(), kTable, 2), 0);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_EQ(fake.OpenHandles(), 0);
}

TEST_F(Discovery, SecondInitClosesTheFirstSet) {
    int first = fake.PlugKeyboard(kProductUsb);
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    HANDLE before = fake.InfoHandle(first + 1);
    ASSERT_TRUE(before);
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    EXPECT_EQ(fake.OpenHandles(), 4);  // not 8: the first set is closed
    // Only the second set's reader sees reports: one make, not two.
    fake.Feed(first + 2, {0x02, 0x01});
    window.WaitFor(1);
    vntest::PumpFor(200);
    EXPECT_EQ(window.events().size(), 1u);
}

TEST_F(Discovery, MoreThanEightCollectionsAreAllOpened) {
    for (int k = 0; k < 5; ++k) fake.PlugKeyboard(k % 2 ? kProductPs2Combo : kProductUsb, k);
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 10);
    EXPECT_EQ(fake.OpenHandles(), 20);
}

// A handle registration that the system refuses undoes the whole start: nothing stays open.
TEST_F(Discovery, RefusedRegistrationRollsTheStartBack) {
    fake.PlugKeyboard(kProductUsb, 0);
    fake.PlugKeyboard(kProductPs2Combo, 1);
    fake.SetNotificationsFail(true);
    EXPECT_EQ(VnHidInit(window.hwnd(), kTable, 2), 0);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
    EXPECT_EQ(fake.OpenHandles(), 0);
    EXPECT_EQ(fake.OutstandingPreparsed(), 0);
    fake.SetNotificationsFail(false);
    EXPECT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 4);
}

TEST_F(Discovery, CloseWithNothingOpenIsHarmless) {
    EXPECT_EQ(VnHidClose(), 1);
    EXPECT_EQ(VnHidClose(), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
}

}  // namespace

namespace {

// Windows 95 and NT 4.0 have no device notifications: a keyboard present at start works all the
// same (a PS/2-connected one reaches the service through the hook alone).
TEST_F(Discovery, WithoutDeviceNotificationsUnderChildVersion) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs in the version children";
    int first = fake.PlugKeyboard(kProductUsb);
    ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
    fake.Feed(first + 1, {0x01, 0x1E, 0, 0, 0});
    ASSERT_EQ(window.WaitFor(1).size(), 1u);
    EXPECT_EQ(window.events()[0].lParam, LPARAM(0x000C00CD));
}

TEST(DiscoveryVersions, OldSystemsWithoutDeviceNotifications) {
    for (const char* v : {"win95", "nt40"})
        EXPECT_EQ(vntest::RunSelf("Discovery.WithoutDeviceNotificationsUnderChildVersion", {v}), 0) << v;
}

// The system's own HID stack under Wine: its virtual mouse and keyboard are not ours.
TEST(SystemHid, NoKeyboardOfOursIsFound) {
    fakekbd::TestWindow window;
    EXPECT_EQ(VnHidInit(window.hwnd(), kTable, 2), 1);
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_FALSE(vnhid::ShellHookInstalled());
    VnHidClose();
}

}  // namespace
