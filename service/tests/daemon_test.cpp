// The service's decisions over in-process fakes of the libraries and the system.
#include <gtest/gtest.h>

#include "service/daemon.h"
#include "service/itemlist.h"
#include "service/keytable.h"
#include "service/tests/fakes.h"

namespace vnd::test {
namespace {

Window W(int n) { return reinterpret_cast<Window>(static_cast<std::uintptr_t>(n)); }
std::intptr_t Usage(unsigned page, unsigned usage) { return static_cast<std::intptr_t>(page << 16 | usage); }

TEST(KeyTable, MapsUsagesCodesAndNames) {
    EXPECT_EQ(FunctionCodeForUsage(2), 0x8002u);
    EXPECT_EQ(FunctionCodeForUsage(6), 0x0192u);
    EXPECT_EQ(FunctionCodeForUsage(0x0183), 0x0091u);
    EXPECT_EQ(FunctionCodeForUsage(0x0224), 0x0224u);  // not in the table: its own code
    EXPECT_STREQ(KeyNameForCode(0x0192), "Aux5");
    EXPECT_STREQ(KeyNameForCode(0x0223), "Aux7");
    EXPECT_STREQ(KeyNameForCode(0x00E9), "");
    char s[32];
    ButtonSection(0x8004, s);
    EXPECT_STREQ(s, "Buttons\\Aux4");
    ButtonSection(0x00E2, s);
    EXPECT_STREQ(s, "Buttons\\");
}

TEST(KeyTable, ParentSection) {
    char p[32];
    ParentSection("Buttons\\Aux1", p, sizeof p);
    EXPECT_STREQ(p, "Buttons");
    ParentSection("Buttons\\", p, sizeof p);
    EXPECT_STREQ(p, "");
    ParentSection("A\\B\\C\\", p, sizeof p);
    EXPECT_STREQ(p, "A\\B");
    ParentSection("Buttons", p, sizeof p);
    EXPECT_STREQ(p, "");
}

TEST(ItemList, AcceptsOnlyTerminatedChains) {
    const unsigned char ok[] = {4, 0, 'a', 'b', 3, 0, 'c', 0, 0};
    EXPECT_TRUE(IsWellFormedItemList(ok, sizeof ok));
    const unsigned char empty[] = {0, 0};
    EXPECT_TRUE(IsWellFormedItemList(empty, sizeof empty));
    EXPECT_FALSE(IsWellFormedItemList(ok, sizeof ok - 1));  // terminator cut off
    const unsigned char overrun[] = {40, 0, 'a', 0, 0};
    EXPECT_FALSE(IsWellFormedItemList(overrun, sizeof overrun));
    const unsigned char loop[] = {1, 0, 0, 0};
    EXPECT_FALSE(IsWellFormedItemList(loop, sizeof loop));
    EXPECT_FALSE(IsWellFormedItemList(ok, 1));
}

class Service : public ::testing::Test {
protected:
    Bed bed;
    Daemon d{bed.ports, W(1)};
    void Start() {
        ASSERT_TRUE(d.Start("alice"));
        bed.log.clear();
    }
    void Key(unsigned usage, int make, unsigned page = 0x0C) { d.KeyEvent(make, Usage(page, usage)); }
};

TEST_F(Service, StartUpOrder) {
    bed.keyboard.os = 2;
    ASSERT_TRUE(d.Start("alice"));
    const char* order[] = {"profile Software\\OSTRL_KBD\\Productivity|alice", "hid.init", "cd.open", "mixer.init",
                           "osd.init", "osd.load", "tray.show", "hook.power 1 3481", "hook.llkb 1 402 1",
                           "osd.load", "hook.filter 0"};
    ASSERT_EQ(bed.log.lines.size(), std::size(order));
    for (size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(bed.log.lines[i], order[i]);
}

TEST_F(Service, StartUpCdAudioOnlyOnOlderSystems) {
    bed.keyboard.os = 5;
    ASSERT_TRUE(d.Start(""));
    EXPECT_FALSE(bed.log.has("cd.open"));
}

TEST_F(Service, StartUpFailsWhenKeyboardLibraryRefuses) {
    bed.keyboard.initResult = 0;
    EXPECT_FALSE(d.Start(""));
    EXPECT_FALSE(bed.log.has("hook.llkb 1 402 1"));
}

TEST_F(Service, TrayAtStartUp) {
    bed.keyboard.devices = 0;
    bed.keyfunc.Num("SysTrayIcon", "Hide", 1);
    ASSERT_TRUE(d.Start(""));
    EXPECT_TRUE(bed.tray.hidden);
    EXPECT_EQ(d.hideFlag(), 0);  // not read without a keyboard
    bed.keyboard.devices = 1;
    d.DeviceChange(0x8000, 7);
    EXPECT_TRUE(bed.log.has("hid.change 32768 7"));
    EXPECT_FALSE(bed.tray.hidden);
}

TEST_F(Service, TrayStaysHiddenAfterUserHidIt) {
    Start();
    d.HideIconByUser();
    EXPECT_TRUE(bed.log.has("set SysTrayIcon|Hide=1"));
    EXPECT_TRUE(bed.tray.hidden);
    bed.keyboard.devices = 0;
    d.DeviceChange(0, 0);
    bed.keyboard.devices = 1;
    d.DeviceChange(0, 0);
    EXPECT_TRUE(bed.tray.hidden);
    // The next start-up with a keyboard keeps it hidden as well.
    Bed again;
    again.keyfunc.store = bed.keyfunc.store;
    Daemon second(again.ports, W(1));
    ASSERT_TRUE(second.Start(""));
    EXPECT_TRUE(again.tray.hidden);
    EXPECT_EQ(second.hideFlag(), 1);
}

TEST_F(Service, WizardShowAndHideMessages) {
    bed.keyboard.devices = 0;
    Start();
    d.ShowIconMessage();
    EXPECT_FALSE(bed.tray.hidden);
    d.DeviceChange(0, 0);  // still no keyboard
    EXPECT_TRUE(bed.tray.hidden);
    bed.keyboard.devices = 1;
    d.HideIconMessage();
    d.DeviceChange(0, 0);
    EXPECT_TRUE(bed.tray.hidden);
    EXPECT_FALSE(bed.log.has("set SysTrayIcon|Hide=1"));  // the wizard stores it itself
}

TEST_F(Service, ReloadSwitches) {
    Start();
    bed.keyfunc.Num("Buttons", "INavEnable", 0);
    bed.keyfunc.Num("Buttons", "OSDEnable", 0);
    bed.keyfunc.Str("Buttons", "KRHEnable", "0");
    d.ReloadSettings();
    EXPECT_EQ(bed.log.lines.back(), "hook.filter 1");
    EXPECT_FALSE(d.osdFlag());
    EXPECT_FALSE(d.keyreachFlag());
}

TEST_F(Service, IntakeChecksPageAndUsageOne) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux5", "ActionType", 2);
    bed.keyfunc.Str("Buttons\\Aux5", "ActionCommand", "calc.exe");
    Key(6, 1, 0x0007);
    Key(6, 1, 0xFF00);
    EXPECT_TRUE(bed.log.lines.empty());
    Key(6, 1, 0x0009);
    Key(0x0192, 1, 0x000C);  // the Consumer-page Calculator reaches the same record
    EXPECT_EQ(bed.log.count("launch calc.exe|(null)|0"), 2);
    bed.log.clear();
    Key(1, 1, 0x0009);  // usage 1 is never looked up in the key table
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"sysinfo"});
}

