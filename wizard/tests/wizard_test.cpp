// The wizard sheet driven from outside: page order, buttons, step links, single instance, Finish.
#include "wizard/tests/wizard_fixture.h"

#include <commctrl.h>

namespace tkcfg::test {
namespace {

const UINT kReload = 0x0730, kShowTray = 0x0731;

// Step links on the page grid: the middle of step k's text.
POINT Step(int k) {
    static const int x[6] = {16, 146, 254, 372, 474, 620};
    return {x[k] + 10, 16};
}

using Sheet = WizardTest;

TEST_F(Sheet, PagesFollowTheirButtonRules) {
    WriteNumber("Buttons", "KRHEnable", 2);  // neither on nor off: the radios start unset
    StartWizard();
    EXPECT_EQ(0, wizard.PageIndex());
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));
    EXPECT_FALSE(wizard.ButtonEnabled(kBackButton));
    EXPECT_NE(std::string::npos, wizard.Text(1046).find("Version: 1.0.0.2"));

    wizard.Press(PSBTN_NEXT);  // Internet Navigation, enabled in a fresh store
    ASSERT_EQ(1, wizard.PageIndex());
    EXPECT_EQ(BST_CHECKED, SendMessageA(wizard.Control(1016), BM_GETCHECK, 0, 0));
    EXPECT_TRUE(wizard.ButtonEnabled(kBackButton) && wizard.ButtonEnabled(kNextButton));

    wizard.Press(PSBTN_NEXT);  // Keyreach Keys: Disable offers Finish at once, Enable brings Next back
    ASSERT_EQ(2, wizard.PageIndex());
    wizard.ClickButton(1014);
    EXPECT_TRUE(wizard.ButtonEnabled(kFinishButton));
    EXPECT_FALSE(wizard.ButtonVisible(kNextButton));
    wizard.ClickPage(Step(4).x, Step(4).y);  // step links are inert while the keys are off
    EXPECT_EQ(2, wizard.PageIndex());
    wizard.ClickButton(1013);
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));

    wizard.Press(PSBTN_NEXT);  // Customize Keys shows the extra Finish button, and only it
    ASSERT_EQ(3, wizard.PageIndex());
    EXPECT_TRUE(wizard.ButtonVisible(kExtraFinish));
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(4, wizard.PageIndex());
    EXPECT_FALSE(wizard.ButtonVisible(kExtraFinish));
    wizard.Press(PSBTN_BACK);
    EXPECT_EQ(3, wizard.PageIndex());

    // With the keys switched off on the way, Back from Print Label skips Customize Keys.
    wizard.GoTo(2);
    wizard.ClickButton(1014);
    wizard.GoTo(1);
    wizard.Press(PSBTN_NEXT);
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));  // set by the page before, as the radios were not clicked
    wizard.Press(PSBTN_NEXT);
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(4, wizard.PageIndex());
    wizard.Press(PSBTN_BACK);
    EXPECT_EQ(2, wizard.PageIndex());
}

TEST_F(Sheet, StepLinksJumpAndTheOwnStepStays) {
    StartWizard();
    wizard.ClickPage(Step(3).x, Step(3).y);
    EXPECT_EQ(4, wizard.PageIndex());
    wizard.ClickPage(Step(3).x, Step(3).y);
    EXPECT_EQ(4, wizard.PageIndex());
    wizard.ClickPage(Step(0).x, Step(0).y);
    EXPECT_EQ(1, wizard.PageIndex());
    wizard.ClickPage(Step(5).x, Step(5).y);
    EXPECT_EQ(6, wizard.PageIndex());
}

TEST_F(Sheet, SecondStartEndsSilently) {
    StartWizard();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + dir.file("TKCfg.exe") + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.path().c_str(), &si, &pi));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, vntest::Scaled(10000)));
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(nullptr, FindDialogOf(pi.dwProcessId));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_TRUE(IsWindowVisible(wizard.sheet()));
    EXPECT_EQ(0, wizard.PageIndex());
}

TEST_F(Sheet, FinishFromUnopenedPagesWritesNothingButTellsTheService) {
    MakeServiceWindow();
    StartWizard();
    wizard.ClickPage(Step(5).x, Step(5).y);
    ASSERT_EQ(6, wizard.PageIndex());
    EXPECT_EQ("enable", wizard.Text(2135));
    EXPECT_EQ("enable", wizard.Text(2136));
    EXPECT_EQ("no", wizard.Text(2137));
    EXPECT_EQ("Show System Tray Icon", wizard.Text(2141));
    EXPECT_EQ("Lock Desktop", wizard.Text(1145));
    FinishWith(kFinishButton);
    EXPECT_FALSE(KeyExists("Buttons"));
    EXPECT_FALSE(KeyExists("OSD"));
    EXPECT_FALSE(KeyExists("SysTrayIcon"));
    EXPECT_EQ(std::vector<UINT>{kReload}, PostedToService());
}

TEST_F(Sheet, FinishWritesEveryOpenedPageOnceWhicheverButton) {
    MakeServiceWindow();
    StartWizard();
    for (int i = 0; i < 5; ++i) wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(5, wizard.PageIndex());
    SendMessageA(wizard.Control(1031), CB_SETCURSEL, 15, 0);  // white
    SendMessageA(wizard.Page(), WM_COMMAND, MAKEWPARAM(1031, CBN_SELCHANGE), reinterpret_cast<LPARAM>(wizard.Control(1031)));
    wizard.Press(PSBTN_BACK);
    wizard.Press(PSBTN_BACK);  // Customize Keys: its own Finish button saves once and closes
    ASSERT_EQ(3, wizard.PageIndex());
    FinishWith(kExtraFinish);

    DWORD n = 0;
    EXPECT_TRUE(ReadNumber("OSD", "Height", &n));
    EXPECT_EQ(-37, static_cast<int>(n));
    std::string face;
    EXPECT_TRUE(ReadString("OSD", "FaceName", &face));
    EXPECT_FALSE(face.empty());
    for (auto [name, value] : {std::pair<const char*, DWORD>{"SelSize", 28}, {"Color", 0xFFFFFF}, {"ColorIndex", 15},
                               {"SizeIndex", 4}, {"Duration", 1200}, {"UserChanged", 1}}) {
        EXPECT_TRUE(ReadNumber("OSD", name, &n)) << name;
        EXPECT_EQ(value, n) << name;
    }
    for (const char* name : {"INavEnable", "KRHEnable", "OSDEnable"}) {
        EXPECT_TRUE(ReadNumber("Buttons", name, &n)) << name;
        EXPECT_EQ(1u, n) << name;
    }
    EXPECT_TRUE(ReadNumber("Buttons", "PrintEnable", &n));
    EXPECT_EQ(0u, n);
    EXPECT_TRUE(ReadNumber("SysTrayIcon", "Hide", &n));
    EXPECT_EQ(0u, n);
    EXPECT_FALSE(KeyExists("Buttons\\Aux1"));  // no key was given a new assignment
    EXPECT_EQ((std::vector<UINT>{kReload, kShowTray}), PostedToService());
}

TEST_F(Sheet, CancelAfterEveryPageWritesNothing) {
    StartWizard();
    wizard.Press(PSBTN_NEXT);
    wizard.ClickButton(1017);
    wizard.Press(PSBTN_NEXT);
    wizard.ClickButton(1014);
    for (int i = 3; i < 7; ++i) wizard.GoTo(i);
    wizard.Press(PSBTN_CANCEL);
    ASSERT_EQ(0, wizard.WaitExit());
    EXPECT_FALSE(KeyExists(""));
}

}  // namespace
}  // namespace tkcfg::test
