// The settings store against Wine's real registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/vnutil.h"

namespace {

const char kRoot[] = "Software\\VnTest\\Productivity";
const char kUserPath[] = "Software\\VnTest\\Productivity\\users\\user1";

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        Reg_InitProfile(kRoot, "user1");
    }
    void TearDown() override { Clean(); }
    static void Clean() {
        vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnTest");
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\VnTest");
    }
    // Writes a raw value, creating the key.
    static void Put(HKEY hive, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
        vn::RegKey k;
        ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    static void PutText(HKEY hive, const std::string& path, const char* name, const std::string& text,
                        DWORD type = REG_SZ) {
        Put(hive, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static bool KeyExists(HKEY hive, const std::string& path) {
        vn::RegKey k;
        return RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, k.out()) == ERROR_SUCCESS;
    }
    static DWORD TypeOf(HKEY hive, const std::string& path, const char* name) {
        vn::RegKey k;
        DWORD type = 0;
        if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, k.out()) != ERROR_SUCCESS) return 0;
        if (RegQueryValueExA(k.get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) return 0;
        return type;
    }
};

TEST_F(Store, UserBranchFallsBackToMachineCopy) {
    std::string machineOsd = std::string(kRoot) + "\\OSD";
    DWORD seven = 7;
    Put(HKEY_LOCAL_MACHINE, machineOsd, "Duration", REG_DWORD, &seven, 4);
    int v = 0;
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Duration", &v, 5), 1);
    EXPECT_EQ(v, 7);

    // Equal to the machine-wide value: not copied into the user branch.
    EXPECT_EQ(Reg_SetProfileNumber("OSD", "Duration", 7), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath) + "\\OSD"));

    EXPECT_EQ(Reg_SetProfileNumber("OSD", "Duration", 9), 1);
    EXPECT_EQ(TypeOf(HKEY_CURRENT_USER, std::string(kUserPath) + "\\OSD", "Duration"), DWORD(REG_DWORD));
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Duration", &v, 5), 1);
    EXPECT_EQ(v, 9);
    EXPECT_EQ(Reg_SetProfileNumber("OSD", "Duration", 9), 0);  // unchanged: nothing written
}

TEST_F(Store, MachineOnlyModeUsesLocalMachine) {
    Reg_InitProfile(kRoot, nullptr);
    EXPECT_EQ(Reg_SetProfileString("Buttons\\Aux1", "DisplayName", "Mail"), 1);
    char buf[260] = {};
    EXPECT_EQ(Reg_GetValueString(HKEY_LOCAL_MACHINE, "Software\\VnTest\\Productivity\\Buttons\\Aux1", "DisplayName",
                                 buf, sizeof buf),
              1);
    EXPECT_STREQ(buf, "Mail");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\VnTest"));
    // A user value is never seen in machine-only mode.
    PutText(HKEY_CURRENT_USER, std::string(kRoot) + "\\users\\\\Buttons\\Aux1", "DisplayName", "User");
    EXPECT_EQ(Reg_GetProfileString("Buttons\\Aux1", "DisplayName", buf, sizeof buf, "def"), 1);
    EXPECT_STREQ(buf, "Mail");
}

TEST_F(Store, EmptyUserNameAndEmptySectionAddressTheRootInCurrentUser) {
    Reg_InitProfile(kRoot, "");
    EXPECT_EQ(Reg_SetProfileNumber(nullptr, "Top", 3), 1);
    int v = 0;
    EXPECT_EQ(Reg_GetValueNumber(HKEY_CURRENT_USER, kRoot, "Top", &v), 1);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(Reg_GetProfileNumber("", "Top", &v, 0), 1);
    EXPECT_EQ(v, 3);
}

// Before a caller has given the store its root there is no store to write to.
TEST_F(Store, NothingIsWrittenWithoutARoot) {
    for (const char* user : {"", "user1"}) {
        Reg_InitProfile("", user);
        EXPECT_EQ(Reg_SetProfileNumber("VnTestNoRoot", "Color", 5), 0);
        EXPECT_EQ(Reg_SetProfileString("VnTestNoRoot", "FaceName", "Arial"), 0);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "VnTestNoRoot"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "users"));
    }
    Reg_InitProfile("", nullptr);
    EXPECT_EQ(Reg_SetProfileNumber("VnTestNoRoot", "Color", 5), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "VnTestNoRoot"));
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "VnTestNoRoot");
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "users");
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "VnTestNoRoot");
}

