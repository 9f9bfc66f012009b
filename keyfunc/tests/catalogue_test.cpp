// The function catalogue: its entries, lookups with their buffer rules, action dispatch and the
// description and message strings in every language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/handles.h"
#include "keyfunc/media.h"
#include "keyfunc/tests/media_support.h"
#include "keyfunc/vnutil.h"

namespace {

struct Expected {
    const char* name;
    DWORD usage;
    const char* description;  // English; empty when the entry has none
};

const Expected kCatalogue[] = {
    {"Close Window", 0x0203, "Close Window"},  {"Next Window", 0, "Next Window"},
    {"Screen Saver", 0, "Screen Saver"},        {"CD Stop", 0x00B7, "Stop"},
    {"Previous Track", 0x00B6, "Previous Track"}, {"Next Track", 0x00B5, "Next Track"},
    {"CD Play", 0x00B0, "Play"},                {"CD Pause", 0x00B1, "Pause"},
    {"CD Play/Pause", 0x00CD, "Play/Pause"},    {"Mute", 0x00E2, "Mute"},
    {"Volume Up", 0x00E9, "Volume Up"},         {"Volume Down", 0x00EA, "Volume Down"},
    {"Email", 0x018A, "E-mail"},                {"WWW", 0x0223, "WWW"},
    {"Calculator", 0x0192, "Calculator"},       {"Help", 0x0095, "Help"},
    {"My Documents", 0x8001, "My Documents"},   {"My Favorites", 0x022A, "My Favorites"},
    {"Search", 0x0221, "Search"},               {"Display", 0x0181, "Display"},
    {"App Back", 0x0224, "Back"},               {"App Forward", 0x0225, "Forward"},
    {"AUX1", 0x8101, ""}, {"AUX2", 0x8102, ""}, {"AUX3", 0x8103, ""}, {"AUX4", 0x8104, ""},
    {"AUX5", 0x8105, ""}, {"AUX6", 0x8106, ""}, {"AUX7", 0x8107, ""}, {"AUX8", 0x8108, ""},
    {"AUX9", 0x8109, ""},
    {"Power", 0x0030, "Power"},                 {"Sleep", 0x0032, "Sleep"},
    {"Media Select", 0x0091, "Media Select"},   {"Lock Desktop", 0x8002, "Lock Desktop"},
    {"Word", 0x8003, "Word"},                   {"Excel", 0x8004, "Excel"},
};

TEST(Catalogue, AllEntriesInOrder) {
    ASSERT_EQ(sizeof kCatalogue / sizeof kCatalogue[0], 37u);
    for (int i = 0; i < 37; ++i) {
        const Expected& e = kCatalogue[i];
        char buffer[260] = "untouched";
        int n = EnumPredefinedFunction(i, buffer, sizeof buffer);
        EXPECT_EQ(n, static_cast<int>(strlen(e.description))) << i;
        if (n) {
            EXPECT_STREQ(buffer, e.description);
        }
        EXPECT_EQ(GetHIDUsageCode(e.name), e.usage) << e.name;
        if (e.usage) {
            char name[260] = {};
            EXPECT_EQ(GetHIDFuncName(e.usage, name, sizeof name), 1);
            EXPECT_STREQ(name, e.name);
        }
    }
    char buffer[260];
    EXPECT_EQ(EnumPredefinedFunction(37, buffer, sizeof buffer), 0);
    EXPECT_EQ(EnumPredefinedFunction(-1, buffer, sizeof buffer), 0);
}

TEST(Catalogue, NameLookupsIgnoreCase) {
    EXPECT_EQ(GetHIDUsageCode("screen saver"), 0u);
    EXPECT_EQ(GetHIDUsageCode("volume up"), 0x00E9u);
    EXPECT_EQ(GetHIDUsageCode(nullptr), 0u);
    EXPECT_EQ(GetHIDUsageCode("Rewind"), 0u);
    char buffer[260] = {};
    EXPECT_EQ(GetFuncDescNameFromFuncName("email", buffer, sizeof buffer), 6);
    EXPECT_STREQ(buffer, "E-mail");
    EXPECT_EQ(GetFuncDescNameFromFuncName("AUX3", buffer, sizeof buffer), 0);
    EXPECT_EQ(GetFuncDescNameFromFuncName("Rewind", buffer, sizeof buffer), 0);
}

TEST(Catalogue, DescriptionToNameTakesFirstMatchThatFits) {
    char buffer[260] = {};
    EXPECT_EQ(GetFuncNameFromFuncDescName("Stop", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "CD Stop");
    EXPECT_EQ(GetFuncNameFromFuncDescName("e-MAIL", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "Email");
    char small[7] = "xxxxxx";  // "CD Stop" needs 8
    EXPECT_EQ(GetFuncNameFromFuncDescName("Stop", small, sizeof small), 0);
    EXPECT_STREQ(small, "xxxxxx");
    EXPECT_EQ(GetFuncNameFromFuncDescName("Rewind", buffer, sizeof buffer), 0);
}

TEST(Catalogue, UsageLookupBufferRules) {
    EXPECT_EQ(GetHIDFuncName(0, nullptr, 0), 0);
    EXPECT_EQ(GetHIDFuncName(0x1234, nullptr, 0), 0);
    EXPECT_EQ(GetHIDFuncName(0x00B7, nullptr, 0), 1);  // known usage, no buffer
    char exact[7] = "xxxxxx";                          // "CD Stop" without room for the zero
    EXPECT_EQ(GetHIDFuncName(0x00B7, exact, 7), 0);
    EXPECT_STREQ(exact, "xxxxxx");
    char fits[8];
    EXPECT_EQ(GetHIDFuncName(0x00B7, fits, 8), 1);
    EXPECT_STREQ(fits, "CD Stop");

    char desc[260] = "untouched";
    EXPECT_EQ(GetHIDFuncDesc(0x8101, desc, sizeof desc), 0);  // AUX1 has no description
    EXPECT_EQ(GetHIDFuncDesc(0x1234, desc, sizeof desc), 0);
    EXPECT_EQ(GetHIDFuncDesc(0x00E9, nullptr, 0), 1);
    EXPECT_EQ(GetHIDFuncDesc(0x00E9, desc, sizeof desc), 9);
    EXPECT_STREQ(desc, "Volume Up");
    char tight[9] = "xxxxxxxx";
    EXPECT_EQ(GetHIDFuncDesc(0x00E9, tight, sizeof tight), 0);  // refused, not cut short
    EXPECT_STREQ(tight, "xxxxxxxx");
}

TEST(Catalogue, HidDispatchRules) {
    int result = 77;
    EXPECT_EQ(CallHIDButtonFunction(0, 1, &result), 0);
    EXPECT_EQ(result, 77);  // untouched
    EXPECT_EQ(CallHIDButtonFunction(0x1234, 1, &result), 0);
    EXPECT_EQ(result, 0);
    result = 77;
    EXPECT_EQ(CallHIDButtonFunction(0x8105, 1, &result), 1);  // AUX5: known, nothing to do
    EXPECT_EQ(result, 0);
    result = 77;
    EXPECT_EQ(CallHIDButtonFunction(0x0221, 0, &result), 1);  // Search released
    EXPECT_EQ(result, 0);
    // Volume Up: the press starts the ramp, the release stops it, kind 2 does nothing.
    EXPECT_EQ(CallHIDButtonFunction(0x00E9, 1, &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CallHIDButtonFunction(0x00E9, 0, &result), 1);
    EXPECT_EQ(result, 1);
    result = 77;
    EXPECT_EQ(CallHIDButtonFunction(0x00E9, 2, &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(CallHIDButtonFunction(0x00EA, 5, nullptr), 1);  // an unknown kind: no action
    // A press without a release action: the release is handled and does nothing.
    EXPECT_EQ(CallHIDButtonFunction(0x00B7, 0, &result), 1);
}

TEST(Catalogue, HidDispatchRunsMediaKeys) {
    vntest::FakeCdAudio cd;
    vn::media::State() = vn::media::MediaState();
    for (char l : {'S', 'T'}) vntest::EjectDisc(l);
    vntest::InsertDisc('R', {"Track01.cda"});
    int result = 0;
    EXPECT_EQ(CallHIDButtonFunction(0x00B0, 1, &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(cd.mode, "playing");
    EXPECT_EQ(CallPredefinedButtonFunction("cd stop", 1), 1);
    EXPECT_EQ(cd.mode, "stopped");
    for (char l : {'R', 'S', 'T'}) vntest::InsertDisc(l, {});
}

TEST(Catalogue, PredefinedDispatchRules) {
    EXPECT_EQ(CallPredefinedButtonFunction("Rewind", 1), 0);
    EXPECT_EQ(CallPredefinedButtonFunction(nullptr, 1), 0);
    EXPECT_EQ(CallPredefinedButtonFunction("Search", 1), 0);  // named only
    EXPECT_EQ(CallPredefinedButtonFunction("Next Window", 0), 0);
    EXPECT_EQ(CallPredefinedButtonFunction("next window", 1), 1);  // SwitchNextWindow always 1
    EXPECT_EQ(CallPredefinedButtonFunction("Volume Down", 1), 1);
    EXPECT_EQ(CallPredefinedButtonFunction("Volume Down", 0), 1);
    EXPECT_EQ(CallPredefinedButtonFunction("Volume Down", 2), 0);
}

TEST(Catalogue, ScreenSaverByNameReachesTheDesktop) {
    // The screen saver request goes to the desktop window as WM_SYSCOMMAND/SC_SCREENSAVE; the
    // name is known although no key reports it.
    EXPECT_EQ(GetHIDUsageCode("SCREEN SAVER"), 0u);
    EXPECT_EQ(CallPredefinedButtonFunction("Screen Saver", 1),
              static_cast<int>(SendMessageA(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0)));
}

TEST(Catalogue, SendAppCommandSendsToTheWindow) {
    vntest::TempDir tmp;
    std::string log = tmp.file("app.log");
    vntest::Player player(vntest::PlayerExe(), "VnkfAppTarget \"" + log + "\"", "VnkfAppTarget");
    ASSERT_NE(player.window(), nullptr);
    EXPECT_EQ(SendAppCommand(player.window(), 8), 1);  // the window answers TRUE
    EXPECT_EQ(SendAppCommand(player.window(), 0x10F), 1);  // only the low 8 bits count
    EXPECT_EQ(vntest::ReadLines(log), (std::vector<std::string>{"START VnkfAppTarget \"" + log + "\"",
                                                                "APPCOMMAND 8", "APPCOMMAND 15"}));
}

// Reads string `id` of the given language straight from the string table.
std::wstring TableString(LANGID lang, UINT id) {
    HMODULE module = vn::ThisModule();
    HRSRC res = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_STRING),
                                MAKEINTRESOURCEA(id / 16 + 1), lang);
    if (!res) return L"";
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, res)));
    if (!p) return L"";
    for (UINT i = 0; i < id % 16; ++i) p += *p + 1;
    return std::wstring(p + 1, *p);
}

TEST(Catalogue, StringsExistInAllFifteenLanguages) {
    const LANGID langs[] = {1028, 1029, 1031, 1033, 1034, 1036, 1040, 1041, 1046, 1051, 1055, 1060, 2052, 2058, 3082};
    const UINT ids[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 12, 20, 21, 22, 23, 24, 25,
                        26, 28, 31, 39, 53, 54, 55, 63, 64, 65, 30000, 30002, 30003, 30004, 30005, 30006};
    for (LANGID lang : langs)
        for (UINT id : ids) EXPECT_FALSE(TableString(lang, id).empty()) << "language " << lang << " id " << id;
    // Translated, not copied: the messages differ from the English ones.
    for (LANGID lang : langs)
        if (lang != 1033) {
            EXPECT_NE(TableString(lang, 30002), TableString(1033, 30002)) << lang;
        }
    EXPECT_EQ(TableString(1031, 30000), L"Fehler");
    EXPECT_EQ(TableString(1041, 8), L"\u518D\u751F");  // Japanese "Play"
    EXPECT_EQ(TableString(1033, 30004),
              L"This button is not available for software CDs. You can use this button only with an audio CD, VCD, "
              L"or DVD.");
}

// Run again by CTest under the ja_JP.UTF-8 locale (ANSI code page 932, Japanese interface).
TEST(CatalogueLocale, JapaneseDescriptionsInTheAnsiCodePage) {
    const char* locale = vntest::TestLocale();
    if (!locale || std::string(locale) != "ja_JP.UTF-8") GTEST_SKIP() << "runs in the ja_JP.UTF-8 run";
    ASSERT_EQ(GetACP(), 932u);
    char buffer[260] = {};
    EXPECT_EQ(GetHIDFuncDesc(0x00B0, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "\x8d\xc4\x90\xb6");  // "Play" in Japanese, Shift-JIS
}

}  // namespace

