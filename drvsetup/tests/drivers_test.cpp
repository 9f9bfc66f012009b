// Installing, restoring, removing and listing drivers on a scripted device tree.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "drvsetup/tests/fakedevices.h"
#include "drvsetup/vnsetup.h"

namespace {

const char kDesc[] = "Kalvo USB Tessaro Keyboard";
const char kInf[] = "A:\\DRIVERS\\TESSARO.INF";
const FakeDriver kOwn{kDesc, "Kalvo", "Kalvo", kInf};
const FakeDriver kSystemDriver{"HID Keyboard Device", "(Standard keyboards)", "System", "keyboard.inf"};

FakeDevice Keyboard(const char* instanceId, std::vector<FakeDriver> drivers = {kOwn, kSystemDriver}) {
    FakeDevice d;
    d.instanceId = instanceId;
    d.hardwareIds = std::string("USB\\VID_1A2B&PID_3C4D\0\0", 23);
    d.description = kDesc;
    d.drivers = std::move(drivers);
    return d;
}

std::string ReadValue(const std::string& keyPath, const char* name, DWORD* type = nullptr) {
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return "<no key>";
    char data[300] = {};
    DWORD size = sizeof data, t = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &t, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "<none>";
    if (type) *type = t;
    return std::string(data, size);
}

void WriteValue(const std::string& keyPath, const char* name, DWORD type, const std::string& bytes) {
    vn::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Flags(DWORD flags) {
    char text[16];
    wsprintfA(text, "flags=%08lx", flags);
    return text;
}

class Drivers : public ::testing::Test {
protected:
    FakeDevices tree;
};

TEST_F(Drivers, InstallCopiesFilesOnceAndRepairsTheFilterList) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\2"));
    tree.Add(Keyboard("USB\\VID_9999&PID_0001\\1", {kSystemDriver}));  // the INF does not serve it
    WriteValue(tree.HardwareKey(0), "LowerFilters", REG_SZ, "kbdfilt,");
    WriteValue(tree.HardwareKey(1), "LowerFilters", REG_SZ, std::string("kbdfilt\0", 8));

    EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", kInf, kDesc, "Kalvo", nullptr, 1, 1), 2);
    auto installs = tree.Entries("install");
    ASSERT_EQ(installs.size(), 2u);
    EXPECT_EQ(installs[0], "install USB\\VID_1A2B&PID_3C4D\\1 " + std::string(kDesc) + " " + Flags(DI_ENUMSINGLEINF));
    EXPECT_EQ(installs[1], "install USB\\VID_1A2B&PID_3C4D\\2 " + std::string(kDesc) + " " +
                               Flags(DI_ENUMSINGLEINF | DI_NOFILECOPY));
    EXPECT_STREQ(tree.Device(0).params.DriverPath, kInf);
    EXPECT_TRUE(tree.Entries("asked to select USB\\VID_9999").empty());  // known unserved from its list
    EXPECT_EQ(tree.Device(0).friendlyName, kDesc);
    DWORD type = 0;
    EXPECT_EQ(ReadValue(tree.HardwareKey(0), "LowerFilters", &type), std::string("kbdfilt\0\0", 9));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(ReadValue(tree.HardwareKey(1), "LowerFilters", &type), std::string("kbdfilt\0", 8));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(tree.openSets, 0);
}

TEST_F(Drivers, FilterValuesOfOddLengthFullOrTooLongAreHandledSafely) {
    const std::string full = std::string(259, 'f') + ",";
    const std::string tooLong = std::string(299, 'f') + ",";
    const char* values[] = {"kbdf,", full.c_str(), tooLong.c_str()};
    for (int i = 0; i < 3; ++i) {
        tree.Add(Keyboard(("USB\\VID_1A2B&PID_3C4D\\" + std::to_string(i)).c_str()));
        WriteValue(tree.HardwareKey(i), "LowerFilters", REG_BINARY, values[i]);  // no terminator
    }
    EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", kInf, kDesc, "Kalvo", nullptr, 1, 1), 3);
    EXPECT_EQ(ReadValue(tree.HardwareKey(0), "LowerFilters"), std::string("kbdf\0\0", 6));
    EXPECT_EQ(ReadValue(tree.HardwareKey(1), "LowerFilters"), std::string(259, 'f') + std::string(2, '\0'));
    EXPECT_EQ(ReadValue(tree.HardwareKey(2), "LowerFilters"), tooLong);  // longer than the buffer: left alone
}

TEST_F(Drivers, InstallWithoutCopyOrConfigManagerAndByProvider) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1", {{kDesc, "Kalvo", "Varnel", kInf}}));
    EXPECT_EQ(InstallPnPDeviceDriver(nullptr, kInf, kDesc, "Kalvo", "", 1, 1), 0);  // provider defaults to the maker
    EXPECT_EQ(InstallPnPDeviceDriver("", kInf, kDesc, "Kalvo", "Varnel", 0, 0), 1);
    EXPECT_EQ(tree.Entries("install")[0], "install USB\\VID_1A2B&PID_3C4D\\1 " + std::string(kDesc) + " " +
                                              Flags(DI_ENUMSINGLEINF | DI_NOFILECOPY | DI_DONOTCALLCONFIGMG));
    EXPECT_EQ(tree.Entries("classdevs all flags=4").size(), 2u);  // no class: every class
}

