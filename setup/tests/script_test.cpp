// The script, field, command-line and licence rules, and the PCX decoder, as plain code.
#include <gtest/gtest.h>

#include <map>

#include "setup/script/cmdline.h"
#include "setup/script/fields.h"
#include "setup/script/licence.h"
#include "setup/script/pcx.h"
#include "setup/script/script.h"
#include "setup/script/section.h"
#include "setup/script/work_rules.h"
#include "setup/tests/pcx_writer.h"

namespace {

using setupscript::Interface;

struct MapProfile : setupscript::Profile {
    std::map<std::string, std::string> values;  // "Section/Key"
    std::string Get(const char* section, const char* key, const char* fallback) const override {
        auto it = values.find(std::string(section) + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    std::vector<std::string> Keys(const char*) const override { return {}; }
};

setupscript::Folders TestFolders() { return {"C:\\WIN", "C:\\WIN\\SYS", "C:\\DEST", "D:\\CD"}; }

std::vector<std::string> Split(const std::string& value) {
    return setupscript::SplitFields(value, TestFolders(), [](const std::string& name, std::string* text) {
        if (name != "Maker") return false;
        *text = "Kalvo";
        return true;
    });
}

TEST(Fields, PlaceholdersQuotesCommasAndBlanks) {
    EXPECT_EQ(Split("%11%\\VnDaemon.exe"), std::vector<std::string>{"C:\\WIN\\SYS\\VnDaemon.exe"});
    EXPECT_EQ(Split("%10%,%12%,%17%,%18%,%99%,%1%"),
              (std::vector<std::string>{"C:\\WIN", "C:\\WIN\\System32\\Drivers", "C:\\WIN\\Inf", "C:\\WIN\\Help",
                                        "C:\\DEST", "D:\\CD"}));
    EXPECT_EQ(Split("%Maker% Keys,%Unknown%x"), (std::vector<std::string>{"Kalvo Keys", "x"}));
    // Quoted text is literal: commas and percent signs are plain characters.
    EXPECT_EQ(Split("\"a,b %11%\" tail, \t next "), (std::vector<std::string>{"a,b %11% tail", "next "}));
    EXPECT_EQ(Split(""), std::vector<std::string>{""});
    EXPECT_EQ(Split("a,,b,"), (std::vector<std::string>{"a", "", "b", ""}));
    // An unbalanced quote runs to the end; a lone percent sign stays.
    EXPECT_EQ(Split("\"open, to end"), std::vector<std::string>{"open, to end"});
    EXPECT_EQ(Split("50%, %11%"), (std::vector<std::string>{"50%", "C:\\WIN\\SYS"}));
    EXPECT_EQ(setupscript::SplitSimpleFields(" Keyboard, \"a,b\"c ,%11%"),
              (std::vector<std::string>{"Keyboard", "a,bc ", "%11%"}));
    std::string huge(100000, 'x');
    EXPECT_EQ(Split(huge + ",y"), (std::vector<std::string>{huge, "y"}));
}

TEST(Fields, UpdateDriverEntriesAndThePathsMadeOfThem) {
    auto e = setupscript::ReadDriverEntry("unknown,kb.inf,Kalvo,Kalvo,Tessaro,,sub\\kb.inf,true,HID\\X,drv\\,extra");
    ASSERT_EQ(e.fields.size(), 10u);
    EXPECT_TRUE(e.Unknown());
    EXPECT_TRUE(e.CopyFlag());
    EXPECT_EQ(setupscript::EntryInf("E:", e), "E:\\drv\\kb.inf");
    EXPECT_EQ(setupscript::PreloadCommand("C:\\P", e, "V"), "C:\\P\\Preload.exe /DEVID:HID\\X /CLASS:unknown /RunValue:\"V\"");
    auto shortEntry = setupscript::ReadDriverEntry("Keyboard");
    EXPECT_EQ(shortEntry.fields.size(), 10u);
    EXPECT_FALSE(shortEntry.Unknown() || shortEntry.CopyFlag());
    EXPECT_EQ(setupscript::LocalMediumFolder("D:\\WINDOWS", "Kalvo A/B"), "D:\\Program Files\\Kalvo A.B");
}

TEST(ScriptChoice, PerSystemWithFallbacks) {
    auto pick = [](unsigned platform, unsigned major, unsigned minor, const char* me,
                   std::vector<std::string> files) -> std::string {
        auto kind = instutil::Classify(platform, major, minor, me);
        const char* name = setupscript::ChooseScript(kind, [&](const char* f) {
            for (auto& x : files)
                if (x == f) return true;
            return false;
        });
        return name ? name : "unsupported";
    };
    const std::vector<std::string> all{"SETUP95.INI", "SETUP98.INI", "SETUPME.INI", "SETUPNT.INI", "SETUP2K.INI",
                                       "SETUPXP.INI"};
    EXPECT_EQ(pick(1, 4, 0, "", all), "SETUP95.INI");
    EXPECT_EQ(pick(1, 4, 10, "4.10.2222", all), "SETUP98.INI");
    EXPECT_EQ(pick(1, 4, 90, "4.90.3000", all), "SETUPME.INI");
    EXPECT_EQ(pick(1, 4, 90, "4.90.3000", {"SETUP98.INI", "SETUP95.INI"}), "SETUP98.INI");
    EXPECT_EQ(pick(1, 4, 90, "4.90.3000", {"SETUP95.INI"}), "SETUP95.INI");
    EXPECT_EQ(pick(1, 4, 10, "", {"SETUPNT.INI"}), "unsupported");
    EXPECT_EQ(pick(2, 5, 0, nullptr, all), "SETUP2K.INI");
    EXPECT_EQ(pick(2, 5, 0, nullptr, {"SETUPNT.INI"}), "SETUPNT.INI");
    EXPECT_EQ(pick(2, 5, 1, nullptr, all), "SETUPXP.INI");
    EXPECT_EQ(pick(2, 5, 2, nullptr, all), "SETUPNT.INI");
    EXPECT_EQ(pick(2, 4, 0, nullptr, all), "SETUPNT.INI");
    EXPECT_EQ(pick(2, 5, 1, nullptr, {"SETUP95.INI"}), "unsupported");
}

TEST(SetupKeys, DefaultsOfAnEmptySection) {
    MapProfile p;
    auto k = setupscript::ReadSetupKeys(p, "D:\\CD", "Setup");
    EXPECT_EQ(k.setupTitle, " Setup ");
    EXPECT_EQ(k.version, "1.0");
    EXPECT_EQ(k.infFile, "D:\\CD\\Keyboard.inf");
    EXPECT_EQ(k.usbInf, "");
    EXPECT_FALSE(k.cabFile);
    EXPECT_TRUE(k.askType && k.usbType && k.ps2Type && k.callConfigMg && k.deleteInfIndex && k.updateDriver);
    EXPECT_FALSE(k.askPath || k.askLicense || k.askProgramFolder || k.infNoFileCopy);
    EXPECT_EQ(k.deviceClass, "Keyboard");
    EXPECT_EQ(k.provider, "Varnel");
    EXPECT_EQ(k.mfgName, "Varnel");
    bool ask = false;
    auto s = setupscript::ScriptInterface(k, true, &ask);
    EXPECT_TRUE(ask);
    EXPECT_EQ(s.chosen, Interface::Usb);
    EXPECT_FALSE(s.restart);
}

TEST(SetupKeys, ValuesFlagsAndTheInterfaceRule) {
    MapProfile p;
    p.values = {{"Setup/ProductName", "Tessaro"}, {"Setup/SetupTitle", "My Title"}, {"Setup/USBInf", "usb\\k.inf"},
                {"Setup/CabFile", "true"},        {"Setup/CabFileName", "a.cab"},   {"Setup/AskPath", "1"},
                {"Setup/AskLicense", "TrUe"},     {"Setup/AskType", "no"},          {"Setup/MfgName", ""},
                {"Setup/Provider", "P"}};
    auto k = setupscript::ReadSetupKeys(p, "D:\\CD", "Setup");
    EXPECT_EQ(k.setupTitle, "My Title ");
    EXPECT_EQ(k.usbInf, "D:\\CD\\usb\\k.inf");
    EXPECT_TRUE(k.cabFile);
    EXPECT_EQ(k.cabFileName, "a.cab");
    EXPECT_FALSE(k.askPath);  // only "TRUE" is true
    EXPECT_TRUE(k.askLicense);
    EXPECT_TRUE(k.askType);   // only "FALSE" clears it
    EXPECT_EQ(k.mfgName, "");

    auto rule = [&](std::map<std::string, std::string> extra, bool nt, bool* ask) {
        MapProfile q = p;
        for (auto& e : extra) q.values["Setup/" + e.first] = e.second;
        return setupscript::ScriptInterface(setupscript::ReadSetupKeys(q, "D:\\CD", "Setup"), nt, ask);
    };
    bool ask = true;
    auto s = rule({{"USBType", "FALSE"}, {"AskType", "TRUE"}}, true, &ask);
    EXPECT_FALSE(ask);
    EXPECT_EQ(s.chosen, Interface::Usb);
    EXPECT_EQ(s.infFile, "D:\\CD\\usb\\k.inf");
    s = rule({{"PS2Type", "false"}}, true, &ask);
    EXPECT_FALSE(ask);
    EXPECT_EQ(s.chosen, Interface::Ps2);
    EXPECT_TRUE(s.restart);
    EXPECT_FALSE(s.callConfigMg);
    s = rule({{"PS2Type", "FALSE"}}, false, &ask);  // the 9x family starts PS/2 devices at once
    EXPECT_FALSE(s.restart);
    EXPECT_TRUE(s.callConfigMg);
    s = rule({{"AskType", "FALSE"}, {"PS2DriverName", "i8042prt"}}, true, &ask);
    EXPECT_EQ(s.chosen, Interface::Ps2);
    s = rule({{"AskType", "FALSE"}, {"PS2DriverName", "i8042prt"}, {"DefaultType", "usb"}}, true, &ask);
    EXPECT_EQ(s.chosen, Interface::Usb);
    s = rule({{"AskType", "FALSE"}, {"DefaultType", "ps2"}, {"Restart", "FALSE"}}, true, &ask);
    EXPECT_EQ(s.chosen, Interface::Ps2);
    EXPECT_FALSE(s.restart);
    s = rule({{"Restart", "TRUE"}}, true, &ask);
    EXPECT_EQ(s.chosen, Interface::Usb);
    EXPECT_TRUE(s.restart);
    s = rule({{"Restart", "maybe"}, {"CallConfigMg", "FALSE"}}, true, &ask);
    EXPECT_FALSE(s.restart);
    EXPECT_TRUE(s.callConfigMg);  // the interface rule settles it
}

TEST(CommandLine, OptionsSplittingAndLimits) {
    using setupscript::ParseCommandLine;
    auto o = ParseCommandLine("ignored /s /Nr/ h /p / TYPE : ps2");
    EXPECT_TRUE(o.silent && o.noRestart && o.hidden && o.preload && o.typeGiven);
    EXPECT_EQ(o.type, Interface::Ps2);
    o = ParseCommandLine("/type:usb/PRELOAD");
    EXPECT_TRUE(o.typeGiven && o.preload);
    EXPECT_EQ(o.type, Interface::Usb);
    o = ParseCommandLine("S NR H");  // no "/": nothing
    EXPECT_FALSE(o.silent || o.noRestart || o.hidden);
    o = ParseCommandLine("/S//NR");  // stops at the empty option
    EXPECT_TRUE(o.silent);
    EXPECT_FALSE(o.noRestart);
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "/X";
    EXPECT_FALSE(ParseCommandLine((sixteen + "/S").c_str()).silent);            // a 17th option is not taken
    EXPECT_TRUE(ParseCommandLine((sixteen.substr(2) + "/S").c_str()).silent);  // the 16th is
    EXPECT_FALSE(ParseCommandLine("/NRXXXXXXXXXXXXXX/S").noRestart);           // 16 characters: cut to 15
    EXPECT_TRUE(ParseCommandLine("/NRXXXXXXXXXXXXXX/S").silent);
    std::string longLine = "/" + std::string(100000, 'A') + "/H";
    EXPECT_TRUE(ParseCommandLine(longLine.c_str()).hidden);
    EXPECT_FALSE(ParseCommandLine(nullptr).hidden);
}

TEST(Licence, ExactThenPrimaryLanguageThenNone) {
    using setupscript::LicenceFileForLocale;
    EXPECT_STREQ(LicenceFileForLocale("00000409"), "LICENENG.TXT");
    EXPECT_STREQ(LicenceFileForLocale("0000040b"), "LICENFIN.TXT");
    EXPECT_STREQ(LicenceFileForLocale("00000804"), "LICENSCH.TXT");
    EXPECT_STREQ(LicenceFileForLocale("00000c0a"), "LICENSPA.TXT");  // Spanish, another sub-language
    EXPECT_STREQ(LicenceFileForLocale("00000809"), "LICENENG.TXT");
    EXPECT_STREQ(LicenceFileForLocale("00000412"), "LICENENG.TXT");
    EXPECT_EQ(LicenceFileForLocale("00000419"), nullptr);
    EXPECT_EQ(LicenceFileForLocale("09"), nullptr);
    EXPECT_EQ(LicenceFileForLocale(""), nullptr);
}

TEST(UiLanguage, SupportedKeptSameLanguageElseEnglish) {
    EXPECT_EQ(instutil::PickUiLanguage(1041), 1041u);
    EXPECT_EQ(instutil::PickUiLanguage(3082), 2058u);
    EXPECT_EQ(instutil::PickUiLanguage(2057), 1033u);  // English (UK)
    EXPECT_EQ(instutil::PickUiLanguage(3076), 1028u);  // Chinese (Hong Kong): the first Chinese
    EXPECT_EQ(instutil::PickUiLanguage(1049), 1033u);
}

TEST(Layout, PlacementBelowTheBandAndTitleBreak) {
    instutil::Box work{0, 0, 1000, 800};
    auto b = instutil::PlaceBelowBand(work, 400, 300, 100);
    EXPECT_EQ(b.left, 300);
    EXPECT_EQ(b.top, 250);
    EXPECT_EQ(instutil::PlaceBelowBand(work, 400, 300, 400).top, 400);
    EXPECT_EQ(instutil::PlaceBelowBand(work, 400, 300, 600).top, 500);  // flush with the bottom

    auto width = [](const char*, std::size_t n) { return static_cast<int>(n) * 10; };
    EXPECT_EQ(instutil::TitleBreak("Short title ", 200, width), 12u);
    EXPECT_EQ(instutil::TitleBreak("A somewhat longer title ", 200, width), 17u);  // "A somewhat longer"
    EXPECT_EQ(instutil::TitleBreak("Unbreakabletitle ", 100, width), 17u);
}

TEST(Wininit, RenameLinesNewestFirst) {
    using instutil::InsertRenameLine;
    EXPECT_EQ(InsertRenameLine("", "a=b\r\n"), "[Rename]\r\na=b\r\n");
    std::string t = InsertRenameLine(InsertRenameLine("", "first=1\r\n"), "second=2\r\n");
    EXPECT_EQ(t, "[Rename]\r\nsecond=2\r\nfirst=1\r\n");
    EXPECT_EQ(InsertRenameLine("[Other]\r\nx=y", "a=b\r\n"), "[Other]\r\nx=y\r\n[Rename]\r\na=b\r\n");
    EXPECT_EQ(InsertRenameLine("[rename]\r\nold=1\r\n", "a=b\r\n"), "[rename]\r\na=b\r\nold=1\r\n");
}

using setuptest::PcxFile;

TEST(Pcx, DecodesEachDepthBottomUpWithItsPalette) {
    setupscript::PcxImage img;
    // 8 bits: two rows of three pixels, with a run of 5 crossing the rows.
    auto f8 = PcxFile(8, 3, 2, {}, 4, {0, 0, 0, 255, 0, 0, 0, 255, 0});
    std::vector<std::uint8_t> coded = {1, 2, 0xC5, 1};
    f8.insert(f8.begin() + 128, coded.begin(), coded.end());
    ASSERT_TRUE(setupscript::DecodePcx(f8.data(), f8.size(), &img));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.bitsPerPixel, 8);
    EXPECT_EQ(img.pixelsPerMetreX, 72 * 39);
    ASSERT_EQ(img.Stride(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(img.bits.begin() + 4, img.bits.begin() + 7),
              (std::vector<std::uint8_t>{1, 2, 1}));  // the top row is last
    EXPECT_EQ(std::vector<std::uint8_t>(img.bits.begin(), img.bits.begin() + 3), (std::vector<std::uint8_t>{1, 1, 1}));
    ASSERT_EQ(img.palette.size(), 256u);
    EXPECT_EQ(img.palette[1].red, 255);
    EXPECT_EQ(img.palette[2].green, 255);

    auto f1 = PcxFile(1, 10, 1, {0xF0, 0x40}, 2, {0, 0, 0, 255, 255, 255});
    ASSERT_TRUE(setupscript::DecodePcx(f1.data(), f1.size(), &img));
    EXPECT_EQ(img.bits[0], 0xF0);
    EXPECT_EQ(img.bits[1], 0x40);
    ASSERT_EQ(img.palette.size(), 2u);
    EXPECT_EQ(img.palette[1].blue, 255);

    auto f2 = PcxFile(2, 4, 1, {0x1B, 0}, 2, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3});
    ASSERT_TRUE(setupscript::DecodePcx(f2.data(), f2.size(), &img));
    EXPECT_EQ(img.bitsPerPixel, 4);
    EXPECT_EQ(img.bits[0], 0x01);
    EXPECT_EQ(img.bits[1], 0x23);
    EXPECT_EQ(img.palette.size(), 16u);
}

TEST(Pcx, MalformedFilesAreRefusedOrCut) {
    setupscript::PcxImage img;
    auto good = PcxFile(4, 4, 2, {0x12, 0x34, 0x56, 0x78}, 2, {});
    ASSERT_TRUE(setupscript::DecodePcx(good.data(), good.size(), &img));
    auto bad = [&](std::function<void(std::vector<std::uint8_t>&)> change) {
        auto f = good;
        change(f);
        return !setupscript::DecodePcx(f.data(), f.size(), &img);
    };
    EXPECT_TRUE(bad([](auto& f) { f[0] = 9; }));
    EXPECT_TRUE(bad([](auto& f) { f.resize(100); }));
    EXPECT_TRUE(bad([](auto& f) { f[65] = 3; }));  // planes
    EXPECT_TRUE(bad([](auto& f) { f[3] = 24; }));
    EXPECT_TRUE(bad([](auto& f) { f[8] = 0, f[4] = 5; }));  // xmax below xmin
    EXPECT_TRUE(bad([](auto& f) { f[66] = 1; }));           // lines shorter than the pixels
    EXPECT_TRUE(bad([](auto& f) { f[66] = 0xFF, f[67] = 0xFF; }));
    EXPECT_TRUE(bad([](auto& f) { f[9] = 0xFF, f[11] = 0xFF; }));  // huge
    EXPECT_TRUE(bad([](auto& f) { f[3] = 8; }));                    // no room for the palette

    // Short data leaves colour 0; a run past the end is cut.
    auto shortData = PcxFile(8, 4, 4, {}, 4, {});
    shortData.insert(shortData.begin() + 128, {0xFF, 7, 0xFF, 7, 0xFF});
    ASSERT_TRUE(setupscript::DecodePcx(shortData.data(), shortData.size(), &img));
    EXPECT_EQ(img.bits.size(), 16u);
    for (auto b : img.bits) EXPECT_EQ(b, 7);
    auto trunc = PcxFile(4, 4, 2, {0x11}, 2, {});
    ASSERT_TRUE(setupscript::DecodePcx(trunc.data(), trunc.size(), &img));
    EXPECT_EQ(img.bits[img.Stride()], 0x11);
    EXPECT_EQ(img.bits[0], 0);
}

}  // namespace

namespace {

using setupscript::FileVersionFacts;
using setupscript::RegistryLine;

// A section as a reader that leaves lines as written would give it.
TEST(Section, LinesSplitTrimmedUnquotedAndCut) {
    const char block[] = " Key = \"v, w\" \0;comment=x\0Bare\0=lone\0Cut=abcdef\0Odd='\0";
    auto e = setupscript::SplitSection(block, sizeof block - 1, 4);
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].key, "Key");
    EXPECT_EQ(e[0].value, "v, w");
    EXPECT_TRUE(e[0].hasValue);
    EXPECT_EQ(e[1].key, "Bare");
    EXPECT_FALSE(e[1].hasValue);
    EXPECT_EQ(e[2].key, "");
    EXPECT_EQ(e[2].value, "lone");
    EXPECT_EQ(e[3].value, "abcd");
    EXPECT_EQ(e[4].value, "'") << "a lone quote is kept";
    EXPECT_TRUE(setupscript::SplitSection("", 0, 259).empty());
}

