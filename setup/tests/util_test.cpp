// The installer utilities and setup's Win32 pieces, in this process: wininit.ini editing and
// boot-time renames, the thread language, the logo's pixels, the script file reader under bad
// input, the runtime check and the resources of every language.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "setup/logo.h"
#include "setup/profile.h"
#include "setup/resource.h"
#include "setup/run.h"
#include "setup/tests/pcx_writer.h"
#include "setup/util/installer_util.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(BootRename, WininitCreatedThenNewestFirst) {
    vntest::TempDir dir;
    std::string ini = dir.file("wininit.ini");
    ASSERT_TRUE(instutil::AddRenameLine(ini.c_str(), "C:\\WIN\\SYSTEM\\VNUTIL.DLL", "C:\\WIN\\SYSTEM\\VNUTIL.DL0"));
    EXPECT_EQ(Slurp(ini), "[Rename]\r\nC:\\WIN\\SYSTEM\\VNUTIL.DLL=C:\\WIN\\SYSTEM\\VNUTIL.DL0\r\n");
    ASSERT_TRUE(instutil::AddRenameLine(ini.c_str(), nullptr, "C:\\TEMP\\www1.tmp"));
    EXPECT_EQ(Slurp(ini),
              "[Rename]\r\nNUL=C:\\TEMP\\www1.tmp\r\nC:\\WIN\\SYSTEM\\VNUTIL.DLL=C:\\WIN\\SYSTEM\\VNUTIL.DL0\r\n");

    // Other sections stay; the file held open by someone else is left alone.
    ASSERT_TRUE(vntest::WriteFileBytes(ini, "[Other]\r\nx=1\r\n"));
    ASSERT_TRUE(instutil::AddRenameLine(ini.c_str(), "a", "b"));
    EXPECT_EQ(Slurp(ini), "[Other]\r\nx=1\r\n[Rename]\r\na=b\r\n");
    vn::FileHandle held(CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(instutil::AddRenameLine(ini.c_str(), "c", "d"));
    held.reset();
    std::string longName(300, 'x');
    EXPECT_FALSE(instutil::AddRenameLine(ini.c_str(), longName.c_str(), longName.c_str()));
    EXPECT_EQ(Slurp(ini), "[Other]\r\nx=1\r\n[Rename]\r\na=b\r\n");
}

TEST(BootRename, NtFamilySchedulesThroughTheSystem) {
    vntest::TempDir dir;
    std::string file = dir.file("victim.tmp");
    ASSERT_TRUE(vntest::WriteFileBytes(file, "x"));
    instutil::SystemKind nt = instutil::Classify(instutil::kPlatformNt, 5, 1, nullptr);
    ASSERT_TRUE(instutil::ScheduleBootRename(nullptr, file.c_str(), nt));
    vn::RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                            key.out()),
              ERROR_SUCCESS);
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    ASSERT_EQ(RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data.data()), &size),
              ERROR_SUCCESS);
    EXPECT_NE(std::string(data.data(), size).find("victim.tmp"), std::string::npos);
}

TEST(ThreadLanguage, SupportedOrSameLanguageOrEnglish) {
    LCID before = GetThreadLocale();
    for (auto c : {std::pair<LCID, LCID>{3082, 2058}, {1049, 1033}, {1041, 1041}, {1029, 1033}}) {
        SetThreadLocale(c.first);
        instutil::AdjustThreadLanguage();
        EXPECT_EQ(GetThreadLocale(), c.second) << c.first;
    }
    SetThreadLocale(before);
}