TEST_F(Drivers, RestorePutsTheFirstOtherDriverOnAndSkipsTheOwnOne) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\2", {kOwn}));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\3", {kSystemDriver})).description = "Another keyboard";
    WriteValue(tree.HardwareKey(0), "LowerFilters", REG_MULTI_SZ, std::string("kbdfilt\0\0", 9));
    WriteValue(tree.HardwareKey(0), "FriendlyName", REG_SZ, kDesc);

    EXPECT_EQ(RestoreDeviceDriver(nullptr, kDesc, "Kalvo", nullptr, 0), 1);
    auto installs = tree.Entries("install");
    ASSERT_EQ(installs.size(), 1u);
    EXPECT_EQ(installs[0], "install USB\\VID_1A2B&PID_3C4D\\1 HID Keyboard Device " +
                               Flags(DI_NOFILECOPY | DI_QUIETINSTALL | DI_DONOTCALLCONFIGMG));
    EXPECT_EQ(tree.Entries("clear USB\\VID_1A2B&PID_3C4D\\1").size(), 3u);
    EXPECT_EQ(ReadValue(tree.HardwareKey(0), "LowerFilters"), "<none>");
    EXPECT_EQ(ReadValue(tree.HardwareKey(0), "FriendlyName"), "<none>");
    EXPECT_TRUE(tree.Entries("select USB\\VID_1A2B&PID_3C4D\\2").empty());
    EXPECT_FALSE(tree.Device(0).listBuilt);
}

TEST_F(Drivers, RestoreTriesTheNextDriverWhenAnInstallFails) {
    FakeDevice& d = tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1", {kSystemDriver, kSystemDriver}));
    d.installFails = true;
    EXPECT_EQ(RestoreDeviceDriver("Keyboard", kDesc, "", nullptr, 1), 0);
    EXPECT_EQ(tree.Entries("install").size(), 2u);
}