TEST(WorkRules, VersionsDecideThenTimes) {
    FileVersionFacts v1{true, 0x10000, 0, true, 0x10000, 0}, v2{true, 0x20000, 0, true, 0x20000, 0}, none;
    EXPECT_TRUE(setupscript::SourceReplaces(v2, v1, false));
    EXPECT_FALSE(setupscript::SourceReplaces(v1, v2, true));
    EXPECT_FALSE(setupscript::SourceReplaces(v1, v1, false));
    EXPECT_TRUE(setupscript::SourceReplaces(v1, v1, true));
    EXPECT_TRUE(setupscript::SourceReplaces(none, v2, true)) << "no version on one side: the time decides";
    // Fixed versions equal, the text newer: newer by either comparison wins.
    FileVersionFacts text = v1;
    text.textHigh = 0x30000;
    EXPECT_TRUE(setupscript::SourceReplaces(text, v1, false));
}

TEST(WorkRules, SideNamesAndProgress) {
    EXPECT_EQ(setupscript::SidePath("C:\\WIN\\SYSTEM\\VNUtil.dll", 0), "C:\\WIN\\SYSTEM\\VNUtil.0");
    EXPECT_EQ(setupscript::SidePath("C:\\A.B\\README", 3), "C:\\A.B\\README.3") << "a dot in a folder is not an extension";
    EXPECT_EQ(setupscript::Percent(0, 0), 100);
    EXPECT_EQ(setupscript::Percent(0xF0000000u, 0xFFFFFFFFu), 93) << "no overflow on large totals";
    EXPECT_EQ(setupscript::Percent(1, 3), 33);
}