TEST_F(Store, StringReadsDefaultsAndBufferRules) {
    char buf[16];
    EXPECT_EQ(Reg_GetProfileString("OSD", "Font", buf, sizeof buf, "Arial"), 0);
    EXPECT_STREQ(buf, "Arial");
    EXPECT_EQ(Reg_GetProfileString("OSD", "Font", nullptr, 0, "Arial"), 0);  // null buffer: no crash

    PutText(HKEY_CURRENT_USER, std::string(kUserPath) + "\\OSD", "Font", "0123456789ABCDEF");  // 17 bytes
    std::memset(buf, '#', sizeof buf);
    char guard = '#';
    EXPECT_EQ(Reg_GetProfileString("OSD", "Font", buf, 16, nullptr), 0);
    EXPECT_EQ(guard, '#');
    char fits[17];
    EXPECT_EQ(Reg_GetProfileString("OSD", "Font", fits, 17, nullptr), 1);
    EXPECT_STREQ(fits, "0123456789ABCDEF");

    // Any stored type reads back as its raw bytes.
    DWORD number = 0x00636261;  // "abc"
    Put(HKEY_CURRENT_USER, std::string(kUserPath) + "\\OSD", "Raw", REG_DWORD, &number, 4);
    EXPECT_EQ(Reg_GetProfileString("OSD", "Raw", buf, sizeof buf, nullptr), 1);
    EXPECT_STREQ(buf, "abc");
}

TEST_F(Store, ExpandableStringsAreExpanded) {
    SetEnvironmentVariableA("VNTEST_DIR", "C:\\Kalvo");
    PutText(HKEY_CURRENT_USER, std::string(kUserPath) + "\\Buttons\\Aux2", "ActionCommand",
            "%VNTEST_DIR%\\app.exe", REG_EXPAND_SZ);
    char buf[260];
    EXPECT_EQ(Reg_GetProfileString("Buttons\\Aux2", "ActionCommand", buf, sizeof buf, nullptr), 1);
    EXPECT_STREQ(buf, "C:\\Kalvo\\app.exe");
    char small[8];
    EXPECT_EQ(Reg_GetValueString(HKEY_CURRENT_USER, (std::string(kUserPath) + "\\Buttons\\Aux2").c_str(),
                                 "ActionCommand", small, sizeof small),
              0);
    // Expanding past 260 characters fails instead of cutting.
    std::string longText(300, 'p');
    PutText(HKEY_CURRENT_USER, std::string(kUserPath) + "\\Buttons\\Aux2", "Long", longText, REG_EXPAND_SZ);
    EXPECT_EQ(Reg_GetProfileString("Buttons\\Aux2", "Long", buf, sizeof buf, "d"), 0);
    EXPECT_STREQ(buf, "d");
}

