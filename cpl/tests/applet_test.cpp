// The Control Panel entry, loaded as Control Panel loads it and driven through CPlApplet.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"

namespace {

static_assert(sizeof(void*) != 4 || sizeof(NEWCPLINFOA) == 244, "the record size Control Panel expects");

class Applet : public ::testing::Test {
protected:
    void SetUp() override {
        module.reset(LoadLibraryA((vntest::ExeFolder() + "..\\bin\\Krh3cpl.cpl").c_str()));
        ASSERT_TRUE(module);
        applet = reinterpret_cast<APPLET_PROC>(GetProcAddress(module.get(), "CPlApplet"));
        ASSERT_NE(applet, nullptr);
    }
    LONG Send(UINT message, LPARAM param2 = 0) { return applet(nullptr, message, 0, param2); }

    vn::Module module;
    APPLET_PROC applet = nullptr;
};

TEST_F(Applet, AnswersTheControlPanelMessages) {
    EXPECT_EQ(Send(CPL_INIT), 1);
    EXPECT_EQ(Send(CPL_GETCOUNT), 1);
    CPLINFO info;
    std::memset(&info, 0xAB, sizeof info);
    EXPECT_EQ(Send(CPL_INQUIRE, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.idIcon | info.idName | info.idInfo, 0);
    EXPECT_EQ(info.lData, 0);

    NEWCPLINFOA entry;
    std::memset(&entry, 0xAB, sizeof entry);
    EXPECT_EQ(Send(CPL_NEWINQUIRE, reinterpret_cast<LPARAM>(&entry)), 0);
    EXPECT_EQ(entry.dwSize, sizeof entry);
    EXPECT_EQ(entry.dwFlags | entry.dwHelpContext, 0u);
    EXPECT_EQ(entry.lData, 0);
    EXPECT_NE(entry.hIcon, nullptr);
    EXPECT_STREQ(entry.szHelpFile, "");
    const char* locale = vntest::TestLocale();
    if (locale && std::strncmp(locale, "ja_JP", 5) == 0) {
        EXPECT_EQ(std::strncmp(entry.szName, "\x83\x4C\x81\x5B\x83\x7B\x81\x5B\x83\x68 (Kalvo", 16), 0);
        EXPECT_EQ(std::strncmp(entry.szInfo, "Tessaro Keyboard \x82\xF0", 19), 0);
    } else if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH) {
        // The name is longer than the field; it arrives cut and terminated.
        const std::string name = "Keyboard (Kalvo USB Tessaro Keyboard)";
        EXPECT_EQ(entry.szName, name.substr(0, sizeof entry.szName - 1));
        EXPECT_STREQ(entry.szInfo, "Customize your Tessaro Keyboard.");
    }

    // Null records and unknown messages are answered without harm.
    EXPECT_EQ(Send(CPL_INQUIRE), 0);
    EXPECT_EQ(Send(CPL_NEWINQUIRE), 0);
    EXPECT_EQ(Send(0x4711, 1234), 0);
    EXPECT_EQ(Send(CPL_STOP), 0);
    EXPECT_EQ(Send(CPL_EXIT), 0);
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::set<int>*>(found)->insert(language);
    return TRUE;
}

TEST_F(Applet, TextsInFifteenLanguagesAndTheIconInEverySize) {
    std::set<int> languages;
    EnumResourceLanguagesA(module.get(), MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(1), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));  // string block of ids 0 to 15
    EXPECT_EQ(languages, (std::set<int>{1028, 1029, 1031, 1033, 1034, 1036, 1040, 1041, 1046, 1051, 1055, 1060,
                                        2052, 2058, 3082}));
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageA(module.get(), MAKEINTRESOURCEA(102), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(icon);
    }
}

std::vector<std::string> WizardStarts(const std::string& log) {
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(Applet, DoubleClickStartsTheWizardFromTheSystemFolderEachTime) {
    char system[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    const std::string wizard = std::string(system) + "\\TKcfg.exe";
    const std::string log = std::string(temp) + "vn_cpl_wizard.log";
    DeleteFileA(log.c_str());
    DeleteFileA(wizard.c_str());

    ASSERT_EQ(Send(CPL_INIT), 1);
    EXPECT_EQ(Send(CPL_DBLCLK), 0);  // no wizard there: nothing happens
    ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "cpl\\TKCfg.exe").c_str(), wizard.c_str(), FALSE));
    EXPECT_EQ(Send(CPL_DBLCLK), 0);
    EXPECT_EQ(Send(CPL_DBLCLK), 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return WizardStarts(log).size() >= 2; }, 10000));
    Send(CPL_EXIT);
    for (const std::string& start : WizardStarts(log))
        EXPECT_EQ(lstrcmpiA(start.c_str(), (std::string(system) + "|" + wizard).c_str()), 0) << start;
    EXPECT_EQ(WizardStarts(log).size(), 2u);
    vntest::WaitUntil([&] { return DeleteFileA(wizard.c_str()) != FALSE; });
    DeleteFileA(log.c_str());
}

}  // namespace