class InfCleanUp : public Drivers {
protected:
    void SetUp() override {
        tree.windowsFolder = windows.path();
        tree.systemFolder = windows.file("SYSTEM32");
        for (const char* folder : {"INF", "INF\\OTHER", "SYSTEM32", "SYSTEM32\\CatRoot", kCatalogs})
            CreateDirectoryA(windows.file(folder).c_str(), nullptr);
        for (const char* file : {"INF\\OTHER\\oem3.inf", "INF\\OTHER\\oem3.pnf", "INF\\oem3.inf", "INF\\oem3.PNF",
                                 "INF\\DRVIDX.BIN", "INF\\DRVDATA.BIN", "INF\\keyboard.inf"})
            ASSERT_TRUE(vntest::WriteFileBytes(windows.file(file), "x"));
        ASSERT_TRUE(vntest::WriteFileBytes(Catalog(), "x"));
        SetFileAttributesA(windows.file("INF\\OTHER\\oem3.inf").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    std::string Catalog() const { return windows.file(kCatalogs) + "\\oem3.cat"; }

    static constexpr const char* kCatalogs = "SYSTEM32\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}";
    vntest::TempDir windows;
};

TEST_F(InfCleanUp, RemovingDeletesTheInfItsCompanionsAndTheDriverIndex) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\2")).manufacturer = "Someone else";
    WriteValue(tree.DriverKey(0), "InfPath", REG_SZ, std::string("oem3.inf", 9));

    EXPECT_EQ(RemoveDeviceDriver("Keyboard", kDesc, "kalvo"), 1);
    EXPECT_EQ(tree.Entries("remove"), std::vector<std::string>{"remove USB\\VID_1A2B&PID_3C4D\\1"});
    EXPECT_FALSE(Exists(windows.file("INF\\OTHER\\oem3.inf")));  // read-only, still deleted
    EXPECT_FALSE(Exists(windows.file("INF\\OTHER\\oem3.pnf")));
    EXPECT_FALSE(Exists(Catalog()));
    EXPECT_FALSE(Exists(windows.file("INF\\DRVIDX.BIN")));
    EXPECT_FALSE(Exists(windows.file("INF\\DRVDATA.BIN")));
    // The copy found first is the one deleted; the system's own INFs stay.
    EXPECT_TRUE(Exists(windows.file("INF\\oem3.inf")));
    EXPECT_TRUE(Exists(windows.file("INF\\keyboard.inf")));

    // A full path is taken as it stands, with the precompiled file beside it.
    ASSERT_TRUE(vntest::WriteFileBytes(windows.file("OEM3.INF"), "x"));
    ASSERT_TRUE(vntest::WriteFileBytes(windows.file("OEM3.PNF"), "x"));
    WriteValue(tree.DriverKey(1), "InfPath", REG_SZ, windows.file("OEM3.INF"));
    tree.Device(1).manufacturer = "Kalvo";
    EXPECT_EQ(RestoreDeviceDriver("Keyboard", kDesc, "Kalvo", nullptr, 1), 1);
    EXPECT_FALSE(Exists(windows.file("OEM3.INF")));
    EXPECT_FALSE(Exists(windows.file("OEM3.PNF")));
    EXPECT_TRUE(Exists(windows.file("INF\\oem3.inf")));
}

TEST_F(InfCleanUp, EmptyOrMissingInfPathDeletesNothing) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\2")).hasDriverKey = false;
    WriteValue(tree.DriverKey(0), "InfPath", REG_SZ, "");
    EXPECT_EQ(RemoveDeviceDriver("Keyboard", kDesc, nullptr), 2);
    for (const char* file : {"INF\\OTHER\\oem3.inf", "INF\\DRVIDX.BIN", "INF\\DRVDATA.BIN"})
        EXPECT_TRUE(Exists(windows.file(file))) << file;
    EXPECT_TRUE(Exists(Catalog()));
}

