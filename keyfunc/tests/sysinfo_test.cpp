// Windows version tests under Wine's reported versions, file versions of helper binaries built
// with version resources, the thread resource language and the last-error message box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/sysrules.h"
#include "keyfunc/vnutil.h"

namespace {

struct VersionCase {
    const char* wine;
    int win95, win98, winme, nt, win2000, winxp, win2003;
};
const VersionCase kVersions[] = {
    {"win95", 1, 0, 0, 0, 0, 0, 0},   {"win98", 0, 1, 0, 0, 0, 0, 0}, {"winme", 0, 0, 1, 0, 0, 0, 0},
    {"nt40", 0, 0, 0, 1, 0, 0, 0},    {"win2k", 0, 0, 0, 1, 1, 0, 0}, {"winxp", 0, 0, 0, 1, 0, 1, 0},
    {"win2003", 0, 0, 0, 1, 0, 0, 1}, {"win7", 0, 0, 0, 1, 0, 0, 0},
};

// Runs in a child started under the version named by VNTEST_KF_VERSION.
TEST(SystemVersion, ChildReportsConfiguredVersion) {
    const char* wanted = std::getenv("VNTEST_KF_VERSION");
    if (!vntest::InChild() || !wanted) GTEST_SKIP() << "runs only in a child";
    for (const VersionCase& c : kVersions) {
        if (std::strcmp(c.wine, wanted) != 0) continue;
        EXPECT_EQ(IsWin95(), c.win95);
        EXPECT_EQ(IsWin98(), c.win98);
        EXPECT_EQ(IsWinME(), c.winme);
        EXPECT_EQ(IsNT(), c.nt);
        EXPECT_EQ(IsWin2000(), c.win2000);
        EXPECT_EQ(IsWinXP(), c.winxp);
        EXPECT_EQ(IsWin2003(), c.win2003);
        return;
    }
    FAIL() << "unknown version " << wanted;
}

TEST(SystemVersion, EachWineVersionIsRecognised) {
    if (vntest::InChild()) GTEST_SKIP();
    for (const VersionCase& c : kVersions) {
        vntest::ChildOptions options;
        options.windowsVersion = c.wine;
        options.env.push_back(std::string("VNTEST_KF_VERSION=") + c.wine);
        EXPECT_EQ(vntest::RunSelf("SystemVersion.ChildReportsConfiguredVersion", options), 0) << c.wine;
    }
}

TEST(SystemVersion, ClassificationOfUnusualNumbers) {
    EXPECT_EQ(vn::ClassifyVersion(1, 4, 91), vn::WinVersion::Other);
    EXPECT_EQ(vn::ClassifyVersion(2, 4, 0), vn::WinVersion::NtOther);
    EXPECT_EQ(vn::ClassifyVersion(0, 3, 10), vn::WinVersion::Other);  // Win32s
}

TEST(FileTests, ExistenceWithWildcardsFoldersAndBadPaths) {
    std::string folder = vntest::ExeFolder();
    EXPECT_EQ(FileExisted((folder + "vnkf_window.exe").c_str()), 1);
    EXPECT_EQ(FileExisted((folder + "vnkf_win*.e?e").c_str()), 1);
    EXPECT_EQ(FileExisted(folder.substr(0, folder.size() - 1).c_str()), 1);
    EXPECT_EQ(FileExisted((folder + "no_such_file.xyz").c_str()), 0);
    EXPECT_EQ(FileExisted(""), 0);
    EXPECT_EQ(FileExisted(nullptr), 0);
    EXPECT_EQ(FileExisted((folder + std::string(4000, 'a')).c_str()), 0);
}

TEST(FileVersion, NumberAndTextOfHelperBinaries) {
    std::string folder = vntest::ExeFolder();
    DWORD high = 1, low = 1;
    EXPECT_EQ(GetFileVersionFromString((folder + "vnkf_window.exe").c_str(), &high, &low), 1);
    EXPECT_EQ(high, 0x00050001u);
    EXPECT_EQ(low, 0x0A280000u);
    high = low = 1;
    EXPECT_EQ(GetFileVersionFromNumber((folder + "vnkf_window.exe").c_str(), &high, &low), 1);
    EXPECT_EQ(high, 0x00050001u);
    EXPECT_EQ(low, 0x0A280000u);

    // Text "2.3" under a German translation; the fixed version says 7.8.9.10.
    EXPECT_EQ(GetFileVersionFromString((folder + "vnkf_ver23.dll").c_str(), &high, &low), 1);
    EXPECT_EQ(high, 0x00020003u);
    EXPECT_EQ(low, 0u);
    EXPECT_EQ(GetFileVersionFromNumber((folder + "vnkf_ver23.dll").c_str(), &high, &low), 1);
    EXPECT_EQ(high, 0x00070008u);
    EXPECT_EQ(low, 0x0009000Au);
}

TEST(FileVersion, FailuresLeaveThePartsAlone) {
    vntest::TempDir dir;
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("plain.txt"), "no version here"));
    const std::string bad[] = {dir.file("plain.txt"), dir.file("missing.dll"), dir.path() + std::string(300, 'x'),
                               std::string()};
    for (const std::string& path : bad) {
        DWORD high = 0x1234, low = 0x5678;
        EXPECT_EQ(GetFileVersionFromString(path.c_str(), &high, &low), 0) << path;
        EXPECT_EQ(GetFileVersionFromNumber(path.c_str(), &high, &low), 0) << path;
        EXPECT_EQ(high, 0x1234u);
        EXPECT_EQ(low, 0x5678u);
    }
    EXPECT_EQ(GetFileVersionFromString(nullptr, nullptr, nullptr), 0);
}