TEST_F(Store, NumberTypes) {
    std::string osd = std::string(kUserPath) + "\\OSD";
    int v = 0;
    PutText(HKEY_CURRENT_USER, osd, "Text", "0x20");
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Text", &v, -1), 1);
    EXPECT_EQ(v, 32);
    const unsigned char four[4] = {1, 2, 0, 0};
    Put(HKEY_CURRENT_USER, osd, "Bin4", REG_BINARY, four, 4);
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Bin4", &v, -1), 1);
    EXPECT_EQ(v, 0x201);
    Put(HKEY_CURRENT_USER, osd, "Bin3", REG_BINARY, four, 3);
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Bin3", &v, -1), 0);
    EXPECT_EQ(v, -1);
    const char multi[] = "1\0 2\0";
    Put(HKEY_CURRENT_USER, osd, "Multi", REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Multi", &v, -2), 0);
    EXPECT_EQ(v, -2);
    std::string huge(300, '7');
    PutText(HKEY_CURRENT_USER, osd, "Huge", huge);
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Huge", &v, -3), 0);
    EXPECT_EQ(v, -3);
    EXPECT_EQ(Reg_GetProfileNumber("OSD", "Missing", nullptr, 4), 0);  // null result pointer
}

TEST_F(Store, BoolTypes) {
    std::string sec = std::string(kUserPath) + "\\SysTrayIcon";
    int v = -1;
    PutText(HKEY_CURRENT_USER, sec, "A", "true");
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "A", &v, 0), 1);
    EXPECT_EQ(v, 1);
    PutText(HKEY_CURRENT_USER, sec, "B", "0x10");
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "B", &v, 0), 1);
    EXPECT_EQ(v, 16);
    PutText(HKEY_CURRENT_USER, sec, "C", "abc");
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "C", &v, 5), 1);
    EXPECT_EQ(v, 0);
    const unsigned char two[2] = {1, 0};
    Put(HKEY_CURRENT_USER, sec, "D", REG_BINARY, two, 2);
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "D", &v, 0), 1);
    EXPECT_EQ(v, 1);
    std::vector<unsigned char> big(261, 1);
    Put(HKEY_CURRENT_USER, sec, "E", REG_BINARY, big.data(), 261);
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "E", &v, 7), 0);
    EXPECT_EQ(v, 7);
    // The profile writes REG_DWORD, the explicit hive REG_BINARY; both read back.
    EXPECT_EQ(Reg_SetProfileBool("SysTrayIcon", "Hide", 1), 1);
    EXPECT_EQ(TypeOf(HKEY_CURRENT_USER, sec, "Hide"), DWORD(REG_DWORD));
    EXPECT_EQ(Reg_SetValueBool(HKEY_CURRENT_USER, sec.c_str(), "Hide2", 1), 1);
    EXPECT_EQ(TypeOf(HKEY_CURRENT_USER, sec, "Hide2"), DWORD(REG_BINARY));
    EXPECT_EQ(Reg_GetProfileBool("SysTrayIcon", "Hide2", &v, 0), 1);
    EXPECT_EQ(v, 1);
}

TEST_F(Store, BinaryReadsAndDefaults) {
    const unsigned char data[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Reg_SetProfileBinary("OSD", "Blob", data, 6), 1);
    EXPECT_EQ(Reg_SetProfileBinary("OSD", "Blob", data, 6), 0);
    EXPECT_EQ(Reg_SetProfileBinary("OSD", "Blob", data, 5), 1);  // other length: written

    int count = 0;
    EXPECT_EQ(Reg_GetProfileBinary("OSD", "Blob", nullptr, &count, nullptr, 0), 1);  // sizing call
    EXPECT_EQ(count, 5);
    unsigned char buf[8] = {};
    count = sizeof buf;
    EXPECT_EQ(Reg_GetProfileBinary("OSD", "Blob", buf, &count, nullptr, 0), 1);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(buf[4], 5);

    unsigned char small[3] = {9, 9, 9};
    const unsigned char def[5] = {7, 7, 7, 7, 7};
    count = 3;
    EXPECT_EQ(Reg_GetProfileBinary("OSD", "Blob", small, &count, def, 5), 0);  // too small: default
    EXPECT_EQ(count, 3);
    EXPECT_EQ(small[2], 7);

    unsigned char out[8] = {};
    count = 8;
    EXPECT_EQ(Reg_GetProfileBinary("OSD", "Missing", out, &count, def, 2), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(out[1], 7);
    EXPECT_EQ(out[2], 0);

    // Explicit hive: a too-small buffer reports the needed size.
    count = 2;
    EXPECT_EQ(Reg_GetValueBinary(HKEY_CURRENT_USER, (std::string(kUserPath) + "\\OSD").c_str(), "Blob", buf, &count),
              0);
    EXPECT_EQ(count, 5);
}

TEST_F(Store, HugeBinaryIsRefusedWithoutOverrun) {
    std::vector<unsigned char> huge(1 << 20, 0xAB);
    std::string osd = std::string(kUserPath) + "\\OSD";
    Put(HKEY_CURRENT_USER, osd, "Huge", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size()));
    unsigned char buf[64];
    unsigned char guard[16];
    std::memset(guard, 0x5A, sizeof guard);
    int count = sizeof buf;
    EXPECT_EQ(Reg_GetProfileBinary("OSD", "Huge", buf, &count, nullptr, 0), 0);
    char text[260];
    EXPECT_EQ(Reg_GetProfileString("OSD", "Huge", text, sizeof text, "none"), 0);
    EXPECT_STREQ(text, "none");
    for (unsigned char g : guard) EXPECT_EQ(g, 0x5A);
    // Writing a huge value again compares without overrunning the 1040-byte comparison buffer.
    EXPECT_EQ(Reg_SetProfileBinary("OSD", "Huge", huge.data(), static_cast<int>(huge.size())), 0 + 1);
}