TEST(WorkRules, RegistryLinesAndTheirRecordNames) {
    RegistryLine dword = setupscript::ParseRegistryLine({"HKLM", "Software\\X", "V", "1", "2A"});
    EXPECT_EQ(dword.kind, RegistryLine::Dword);
    EXPECT_EQ(dword.bytes, std::vector<unsigned char>{0x2A});
    EXPECT_EQ(setupscript::RecordName(dword), "Software\\X\\\\V");
    RegistryLine binary = setupscript::ParseRegistryLine({"hkcu", "K", "B", "x", "01", "fFz9"});
    EXPECT_EQ(binary.root, RegistryLine::CurrentUser);
    EXPECT_EQ(binary.kind, RegistryLine::Binary);
    EXPECT_EQ(binary.bytes, (std::vector<unsigned char>{0x01, 0xFF}));
    RegistryLine text = setupscript::ParseRegistryLine({"HKCR", "K", "T", "0", "data"});
    EXPECT_EQ(text.kind, RegistryLine::Text);
    EXPECT_EQ(text.text, "data");
    EXPECT_EQ(setupscript::ParseRegistryLine({"HKCR", "K", "T"}).kind, RegistryLine::Text);
    RegistryLine key = setupscript::ParseRegistryLine({"HKU", "K\\Sub"});
    EXPECT_EQ(key.kind, RegistryLine::KeyOnly);
    EXPECT_STREQ(setupscript::RootName(key.root), "HKEY_USERS");
    EXPECT_EQ(setupscript::RecordName(key), "K\\Sub");
    std::vector<std::string> many{"HKLM", "K", "V", "1"};
    many.resize(4 + 300, "7");
    EXPECT_EQ(setupscript::ParseRegistryLine(many).bytes.size(), 260u);
}

}  // namespace