TEST(FileVersion, TextParsing) {
    std::uint32_t high = 0, low = 0;
    ASSERT_TRUE(vn::ParseVersionText("5.1.2600.5512 (xpsp.080413-2111)", &high, &low));
    EXPECT_EQ(high, 0x00050001u);
    EXPECT_EQ(low, (2600u << 16) | 5512u);
    ASSERT_TRUE(vn::ParseVersionText(" 1 , 2 ", &high, &low));
    EXPECT_EQ(high, 0x00010002u);
    EXPECT_EQ(low, 0u);
    // Numbers past 16 bits are cut to 16 bits instead of spilling into their neighbour.
    ASSERT_TRUE(vn::ParseVersionText("1.65537", &high, &low));
    EXPECT_EQ(high, 0x00010001u);
    EXPECT_FALSE(vn::ParseVersionText("", &high, &low));
}

TEST(ThreadLocale, UnsupportedLanguagesAreReplaced) {
    LCID saved = GetThreadLocale();
    struct {
        LCID from, to;
    } cases[] = {{3082, 2058}, {1029, 1033}, {1041, 1041}, {2057, 1033}, {3084, 1036}, {1028, 1028}, {5124, 1028}};
    for (const auto& c : cases) {
        ASSERT_TRUE(SetThreadLocale(c.from));
        int result = SetThreadResourceLocale();
        EXPECT_EQ(GetThreadLocale(), c.to) << c.from;
        // A supported locale is returned as it is; a replacement reports the setting's success.
        EXPECT_EQ(result, c.from == c.to ? static_cast<int>(c.to) : 1) << c.from;
    }
    SetThreadLocale(saved);
}

TEST(ErrorMessage, ShowsTheLastErrorText) {
    char expected[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), expected, sizeof expected, nullptr);
    std::string shown;
    LONG style = 0;
    std::thread clicker([&] {
        for (int i = 0; i < 200; ++i) {
            HWND box = FindWindowA("#32770", "kf error caption");
            if (box) {
                char text[512] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                shown = text;
                style = GetWindowLongA(box, GWL_STYLE);
                SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                return;
            }
            Sleep(50);
        }
    });
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowErrorMessage("kf error caption");
    clicker.join();
    EXPECT_EQ(shown, std::string(expected));
    EXPECT_NE(style, 0);
}