TEST_F(Service, Hotkey01) {
    Start();
    bed.host.hotkeyPresent = true;
    bed.host.hotkey = "C:\\tools\\x.exe";
    Key(1, 0);
    EXPECT_TRUE(bed.log.lines.empty());
    Key(1, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"process C:\\tools\\x.exe"});
    bed.log.clear();
    bed.host.fileExists = false;
    Key(1, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"sysinfo"});
}

TEST_F(Service, Kind1LaunchesTogglesAndShowsLabel) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 1);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "notepad.exe");
    bed.keyfunc.Str("Buttons\\Aux1", "ActionParam1", "a.txt");
    bed.keyfunc.Str("Buttons\\Aux1", "DisplayName", "Notes");
    Key(2, 1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"osd.text Notes", "osd.rect 0 0 984 728 2a",
                                                       "launch notepad.exe|a.txt|1"}));
    bed.log.clear();
    Key(2, 0);  // key up: handled, nothing launched
    EXPECT_TRUE(bed.log.lines.empty());
    Key(2, 1);
    EXPECT_TRUE(bed.log.has("activate 100 1"));
    EXPECT_FALSE(bed.log.has("launch notepad.exe|a.txt|1"));
    // A changed parameter is a different program: a new launch.
    bed.keyfunc.Str("Buttons\\Aux1", "ActionParam1", "b.txt");
    Key(2, 1);
    EXPECT_TRUE(bed.log.has("launch notepad.exe|b.txt|1"));
}