// Draws a logo into a 24-bit bitmap and reads the pixels back.
struct Canvas {
    vn::MemDc dc{CreateCompatibleDC(nullptr)};
    vn::GdiObject bitmap;
    Canvas() {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 64;
        bi.bmiHeader.biHeight = 64;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectObject(dc.get(), bitmap.get());
        RECT all{0, 0, 64, 64};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
};

TEST(Logo, OneFourAndEightBitPicturesDrawnAsCoded) {
    const std::vector<std::uint8_t> rgb = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    struct Case {
        int bpp;
        std::vector<std::uint8_t> lines;  // two rows of four pixels
        std::vector<COLORREF> expect;
    };
    const COLORREF black = RGB(0, 0, 0), red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    const Case cases[] = {
        {1, {0xA0, 0, 0x50, 0}, {red, black, red, black, black, red, black, red}},
        {4, {0x01, 0x23, 0x32, 0x10}, {black, red, green, blue, blue, green, red, black}},
        {8, {0, 1, 2, 3, 3, 3, 1, 1}, {black, red, green, blue, blue, blue, red, red}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> palette = c.bpp == 1 ? std::vector<std::uint8_t>{0, 0, 0, 255, 0, 0} : rgb;
        auto file = setuptest::PcxFile(c.bpp, 4, 2, c.lines, static_cast<int>(c.lines.size() / 2), palette);
        setup::Logo logo;
        ASSERT_TRUE(logo.LoadBytes(file)) << c.bpp;
        EXPECT_EQ(logo.Width(), 4);
        EXPECT_EQ(logo.Height(), 2);
        Canvas canvas;
        logo.Draw(canvas.dc.get(), 10, 20);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(GetPixel(canvas.dc.get(), 10 + i % 4, 20 + i / 4), c.expect[i]) << c.bpp << " pixel " << i;
        EXPECT_EQ(GetPixel(canvas.dc.get(), 14, 20), RGB(255, 255, 255));
    }
}

TEST(Logo, DamagedOrMissingFilesGiveNoLogo) {
    vntest::TempDir dir;
    setup::Logo logo;
    EXPECT_FALSE(logo.Load(dir.file("missing.pcx").c_str()));
    auto file = setuptest::PcxFile(8, 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, 4, {});
    file[66] = 1;  // lines too short for the width
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("bad.pcx"), std::string(file.begin(), file.end())));
    EXPECT_FALSE(logo.Load(dir.file("bad.pcx").c_str()));
    EXPECT_EQ(logo.Width(), 0);
    Canvas canvas;
    logo.Draw(canvas.dc.get(), 0, 0);  // draws nothing
    EXPECT_EQ(GetPixel(canvas.dc.get(), 0, 0), RGB(255, 255, 255));
}

TEST(Title, OneLineWhenItFitsElseBrokenAtABlank) {
    Canvas canvas;
    vn::GdiObject font(instutil::CreateTitleFont("00000409"));
    HFONT f = static_cast<HFONT>(font.get());
    TEXTMETRICA tm{};
    {
        vn::SelectIn pick(canvas.dc.get(), f);
        GetTextMetricsA(canvas.dc.get(), &tm);
    }
    EXPECT_EQ(instutil::DrawTitle(canvas.dc.get(), f, "Tessaro Setup ", 2000), tm.tmHeight + 10);
    EXPECT_EQ(instutil::DrawTitle(canvas.dc.get(), f, "Kalvo USB Tessaro Keyboard Setup ", 200), 2 * tm.tmHeight + 10);
    // Without a blank that helps, the title stays on one line.
    EXPECT_EQ(instutil::DrawTitle(canvas.dc.get(), f, "Unbreakable", 20), tm.tmHeight + 10);
}

TEST(ScriptFile, HugeValuesLongKeyListsAndMissingSections) {
    vntest::TempDir dir;
    std::string path = dir.file("SETUPNT.INI");
    std::string text = "[Setup]\r\nProductName=" + std::string(5000, 'P') + "\r\nVersion=\"2.0\r\n[Copy Files]\r\n";
    for (int i = 0; i < 200; ++i) text += "file" + std::to_string(1000 + i) + ".dll=%11%\r\n";
    ASSERT_TRUE(vntest::WriteFileBytes(path, text));
    setup::FileProfile profile(path);
    EXPECT_EQ(profile.Get("Setup", "ProductName", "").size(), 259u);
    EXPECT_EQ(profile.Get("Nothing", "Key", "fallback"), "fallback");
    EXPECT_TRUE(profile.Keys("Nothing").empty());
    auto keys = profile.Keys("Copy Files");
    ASSERT_EQ(keys.size(), 200u) << "more than 1 kB of names, all of them";
    for (const auto& k : keys) EXPECT_EQ(k.size(), 12u) << k;
    EXPECT_EQ(keys.front(), "file1000.dll");
    EXPECT_EQ(keys.back(), "file1199.dll");
    auto k = setupscript::ReadSetupKeys(profile, dir.path(), "Setup");
    EXPECT_EQ(k.setupTitle.size(), 259u + 7);
}

