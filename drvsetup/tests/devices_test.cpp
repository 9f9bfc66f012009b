// Finding, removing and re-detecting devices by hardware ID on a scripted device tree, on the NT
// family and (in a child run under Wine's version switch) on the 9x family.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/testing/winetest.h"
#include "drvsetup/tests/fakedevices.h"
#include "drvsetup/vnsetup.h"

namespace {

const char kUsbId[] = "USB\\VID_1A2B&PID_3C4D&REV_0001&MI_00";

FakeDevice WithIds(const std::string& ids, DWORD configFlags = 0, bool present = true) {
    FakeDevice d;
    d.className = "HID";
    d.instanceId = "DEV" + std::to_string(configFlags);
    d.hardwareIds = ids;
    d.configFlags = configFlags;
    d.present = present;
    return d;
}

std::string List(const char* first, const char* second) {
    return std::string(first) + '\0' + second + '\0' + '\0';
}

class HardwareIds : public ::testing::Test {
protected:
    FakeDevices tree;
};

TEST(FindDevice, OnlyFlagsZeroOrTheNotInstalledMarkCountAsUsable) {
    const std::string ids = List(kUsbId, "USB\\VID_1A2B&PID_3C4D&MI_00");
    struct Case {
        DWORD flags;
        bool readable;
        int expected;
    } cases[] = {{0, true, 1}, {0x00020000, true, 1}, {0x00000040, true, 0}, {0x00020040, true, 0}, {0, false, 0}};
    for (const Case& c : cases) {
        FakeDevices tree;
        tree.Add(WithIds(ids, c.flags)).hasConfigFlags = c.readable;
        EXPECT_EQ(FindExistingDevice("HID", "usb\\vid_1a2b&pid_3c4d&mi_00"), c.expected) << std::hex << c.flags;
    }
    FakeDevices tree;
    // The first match decides, even when a later one would be usable.
    tree.Add(WithIds(ids, 0x40));
    tree.Add(WithIds(ids, 0));
    EXPECT_EQ(FindExistingDevice("", kUsbId), 0);
    EXPECT_EQ(FindExistingDevice("HID", "USB\\VID_1A2B&PID_3C4D"), 0);
}

TEST_F(HardwareIds, ReadErrorsSkipTheDeviceOrEndTheScan) {
    tree.Add(WithIds("")).hardwareIdError = ERROR_INVALID_DATA;  // no hardware ID: skipped
    tree.Add(WithIds(List(kUsbId, "x"))).hardwareIdClaimedSize = 0x7FFFFFFF;  // absurd size: skipped
    tree.Add(WithIds(std::string(kUsbId)));  // no terminator at all
    EXPECT_EQ(FindExistingDevice(nullptr, kUsbId), 1);

    FakeDevices broken;
    broken.Add(WithIds("")).hardwareIdError = ERROR_GEN_FAILURE;  // any other error ends the scan
    broken.Add(WithIds(List(kUsbId, "x")));
    EXPECT_EQ(RemoveAndReenumerateDevice(nullptr, kUsbId), 0);
    EXPECT_TRUE(broken.Entries("classremove").empty());
}

TEST_F(HardwareIds, RemovingRedetectsOnlyAfterARemoval) {
    tree.Add(WithIds(List("ACPI\\PNP0303", kUsbId)));
    tree.Add(WithIds(List(kUsbId, "")));
    tree.Add(WithIds(List("USB\\OTHER", "")));
    EXPECT_EQ(RemoveAndReenumerateDevice("", kUsbId), 2);
    EXPECT_EQ(tree.Entries("classremove").size(), 2u);
    EXPECT_EQ(tree.Entries("reenumerate 1 1").size(), 1u);  // the root node, synchronously
    EXPECT_EQ(tree.log.back(), "wait 5000");
    EXPECT_EQ(tree.openSets, 0);

    tree.log.clear();
    EXPECT_EQ(RemoveAndReenumerateDevice("", kUsbId), 0);
    EXPECT_TRUE(tree.Entries("reenumerate").empty());
}

TEST_F(HardwareIds, QuestionSignIsClearedOnPresentMatchesOnly) {
    tree.Add(WithIds(List(kUsbId, ""), 0x00020040));
    tree.Add(WithIds(List(kUsbId, ""), 0x00020000, false));
    tree.Add(WithIds(List(kUsbId, ""), 0x00000040)).instanceId = "DEV40b";
    EXPECT_EQ(RemoveQuestionSign("HID", kUsbId), 1);
    EXPECT_EQ(tree.Device(0).configFlags, 0x40u);
    EXPECT_EQ(tree.Device(1).configFlags, 0x00020000u);
    EXPECT_EQ(tree.Entries("set").size(), 1u);
    EXPECT_EQ(tree.Entries("classdevs class flags=2").size(), 1u);
    tree.failClassDevs = true;
    EXPECT_EQ(RemoveQuestionSign("HID", kUsbId), -1);
}

TEST_F(HardwareIds, ReenumerationWithoutDelayGivesTheResult) {
    tree.reenumerateResult = CR_FAILURE;
    EXPECT_EQ(ReenumerateDeviceWithoutDelay(), static_cast<DWORD>(CR_FAILURE));
    EXPECT_EQ(tree.log, (std::vector<std::string>{"locate root 0", "reenumerate 1 1"}));
    ReenumerateDevice();
    EXPECT_EQ(tree.log.back(), "wait 5000");
}

TEST_F(HardwareIds, BadIdsFailWithoutTouchingDevices) {
    tree.Add(WithIds(List(kUsbId, ""), 0x20000));
    const std::string longId(300, 'U');
    for (const char* id : {static_cast<const char*>(nullptr), "", longId.c_str()}) {
        EXPECT_EQ(FindExistingDevice("HID", id), 0);
        EXPECT_EQ(RemoveAndReenumerateDevice("HID", id), 0);
        EXPECT_EQ(RemoveQuestionSign("HID", id), 0);
    }
    EXPECT_TRUE(tree.Entries("classremove").empty());
    EXPECT_TRUE(tree.Entries("set").empty());
}

// The 9x family reads one hardware ID and matches the short forms the installer passes.
TEST(NineXFamily, ShortFormsAndPrefixesMatch) {
    if (!vntest::InChild()) {
        vntest::ChildOptions options;
        options.windowsVersion = "win98";
        EXPECT_EQ(vntest::RunSelf("NineXFamily.*", options), 0);
        return;
    }
    OSVERSIONINFOA info{sizeof info};
    ASSERT_TRUE(GetVersionExA(&info));
    ASSERT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    FakeDevices tree;
    tree.Add(WithIds(List(kUsbId, "USB\\VID_1A2B&PID_3C4D&MI_00"), 0x20000));
    tree.Add(WithIds(std::string(300, 'U'), 0x20000));  // longer than the buffer: skipped
    EXPECT_EQ(FindExistingDevice("HID", "USB\\VID_1A2B&PID_3C4D&MI_00"), 1);
    EXPECT_EQ(FindExistingDevice("HID", "USB\\VID_1A2B&PID_3C4D"), 1);
    EXPECT_EQ(FindExistingDevice("HID", "USB\\VID_1A2B&PID_9999&MI_00"), 0);
    EXPECT_EQ(RemoveQuestionSign("HID", "usb\\vid_1a2b&pid_3c4d&rev"), 1);
    EXPECT_EQ(tree.Device(0).configFlags, 0u);
    EXPECT_EQ(tree.Device(1).configFlags, 0x20000u);
    EXPECT_EQ(RemoveAndReenumerateDevice("HID", "USB\\VID_1A2B&PID_3C4D&MI_00"), 1);
}

}  // namespace

namespace {

// The system's own device installation, loaded at run time, answers for devices that are not there.
TEST(SystemDevices, AbsentKeyboardIsNeitherFoundNorTouched) {
    char desc[256], mfg[256], provider[256];
    EXPECT_EQ(FindExistingDevice("Keyboard", "USB\\VID_0000&PID_0000&MI_00"), 0);
    EXPECT_EQ(GetConnectedDeviceNumber(nullptr, "Kalvo USB Tessaro Keyboard", ""), 0);
    EXPECT_EQ(RemoveDeviceDriver("Keyboard", "Kalvo USB Tessaro Keyboard", "Kalvo"), 0);
    EXPECT_EQ(EnumDeviceDriver("USB", "USB\\VID_0000&PID_0000", 0, desc, mfg, provider), 0);
    EXPECT_EQ(RemoveQuestionSign("", "USB\\VID_0000&PID_0000"), 1);
}

}  // namespace