TEST_F(Service, Kind1FailuresStartTheWizardAndUnknownPidBeeps) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux2", "ActionType", 7);
    Key(3, 1);  // no command: the launch fails
    EXPECT_EQ(bed.log.lines.back(), "launch TKCFG.EXE|(null)|0");
    bed.log.clear();
    bed.keyfunc.Str("Buttons\\Aux2", "ActionCommand", "x.exe");
    bed.keyfunc.nextPid = 0;
    Key(3, 1);
    EXPECT_EQ(bed.log.lines.back(), "beep");
}

TEST_F(Service, Kind2And3) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux3", "ActionType", 2);
    bed.keyfunc.Str("Buttons\\Aux3", "ActionCommand", "http://example.test/");
    Key(4, 1);
    EXPECT_TRUE(bed.log.has("launch http://example.test/|(null)|0"));
    bed.keyfunc.Num("Buttons\\Aux4", "ActionType", 3);
    bed.keyfunc.Str("Buttons\\Aux4", "ActionCommand", "Paint");
    Key(5, 1);
    EXPECT_EQ(bed.log.lines.back(), "launch TKCFG.EXE|(null)|0");  // not in the Start menu
    bed.keyfunc.programs["Paint"] = "C:\\menu\\Paint.lnk";
    bed.log.clear();
    Key(5, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"launch C:\\menu\\Paint.lnk|(null)|1"});
    Key(5, 1);
    EXPECT_EQ(bed.log.lines.back(), "activate 100 1");
}

TEST_F(Service, Kind4RunsForMakeAndBreak) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 4);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "VolumeUp");
    Key(2, 1);
    Key(2, 0);
    EXPECT_TRUE(bed.log.has("osd.volume 30000 24"));
    EXPECT_TRUE(bed.log.has("hid.call e9 1"));
    EXPECT_TRUE(bed.log.has("hid.call e9 0"));
    EXPECT_EQ(bed.log.count("timer.stop 0"), 1);
    bed.log.clear();
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "MyDocuments");  // a private code: by name
    Key(2, 1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"osd.text desc MyDocuments", "osd.rect 0 0 984 728 2a",
                                                       "predef MyDocuments 1"}));
}

TEST_F(Service, Kind5SendsToTheWindowOfTheParentSection) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 5);
    bed.keyfunc.Num("Buttons\\Aux1", "ActionCommand", 0x111);
    bed.keyfunc.Num("Buttons\\Aux1", "ActionParam1", 40001);
    Key(2, 1);
    EXPECT_EQ(bed.log.lines.back(), "launch TKCFG.EXE|(null)|0");  // no window
    bed.log.clear();
    bed.keyfunc.Num("Buttons", "FindWindow", 1);
    bed.keyfunc.Str("Buttons", "ClassName", "Target");
    bed.host.windows["Target|whatever"] = W(77);
    Key(2, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{Fmt("send %p 111 40001 0", W(77))});
}