// Values come from a section read whole; each must be what the system's reader gives for that key.
TEST(ScriptFile, ValuesReadWholeMatchTheSystemsReader) {
    vntest::TempDir dir;
    std::string path = dir.file("SETUPNT.INI");
    ASSERT_TRUE(vntest::WriteFileBytes(path, "[Copy Files]\r\n; a comment=x\r\n  Spaced  =  blanks around  \r\n"
                                             "Quoted=\"a, b\"\r\nSingle='c'\r\nHalf=\"open\r\nEmpty=\r\nBare\r\n"
                                             "Twice=first\r\nTWICE=second\r\nLong=" + std::string(400, 'L') + "\r\n"
                                             "[copy files]\r\nLater=ignored\r\n[Other]\r\nBare=value\r\n"));
    setup::FileProfile profile(path);
    for (const char* key : {"Spaced", "quoted", "Single", "Half", "Empty", "Bare", "twice", "Long", "Later", "Missing"}) {
        char expected[260] = {};
        GetPrivateProfileStringA("Copy Files", key, "fallback", expected, sizeof expected, path.c_str());
        EXPECT_EQ(profile.Get("COPY FILES", key, "fallback"), expected) << key;
    }
    EXPECT_EQ(profile.Get("Other", "Bare", ""), "value");
    EXPECT_EQ(profile.Get("Copy Files", "Quoted", ""), "a, b");
}

TEST(Runtime, CopiedIntoASystemFolderThatLacksIt) {
    vntest::TempDir dir;
    EXPECT_TRUE(setup::EnsureRuntime(dir.path().c_str()));
    EXPECT_TRUE(instutil::FileExists(dir.file("msvcrt.dll").c_str()));
    EXPECT_TRUE(setup::EnsureRuntime(dir.path().c_str()));
    EXPECT_FALSE(setup::EnsureRuntime((dir.path() + "\\no\\such\\folder").c_str()));
}

// Every language carries every page, the "Exit Setup" dialog and every string.
TEST(Languages, EveryPageAndStringInAllTwentyOne) {
    const LANGID languages[] = {1028, 1029, 1030, 1031, 1033, 1034, 1035, 1036, 1040, 1041, 1042,
                                1043, 1044, 1046, 1051, 1053, 1055, 1060, 2052, 2058, 3082};
    const int strings[] = {IDS_RESTART_DISKS, IDS_WARNING,     IDS_PRODUCT,        IDS_VERSION,  IDS_INTERFACE,
                           IDS_PS2,           IDS_USB,         IDS_INSTALL_DIR,    IDS_SETUP_WARNING,
                           IDS_NOT_SUPPORTED, IDS_SETUP,       IDS_PROGRAM_FOLDER, IDS_DONE,     IDS_DONE_RESTART,
                           IDS_FAILED,        IDS_FAILED_HINT, IDS_NO_RUNTIME, IDS_UPDATING};
    HMODULE self = GetModuleHandleA(nullptr);
    LCID before = GetThreadLocale();
    for (LANGID lang : languages) {
        for (int id = IDD_WELCOME; id <= IDD_EXIT_SETUP; ++id)
            EXPECT_TRUE(FindResourceExA(self, RT_DIALOG, MAKEINTRESOURCEA(id), lang)) << lang << " dialog " << id;
        for (int block : {1, 2, 3})  // strings 3-15, 16-31, 32-47
            EXPECT_TRUE(FindResourceExA(self, RT_STRING, MAKEINTRESOURCEA(block), lang)) << lang << " block " << block;
        SetThreadLocale(MAKELCID(lang, SORT_DEFAULT));
        for (int id : strings) EXPECT_FALSE(setup::LoadText(self, id).empty()) << lang << " string " << id;
    }
    // Under a Japanese code page the Japanese texts come out as such.
    SetThreadLocale(MAKELCID(1041, SORT_DEFAULT));
    std::string setupWord = setup::LoadText(self, IDS_SETUP);
    SetThreadLocale(before);
    if (GetACP() == 932) {
        wchar_t wide[16] = {};
        MultiByteToWideChar(932, 0, setupWord.c_str(), -1, wide, 16);
        EXPECT_STREQ(wide, L"\x30bb\x30c3\x30c8\x30a2\x30c3\x30d7");
    }
}

}  // namespace