TEST_F(Store, OverlongTextsAndPathsAreRefused) {
    std::string longText(300, 'a');
    EXPECT_EQ(Reg_SetProfileString("OSD", "Font", longText.c_str()), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath) + "\\OSD"));
    EXPECT_EQ(Reg_SetProfileString("OSD", "Font", nullptr), 0);
    std::string longSection(300, 's');
    EXPECT_EQ(Reg_SetProfileNumber(longSection.c_str(), "X", 1), 0);
    int v = 0;
    EXPECT_EQ(Reg_GetProfileNumber(longSection.c_str(), "X", &v, 12), 0);
    EXPECT_EQ(v, 12);
    // A root over 258 characters is cut to 258; the store stays usable.
    std::string longRoot = "Software\\VnTest\\" + std::string(400, 'r');
    Reg_InitProfile(longRoot.c_str(), std::string(400, 'u').c_str());
    EXPECT_EQ(Reg_SetProfileNumber("OSD", "X", 1), 0);
}

TEST_F(Store, ExplicitWritesNeverCreateKeys) {
    EXPECT_EQ(Reg_SetValueNumber(HKEY_CURRENT_USER, "Software\\VnTest\\Missing", "X", 1), 0);
    EXPECT_EQ(Reg_SetValueString(HKEY_CURRENT_USER, "Software\\VnTest\\Missing", "X", "y"), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\VnTest\\Missing"));
    int v = 0;
    EXPECT_EQ(Reg_GetValueNumber(HKEY_CURRENT_USER, nullptr, "X", &v), 0);
}

TEST_F(Store, DefaultValueOfAKey) {
    PutText(HKEY_CURRENT_USER, "Software\\VnTest\\Def", "", "dflt");
    char buf[32];
    EXPECT_EQ(Reg_GetValueString(HKEY_CURRENT_USER, "Software\\VnTest\\Def", nullptr, buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "dflt");
    EXPECT_EQ(Reg_GetValueString(HKEY_CURRENT_USER, "Software\\VnTest\\Def", "", buf, sizeof buf), 1);
}

TEST_F(Store, StringWriteSkipsValueEqualToMachineCopy) {
    PutText(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Buttons\\Aux3", "DisplayName", "Word");
    EXPECT_EQ(Reg_SetProfileString("Buttons\\Aux3", "DisplayName", "Word"), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath)));
    EXPECT_EQ(Reg_SetProfileString("Buttons\\Aux3", "DisplayName", "word"), 1);  // case matters
}

TEST_F(Store, DelProfileKeyRemovesOnlyTheUserCopy) {
    EXPECT_EQ(Reg_SetProfileNumber("Buttons\\Aux1", "ActionType", 1), 1);
    PutText(HKEY_CURRENT_USER, std::string(kUserPath) + "\\Buttons\\Aux1\\Deeper", "x", "y");
    PutText(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Buttons\\Aux1", "DisplayName", "machine");
    EXPECT_EQ(Reg_DelProfileKey("Buttons", "Aux1"), 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath) + "\\Buttons\\Aux1"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kRoot) + "\\Buttons\\Aux1"));
    EXPECT_EQ(Reg_DelProfileKey("Buttons", "Aux1"), 0);
    EXPECT_EQ(Reg_DelProfileKey("Buttons", ""), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath) + "\\Buttons"));
}

TEST_F(Store, KeyCreationMakesDeepPaths) {
    EXPECT_EQ(Reg_SetProfileString("A\\B\\C\\D", "V", "deep"), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kUserPath) + "\\A\\B\\C\\D"));
}

}  // namespace