TEST_F(Service, WindowLookupByProgramPath) {
    bed.keyfunc.Num("S", "ActionType", 1);
    bed.keyfunc.Str("S", "ActionCommand", "C:\\a.exe");
    bed.keyfunc.windowsByPath["C:\\a.exe"] = W(5);
    EXPECT_EQ(d.LookupWindow("S"), W(5));
    bed.keyfunc.Num("S", "ActionType", 3);
    bed.keyfunc.Str("S", "ActionCommand", "A");
    EXPECT_EQ(d.LookupWindow("S"), nullptr);
    bed.keyfunc.programs["A"] = "C:\\A.lnk";
    bed.keyfunc.links["C:\\A.lnk"] = "C:\\a.exe";
    EXPECT_EQ(d.LookupWindow("S"), W(5));
    bed.keyfunc.Num("S", "ActionType", 2);
    EXPECT_EQ(d.LookupWindow("S"), nullptr);
}

TEST_F(Service, Kind6OpensOnlyWellFormedItems) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux7", "ActionType", 6);
    bed.keyfunc.Bin("Buttons\\Aux7", "ActionCommand", {5, 0, 1, 2, 3, 0, 0});
    Key(8, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"shell.open 7"});
    bed.log.clear();
    bed.keyfunc.Bin("Buttons\\Aux7", "ActionCommand", {0xFF, 0xFF, 1, 2});
    Key(8, 1);
    bed.keyfunc.Str("Buttons\\Aux7", "ActionCommand", "text");
    Key(8, 1);
    bed.keyfunc.Bin("Buttons\\Aux7", "ActionCommand", {});
    Key(8, 1);
    EXPECT_EQ(bed.log.count("launch TKCFG.EXE|(null)|0"), 3);
    EXPECT_FALSE(bed.log.has("shell.open 4"));
}

TEST_F(Service, KindZeroAndUnknownKinds) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux5", "ActionType", 0);
    Key(6, 1);  // like no record: the Calculator default
    EXPECT_TRUE(bed.log.has("hid.call 192 1"));
    bed.log.clear();
    bed.keyfunc.Num("Buttons\\Aux5", "ActionType", 9);
    Key(6, 1);
    bed.keyfunc.Num("Buttons\\Aux5", "ActionType", -1);
    Key(6, 1);
    EXPECT_EQ(bed.log.count("launch TKCFG.EXE|(null)|0"), 2);
}

TEST_F(Service, EmptyDisplayNameTurnsTheDescriptionOff) {
    Start();
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 4);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "MyDocuments");
    bed.keyfunc.Str("Buttons\\Aux1", "DisplayName", "");
    Key(2, 1);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"predef MyDocuments 1"});
}

TEST_F(Service, KeyreachOffStopsRecordsAndDefaultsButNotMediaFeedback) {
    bed.keyfunc.Num("Buttons", "KRHEnable", 0);
    Start();
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 1);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "x.exe");
    Key(2, 1);
    Key(6, 1);
    EXPECT_TRUE(bed.log.lines.empty());
    Key(0xE2, 1);
    Key(0x224, 1);
    EXPECT_TRUE(bed.log.has("osd.mute 1"));
    EXPECT_TRUE(bed.log.has("osd.text desc Back"));
    EXPECT_FALSE(bed.log.has("hid.call 224 1"));
}

TEST_F(Service, NoRecordDefaults) {
    Start();
    Key(6, 1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"osd.keep 1", "osd.text desc Calculator",
                                                       "osd.rect 0 0 984 728 2a", "hid.call 192 1"}));
    bed.log.clear();
    Key(6, 0);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"osd.keep 0", "hid.call 192 0"}));
    bed.log.clear();
    bed.keyfunc.hidOk = false;
    Key(6, 1);
    EXPECT_EQ(bed.log.lines.back(), "launch TKCFG.EXE|(null)|0");
    bed.log.clear();
    Key(0x0999, 1);  // unknown to the catalogue
    EXPECT_TRUE(bed.log.lines.empty());
}

TEST_F(Service, Windows9xKeysWithoutRecordDoNothing) {
    bed.keyboard.os = 3;
    Start();
    Key(6, 1);
    Key(0xE9, 1);
    EXPECT_TRUE(bed.log.lines.empty());
}