class UninstallRecord : public ::testing::Test {
protected:
    static constexpr const char* kProduct = "VnTestProduct";
    static constexpr const char* kOther = "VnTestOther";
    std::string productPath = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
    std::string otherPath = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kOther;
    void SetUp() override {
        Clean();
        vn::RegKey k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, productPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  k.out(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override { Clean(); }
    void Clean() {
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, productPath.c_str());
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, otherPath.c_str());
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Varnel\\Uninstall\\SharedFile\\a.dll");
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Varnel\\Uninstall\\SharedFile\\bare.txt");
    }
    static std::string Text(const std::string& path, const char* name) {
        char buffer[300] = {};
        vn::RegKey k;
        DWORD type = 0, size = sizeof buffer;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, k.out()) != ERROR_SUCCESS) return "<no key>";
        if (RegQueryValueExA(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return "<no value>";
        return type == REG_SZ ? std::string(buffer) : "<wrong type>";
    }
};

TEST_F(UninstallRecord, FileIsRecordedWithItsSharedUse) {
    CreateUninstallDeleteFileRegistry("D:\\Tools\\a.dll", kProduct, "");
    EXPECT_EQ(Text(productPath + "\\DeleteFiles", "a.dll"), "D:\\Tools");
    EXPECT_EQ(Text("Software\\Varnel\\Uninstall\\SharedFile\\a.dll", kProduct), "D:\\Tools");

    CreateUninstallDeleteFileRegistry("bare.txt", kProduct, nullptr);
    EXPECT_EQ(Text(productPath + "\\DeleteFiles", "bare.txt"), "");
    EXPECT_EQ(Text("Software\\Varnel\\Uninstall\\SharedFile\\bare.txt", kProduct), "");
}

TEST_F(UninstallRecord, OnlyExistingProductsAreRecorded) {
    // The other product has no uninstall key: it is skipped and never created.
    CreateUninstallDeleteFileRegistry("D:\\Tools\\a.dll", kOther, kProduct);
    EXPECT_EQ(Text(otherPath, nullptr), "<no key>");
    EXPECT_EQ(Text("Software\\Varnel\\Uninstall\\SharedFile\\a.dll", kOther), "<no value>");
    EXPECT_EQ(Text(productPath + "\\DeleteFiles", "a.dll"), "D:\\Tools");

    CreateUninstallDeleteDirRegistry("Dir1", "D:\\Tools", "", kOther);
    EXPECT_EQ(Text(otherPath, nullptr), "<no key>");
    CreateUninstallDeleteDirRegistry("Dir1", "D:\\Tools", kProduct, "");
    EXPECT_EQ(Text(productPath + "\\DeleteDirectory", "Dir1"), "D:\\Tools");
}

TEST_F(UninstallRecord, PathsWithoutFileNameAndOversizeNamesWriteNothingWrong) {
    CreateUninstallDeleteFileRegistry("D:\\Tools\\", kProduct, "");
    EXPECT_EQ(Text(productPath + "\\DeleteFiles", nullptr), "<no key>");
    CreateUninstallDeleteFileRegistry(nullptr, kProduct, kProduct);
    CreateUninstallDeleteDirRegistry("Dir", nullptr, kProduct, "");
    // A name far over the registry's limits fails quietly.
    std::string longName = "D:\\Tools\\" + std::string(5000, 'n');
    CreateUninstallDeleteFileRegistry(longName.c_str(), kProduct, "");
    CreateUninstallDeleteFileRegistry("D:\\a.dll", std::string(3000, 'p').c_str(), "");
    EXPECT_EQ(Text(productPath, nullptr), "<no value>");
}

}  // namespace