TEST_F(InfCleanUp, BareNameIsNotTakenFromTheCurrentFolder) {
    vntest::TempDir here;
    ASSERT_TRUE(vntest::WriteFileBytes(here.file("oem3.inf"), "x"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(here.path().c_str());
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    WriteValue(tree.DriverKey(0), "InfPath", REG_SZ, "oem3.inf");
    tree.windowsFolder = here.file("no windows");
    EXPECT_EQ(RemoveDeviceDriver("Keyboard", kDesc, nullptr), 1);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(Exists(here.file("oem3.inf")));
}

TEST_F(Drivers, ConnectedDeviceCountsOnlyPresentMatches) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1")).present = false;
    EXPECT_EQ(GetConnectedDeviceNumber("Keyboard", kDesc, ""), 0);
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\2")).hasManufacturer = false;  // passes the maker test
    EXPECT_EQ(GetConnectedDeviceNumber("keyboard", "kalvo usb tessaro keyboard", "Kalvo"), 1);
    EXPECT_EQ(GetConnectedDeviceNumber("Mouse", kDesc, ""), 0);
    EXPECT_EQ(tree.Entries("classdevs class flags=2").size(), 3u);
    EXPECT_EQ(GetConnectedDeviceNumber("No such class", kDesc, ""), 1);  // all classes
    EXPECT_EQ(tree.Entries("classdevs all flags=6").size(), 1u);
}

TEST_F(Drivers, EnumerationCursorRestartsAtZeroAndIsReleasedAtTheEnd) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D&MI_00\\1", {{"Other", "M", "P", "x.inf"}}));
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\7"));
    char desc[256], mfg[256], provider[256];
    const char* prefix = "usb\\vid_1a2b&pid_3c4d";
    ASSERT_EQ(EnumDeviceDriver("Keyboard", prefix, 0, desc, mfg, provider), 1);
    EXPECT_STREQ(desc, kDesc);
    EXPECT_STREQ(provider, "Kalvo");
    ASSERT_EQ(EnumDeviceDriver("Keyboard", prefix, 1, desc, mfg, provider), 1);
    EXPECT_STREQ(mfg, "(Standard keyboards)");
    EXPECT_EQ(tree.openSets, 1);
    // A new enumeration drops the old cursor first.
    ASSERT_EQ(EnumDeviceDriver("Keyboard", prefix, 0, desc, mfg, provider), 1);
    EXPECT_EQ(tree.openSets, 1);
    EXPECT_EQ(EnumDeviceDriver("Keyboard", prefix, 2, desc, mfg, provider), 0);
    EXPECT_EQ(tree.openSets, 0);
    EXPECT_FALSE(tree.Device(1).listBuilt);
    EXPECT_EQ(EnumDeviceDriver("Keyboard", "USB\\VID_5555", 0, desc, mfg, provider), 0);
    EXPECT_EQ(tree.openSets, 0);
}

TEST_F(Drivers, BadTextsFailWithoutTouchingDevices) {
    tree.Add(Keyboard("USB\\VID_1A2B&PID_3C4D\\1"));
    const std::string longText(300, 'k');
    char out[256];
    for (const char* desc : {static_cast<const char*>(nullptr), "", longText.c_str()}) {
        EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", kInf, desc, "Kalvo", nullptr, 1, 1), 0);
        EXPECT_EQ(GetConnectedDeviceNumber("Keyboard", desc, nullptr), 0);
        EXPECT_EQ(RemoveDeviceDriver("Keyboard", desc, nullptr), 0);
        EXPECT_EQ(RestoreDeviceDriver("Keyboard", desc, nullptr, nullptr, 1), 0);
        EXPECT_EQ(EnumDeviceDriver("Keyboard", desc, 0, out, out, out), 0);
    }
    for (const char* inf : {static_cast<const char*>(nullptr), "", longText.c_str()})
        EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", inf, kDesc, "Kalvo", nullptr, 1, 1), 0);
    EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", kInf, kDesc, longText.c_str(), nullptr, 1, 1), 0);
    EXPECT_EQ(RestoreDeviceDriver("Keyboard", kDesc, "Kalvo", longText.c_str(), 1), 0);
    EXPECT_EQ(EnumDeviceDriver("Keyboard", "USB", 0, nullptr, out, out), 0);
    EXPECT_EQ(EnumDeviceDriver("Keyboard", "USB", -1, out, out, out), 0);
    EXPECT_TRUE(tree.Entries("install").empty());
    EXPECT_TRUE(tree.Entries("remove").empty());
    EXPECT_EQ(tree.openSets, 0);

    tree.failClassDevs = true;
    EXPECT_EQ(InstallPnPDeviceDriver("Keyboard", kInf, kDesc, "Kalvo", nullptr, 1, 1), 0);
    EXPECT_EQ(RemoveDeviceDriver(nullptr, kDesc, nullptr), 0);
}

}  // namespace
