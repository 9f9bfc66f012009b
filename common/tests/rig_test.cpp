// The test bed itself: child runs under another Windows version and code page, the CD-ROM drives.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/testing/winetest.h"

namespace {

TEST(Rig, ChildRunsUnderWindows98) {
    if (vntest::InChild()) {
        OSVERSIONINFOA vi{};
        vi.dwOSVersionInfoSize = sizeof vi;
        ASSERT_TRUE(GetVersionExA(&vi));
        EXPECT_EQ(vi.dwPlatformId, DWORD(VER_PLATFORM_WIN32_WINDOWS));
        EXPECT_EQ(vi.dwMajorVersion, 4u);
        EXPECT_EQ(vi.dwMinorVersion, 10u);
        return;
    }
    EXPECT_EQ(vntest::RunSelf("Rig.ChildRunsUnderWindows98", {"win98"}), 0);
}

TEST(Rig, LocaleRunPicksTheCodePage) {
    const char* locale = vntest::TestLocale();
    if (!locale) GTEST_SKIP() << "only in the ja_JP.UTF-8 run";
    EXPECT_STREQ(locale, "ja_JP.UTF-8");
    EXPECT_EQ(GetACP(), 932u);
}

TEST(Rig, PreparedCdromDrives) {
    EXPECT_EQ(GetDriveTypeA("R:\\"), UINT(DRIVE_CDROM));
    std::string folder = vntest::CdromBackingFolder('R');
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(vntest::WriteFileBytes(folder + "\\Track01.cda", "x"));
    EXPECT_NE(GetFileAttributesA("R:\\Track01.cda"), INVALID_FILE_ATTRIBUTES);
    DeleteFileA((folder + "\\Track01.cda").c_str());
}

}  // namespace