TEST_F(Service, VolumeRepeatRunsWhileHeld) {
    Start();
    bed.keyfunc.muted = true;
    Key(0xE9, 1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"osd.keep 1", "osd.volume 30000 24", "timer.start 0 100",
                                                       "mixer.mute 0"}));
    Key(0xEA, 1);  // already running
    EXPECT_EQ(bed.log.count("timer.start 0 100"), 1);
    bed.log.clear();
    bed.keyfunc.volume = 31000;
    d.TimerTick(Timer::VolumeRepeat);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"osd.volume 31000 24"});
    Key(0xE9, 0);
    Key(0xE9, 0);
    EXPECT_EQ(bed.log.count("timer.stop 0"), 1);
    bed.log.clear();
    d.TimerTick(Timer::VolumeRepeat);  // a late tick after the stop shows nothing
    EXPECT_TRUE(bed.log.lines.empty());
}

// Switches turned off by a reload while a volume key is held: its release still ends the repeat.
TEST_F(Service, ReleaseStopsTheVolumeRepeatWhateverTheSwitches) {
    Start();
    Key(0xE9, 1);
    bed.keyfunc.Num("Buttons", "OSDEnable", 0);
    d.ReloadSettings();
    Key(0xE9, 0);
    EXPECT_EQ(bed.log.count("timer.stop 0"), 1);

    bed.keyfunc.Num("Buttons", "OSDEnable", 1);
    bed.keyfunc.Num("Buttons\\Aux1", "ActionType", 4);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "VolumeUp");
    d.ReloadSettings();
    Key(2, 1);
    bed.keyfunc.Num("Buttons", "KRHEnable", 0);
    d.ReloadSettings();
    Key(2, 0);
    EXPECT_EQ(bed.log.count("timer.stop 0"), 2);
    EXPECT_TRUE(bed.log.has("hid.call e9 0"));  // the key function's own ramp ends too

    // Reassigned while held: the release goes to the function the press went to.
    bed.keyfunc.Num("Buttons", "KRHEnable", 1);
    d.ReloadSettings();
    Key(2, 1);
    bed.keyfunc.Str("Buttons\\Aux1", "ActionCommand", "MyDocuments");
    d.ReloadSettings();
    bed.log.clear();
    Key(2, 0);
    EXPECT_TRUE(bed.log.has("hid.call e9 0"));
    EXPECT_FALSE(bed.log.has("predef MyDocuments 0"));
}

TEST_F(Service, OsdOffMeansNoFeedbackNoTimer) {
    bed.keyfunc.Num("Buttons", "OSDEnable", 0);
    Start();
    Key(0xE9, 1);
    Key(6, 1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"hid.call 192 1"}));
}

TEST_F(Service, MediaKeys) {
    Start();
    Key(0xB5, 1);
    Key(0xB5, 0);
    EXPECT_EQ(bed.log.count("activeplayer"), 1);
    Key(0xCD, 1);
    EXPECT_TRUE(bed.log.has("hid.call cd 1"));
    Key(0x0183, 1);
    EXPECT_TRUE(bed.log.has("hid.call 91 1"));
    bed.log.clear();
    bed.host.windows["MMFRAME_MAIN|Player"] = W(9);
    Key(0xCD, 1);
    Key(0x0183, 1);
    bed.host.minimized[W(9)] = true;
    Key(0x0183, 1);
    EXPECT_FALSE(bed.log.has("hid.call cd 1"));
    EXPECT_TRUE(bed.log.has(Fmt("show %p 6", W(9))));
    EXPECT_TRUE(bed.log.has(Fmt("show %p 1", W(9))));
}

TEST_F(Service, EmailKeyNotifiesAndStopsMailBlink) {
    Start();
    bed.host.windows["KRHSPOSD_CLASS|"] = W(3);
    d.MailStatus(1);
    bed.log.clear();
    Key(7, 1, 9);
    std::vector<std::string> expect{Fmt("post %p 8263 0 0", W(3)), "timer.stop 1", Fmt("post %p 800c 0 0", W(3)),
                                    "led 19 0"};
    ASSERT_GE(bed.log.lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(bed.log.lines.begin(), bed.log.lines.begin() + 4), expect);
    bed.log.clear();
    Key(7, 0, 9);
    EXPECT_EQ(bed.log.lines.front(), Fmt("post %p 8263 0 0", W(3)));
}

TEST_F(Service, LaunchRecordTableFillsUp) {
    Start();
    for (unsigned code = 0x9000; code < 0x9000 + 70; ++code) {
        bed.keyfunc.names[code] = "x";
        bed.keyfunc.Num("Buttons\\", "ActionType", 1);
        bed.keyfunc.Str("Buttons\\", "ActionCommand", "p.exe");
        d.ButtonDispatch(6, code, 1);
    }
    // 64 tracked codes; further ones launch without tracking.
    EXPECT_EQ(bed.log.count("launch p.exe||1"), 64);
    EXPECT_EQ(bed.log.count("launch p.exe||0"), 6);
    EXPECT_NE(d.launchRecords()[63].code, 0u);
}

TEST_F(Service, DetachAndAttach) {
    Start();
    bed.keyfunc.Num("Application\\Message Notify", "FindWindow", 1);
    bed.keyfunc.Str("Application\\Message Notify", "ClassName", "Notifier");
    bed.host.windows["Notifier|n"] = W(4);
    d.SetOwnSession(3);
    d.SessionChange(2, 4);  // another session
    EXPECT_TRUE(bed.log.lines.empty());
    d.SessionChange(2, 3);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"hook.power 0 0", "hook.input 0 0", "hook.llkb 0 0 0",
                                                       "tray.hide", Fmt("post %p 10 0 0", W(4)), "osd.destroy",
                                                       "hid.close"}));
    bed.log.clear();
    bed.keyboard.os = 4;
    d.SessionChange(1, 3);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"hid.init", "cd.open", "osd.init", "tray.show",
                                                       "hook.power 1 3481"}));
}

TEST_F(Service, DetachFallsBackToTheDefaultNotifierWindow) {
    Start();
    bed.host.windows["VNSmailD|VNSmailD"] = W(8);
    d.Detach();
    EXPECT_TRUE(bed.log.has(Fmt("post %p 10 0 0", W(8))));
}

TEST_F(Service, PowerAndStandbyBlink) {
    Start();
    d.Power(4);
    EXPECT_EQ(bed.log.lines, std::vector<std::string>{"led 27 1"});
    bed.log.clear();
    d.Power(7);
    d.Power(6);  // a second resume does not restart the blink
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{"led 27 1", "timer.start 2 1000"}));
    bed.log.clear();
    for (int i = 0; i < 21; ++i) d.TimerTick(Timer::StandbyBlink);
    EXPECT_EQ(bed.log.count("led 27 0"), 11);
    EXPECT_EQ(bed.log.count("led 27 1"), 10);
    EXPECT_EQ(bed.log.lines[bed.log.lines.size() - 2], "timer.stop 2");
    EXPECT_EQ(bed.log.lines.back(), "led 27 0");
    d.Power(10);
    EXPECT_EQ(bed.log.lines.back(), "led 27 0");
}

TEST_F(Service, Windows98DetachesAroundStandby) {
    bed.keyboard.os = 2;
    Start();
    d.Power(4);
    EXPECT_TRUE(bed.log.has("hid.close"));
    d.Power(7);
    EXPECT_TRUE(bed.log.has("hid.init"));
}

TEST_F(Service, MailBlink) {
    Start();
    bed.host.windows["KRHSPOSD_CLASS|"] = W(3);
    d.MailStatus(1);
    d.MailStatus(1);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{Fmt("post %p 803d 0 0", W(3)), "led 19 1", "timer.start 1 1000"}));
    bed.log.clear();
    d.TimerTick(Timer::MailBlink);
    d.TimerTick(Timer::MailBlink);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{Fmt("post %p 800c 0 0", W(3)), "led 19 0",
                                                       Fmt("post %p 803d 0 0", W(3)), "led 19 1"}));
    bed.log.clear();
    d.MailStatus(0);
    EXPECT_EQ(bed.log.lines, (std::vector<std::string>{Fmt("post %p 8263 0 0", W(3)), "timer.stop 1",
                                                       Fmt("post %p 800c 0 0", W(3)), "led 19 0"}));
}

}  // namespace
}  // namespace vnd::test
