// The real setup.exe under Wine, driven from outside: scripts beside it, the command line, the
// Windows version it is told, wizard buttons pressed with PSM_PRESSBUTTON, and what the user sees.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "setup/resource.h"
#include "setup/tests/pcx_writer.h"
#include "setup/tests/setup_program.h"

namespace {

using setuptest::SetupProgram;
using setuptest::WindowText;

const char kProduct[] = "[Setup]\r\nProductName=Tessaro Keyboard\r\n";

TEST_F(SetupProgram, ScriptChosenPerWindowsVersion) {
    struct Case {
        const char* version;
        std::vector<const char*> files;
        const char* expect;  // the product of the script read, or null for "not supported"
    };
    const Case cases[] = {
        {"win95", {"SETUP95.INI", "SETUP98.INI", "SETUPNT.INI"}, "SETUP95.INI"},
        {"win98", {"SETUP95.INI", "SETUP98.INI"}, "SETUP98.INI"},
        {"win98", {"SETUP95.INI"}, "SETUP95.INI"},
        {"win98", {"SETUPNT.INI"}, nullptr},
        {"winme", {"SETUPME.INI", "SETUP98.INI"}, "SETUPME.INI"},
        {"win2k", {"SETUP2K.INI", "SETUPNT.INI"}, "SETUP2K.INI"},
        {"win2k", {"SETUPNT.INI", "SETUPXP.INI"}, "SETUPNT.INI"},
        {"winxp", {"SETUPXP.INI", "SETUPNT.INI"}, "SETUPXP.INI"},
        {"nt40", {"SETUP2K.INI", "SETUPNT.INI"}, "SETUPNT.INI"},
        {"winxp", {"SETUP95.INI"}, nullptr},
    };
    // Windows Me tells itself apart by its version number text.
    vn::RegKey key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, key.out(), nullptr);
    for (const Case& c : cases) {
        for (const char* f : {"SETUP95.INI", "SETUP98.INI", "SETUPME.INI", "SETUPNT.INI", "SETUP2K.INI", "SETUPXP.INI"})
            DeleteFileA(dir.file(f).c_str());
        for (const char* f : c.files) Script(f, std::string("[Setup]\r\nProductName=") + f + "\r\n");
        const char* me = std::string(c.version) == "winme" ? "4.90.3000" : "4.10.2222";
        RegSetValueExA(key.get(), "VersionNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(me), 10);
        Start("", c.version);
        if (c.expect) {
            HWND sheet = Sheet();
            ASSERT_TRUE(sheet) << c.version;
            EXPECT_NE(Item(sheet, IDC_TEXT1).find(std::string("the ") + c.expect + " Setup program"), std::string::npos)
                << c.version << ": " << Item(sheet, IDC_TEXT1);
            TerminateProcess(pi.hProcess, 0);
        } else {
            HWND box = Dialog("Setup Warning");
            ASSERT_TRUE(box) << c.version;
            bool saysSo = false;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                saysSo |= WindowText(child).find("Current O.S. is not supported") == 0;
            EXPECT_TRUE(saysSo);
            EXPECT_TRUE(Windows("VarnelSetup").empty());
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(Ends());
            EXPECT_EQ(ExitCode(), 1u);
        }
        Ends();
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
    RegDeleteValueA(key.get(), "VersionNumber");
}

TEST_F(SetupProgram, PagesFollowTheFlagsAndTheServiceStartsAtTheEnd) {
    Script("SETUPNT.INI", std::string(kProduct) +
                              "Version=2.5\r\nAskLicense=TRUE\r\nAskPath=TRUE\r\nAskProgramFolder=TRUE\r\n");
    Start();
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(Item(sheet, IDC_TEXT1),
              "Welcome to the Tessaro Keyboard Setup program.  This program will install Tessaro Keyboard on your "
              "computer.");
    std::vector<std::string> captions{WindowText(sheet)};
    for (int i = 0; i < 5; ++i) captions.push_back(Press(sheet, PSBTN_NEXT));
    EXPECT_EQ(captions, (std::vector<std::string>{"Welcome", "Software License Agreement", "Hardware Interface Selection",
                                                  "Choose Destination Location", "Select Program Folder",
                                                  "Start Installation"}));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(Item(sheet, IDC_SUMMARY), std::string("Product:\r\n          Tessaro Keyboard\r\n\r\nVersion:\r\n          2.5"
                                                    "\r\n\r\nInterface:\r\n          USB (Universal Serial Bus) Interface"
                                                    "\r\n\r\nInstallation Directory:\r\n          ") +
                                            system + "\r\n\r\nProgram Folder:\r\n          ");
    // Next starts the installation work, which moves on to the result page by itself.
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 10000);
    ASSERT_EQ(WindowText(sheet), "Setup Result");
    EXPECT_EQ(Item(sheet, IDC_TEXT1), "Setup has successfully installed Tessaro Keyboard.\n\nClick Finish to complete Setup.");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(Page(sheet), IDC_RESTART_NOW)));
    EXPECT_FALSE(ServiceStarted());
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    EXPECT_TRUE(Ends());
    EXPECT_TRUE(ServiceStarted());

    // With no page asked, only the fixed ones are shown.
    Script("SETUPNT.INI", std::string(kProduct) + "USBType=FALSE\r\n");
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Start();
    sheet = Sheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(WalkToResult(sheet),
              (std::vector<std::string>{"Welcome", "Start Installation", "Setup Result"}));
}

TEST_F(SetupProgram, InterfaceFromScriptCommandLineAndPage) {
    // PS/2 chosen on the page: the NT family needs a restart, offered on the result page.
    Script("SETUPNT.INI", std::string(kProduct));
    Start();
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(Press(sheet, PSBTN_NEXT), "Hardware Interface Selection");
    HWND page = Page(sheet);
    EXPECT_EQ(SendMessageA(GetDlgItem(page, IDC_USB), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(GetDlgItem(page, IDC_USB), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(page, IDC_PS2), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(Press(sheet, PSBTN_NEXT), "Start Installation");
    EXPECT_NE(Item(sheet, IDC_SUMMARY).find("Interface:\r\n          PS/2 Interface"), std::string::npos);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 10000);
    page = Page(sheet);
    EXPECT_EQ(Item(sheet, IDC_TEXT1),
              "Setup has successfully installed Tessaro Keyboard.\n\nBefore you can use Tessaro Keyboard, you must "
              "restart your computer.");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_RESTART_NOW)));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, IDC_RESTART_NOW), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Restarting the test machine is not an option here: "later".
    SendMessageA(GetDlgItem(page, IDC_RESTART_NOW), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(page, IDC_RESTART_LATER), BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    EXPECT_TRUE(Ends());

    struct Case {
        const char* script;
        const char* args;
        bool pageShown;
        const char* iface;
        bool restart;
    };
    const Case cases[] = {
        {"PS2Type=FALSE\r\n", "", false, "PS/2 Interface", true},
        {"PS2Type=FALSE\r\n", "/NR", false, "PS/2 Interface", false},
        {"PS2Type=FALSE\r\n", "/TYPE:USB", false, "USB (Universal Serial Bus) Interface", false},
        {"", "/type:ps2", false, "PS/2 Interface", true},
        {"AskType=FALSE\r\nPS2DriverName=i8042prt\r\nRestart=FALSE\r\n", "", false, "PS/2 Interface", false},
        {"Restart=TRUE\r\nAskType=FALSE\r\n", "/X", false, "USB (Universal Serial Bus) Interface", true},
    };
    for (const Case& c : cases) {
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        Script("SETUPNT.INI", std::string(kProduct) + c.script);
        Start(c.args);
        sheet = Sheet();
        ASSERT_TRUE(sheet) << c.script << c.args;
        std::string second = Press(sheet, PSBTN_NEXT);
        EXPECT_EQ(second == "Hardware Interface Selection", c.pageShown) << c.script << c.args;
        if (c.pageShown) Press(sheet, PSBTN_NEXT);
        EXPECT_NE(Item(sheet, IDC_SUMMARY).find(c.iface), std::string::npos) << c.script << c.args;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 10000);
        EXPECT_EQ(IsWindowVisible(GetDlgItem(Page(sheet), IDC_RESTART_NOW)) != 0, c.restart) << c.script << c.args;
        TerminateProcess(pi.hProcess, 0);
        Ends();
    }
}

TEST_F(SetupProgram, SilentHiddenAndNoRestartRunsThrough) {
    // PS/2 on the NT family asks for a restart; "/NR" keeps the machine up.
    Script("SETUPNT.INI", std::string(kProduct) + "AskLicense=TRUE\r\nAskPath=TRUE\r\nPS2Type=FALSE\r\n");
    Start("/S /NR");
    EXPECT_TRUE(Ends());
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_TRUE(ServiceStarted());

    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    DeleteFileA(dir.file("service.log").c_str());
    Script("SETUPNT.INI", kProduct);
    Start("/H");
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    auto background = Windows("VarnelSetup");
    ASSERT_EQ(background.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(background[0]));
    EXPECT_FALSE(IsWindowVisible(sheet));
    EXPECT_EQ(WalkToResult(sheet), (std::vector<std::string>{"Welcome", "Hardware Interface Selection", "Start Installation",
                                                            "Setup Result"}));
    EXPECT_FALSE(IsWindowVisible(sheet));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    EXPECT_TRUE(Ends());
}

TEST_F(SetupProgram, ExitSetupAsksAndResumeKeepsTheWizard) {
    Script("SETUPNT.INI", kProduct);
    Start();
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    HWND ask = Dialog("Exit Setup");
    ASSERT_TRUE(ask);
    EXPECT_EQ(WindowText(GetDlgItem(ask, IDC_TEXT1)),
              "Setup is incomplete. If you exit Setup now, Tessaro Keyboard will not be installed on your computer.");
    EXPECT_EQ(WindowText(GetDlgItem(ask, IDC_TEXT2)),
              "To continue installing Tessaro Keyboard, click Resume.  To quit Setup, click Exit Setup.");
    Click(ask, IDC_RESUME);
    vntest::WaitUntil([&] { return !IsWindow(ask); });
    EXPECT_EQ(WindowText(sheet), "Welcome");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ask = Dialog("Exit Setup");
    ASSERT_TRUE(ask);
    Click(ask, IDC_EXIT_SETUP);
    EXPECT_TRUE(Ends());
    EXPECT_TRUE(ServiceStarted());
}

TEST_F(SetupProgram, PreRunProgramsRunBeforeTheWizard) {
    ASSERT_TRUE(CreateDirectoryA(dir.file("pre").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(dir.file("VnDaemon.exe").c_str(), dir.file("pre\\first.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(dir.file("VnDaemon.exe").c_str(), dir.file("pre\\second.exe").c_str(), FALSE));
    Script("SETUPNT.INI", std::string(kProduct) +
                              "[Strings]\r\nWord=two\r\n[PreRun Programs]\r\nfirst.exe=%1%\\pre, one %Word%, 1\r\n"
                              "missing.exe=%1%,x,1\r\nsecond.exe=%1%\\pre,\"a,b\",1\r\n");
    Start();
    ASSERT_TRUE(Sheet());
    // Both were waited for: their proofs are there, in script order, before the wizard.
    std::string log;
    {
        std::ifstream f(dir.file("pre\\service.log"), std::ios::binary);
        log.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(log, "one two\na,b\n");
}

TEST_F(SetupProgram, LicenceTextByLocale) {
    // The 9x family keeps the locale where Wine leaves it alone.
    ASSERT_TRUE(CreateDirectoryA(dir.file("lic").c_str(), nullptr));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("lic\\LICENSPA.TXT"), "Acuerdo de licencia\r\nSegunda linea"));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("lic\\LICENENG.TXT"), "English agreement"));
    Script("SETUP98.INI", std::string(kProduct) + "AskLicense=TRUE\r\nLicenseFolder=lic\r\n");
    vn::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.out(), nullptr),
              ERROR_SUCCESS);
    struct Case {
        const char* locale;
        const char* text;
    };
    for (const Case& c : {Case{"00000c0a", "Acuerdo de licencia\r\nSegunda linea"}, Case{"00000409", "English agreement"},
                          Case{"00000419", ""}}) {
        RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.locale), 9);
        Start("", "win98");
        HWND sheet = Sheet();
        ASSERT_TRUE(sheet);
        ASSERT_EQ(Press(sheet, PSBTN_NEXT), "Software License Agreement");
        EXPECT_EQ(Item(sheet, IDC_LICENSE_TEXT), c.text) << c.locale;
        TerminateProcess(pi.hProcess, 0);
        Ends();
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
    key.reset();
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale");
}

TEST_F(SetupProgram, WizardBelowTheBandOfTitleAndLogo) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int chrome = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    for (int logoHeight : {0, 500, 900}) {
        std::string script = kProduct;
        if (logoHeight) {
            std::vector<std::uint8_t> lines(static_cast<std::size_t>(logoHeight) * 2, 0);
            auto pcx = setuptest::PcxFile(8, 2, logoHeight, lines, 2, {});
            ASSERT_TRUE(vntest::WriteFileBytes(dir.file("logo.pcx"), std::string(pcx.begin(), pcx.end())));
            script += "BkgLogo=logo.pcx\r\n";
        }
        Script("SETUPNT.INI", script);
        Start();
        HWND sheet = Sheet();
        ASSERT_TRUE(sheet);
        RECT r{};
        GetWindowRect(sheet, &r);
        int h = r.bottom - r.top;
        int centred = work.top + (work.bottom - work.top - h) / 2;
        int expect = logoHeight == 0 ? centred : std::min(logoHeight + chrome, static_cast<int>(work.bottom) - h);
        EXPECT_EQ(r.top, expect) << logoHeight;
        EXPECT_EQ(r.left, work.left + (work.right - work.left - (r.right - r.left)) / 2);
        // Moved away, it goes back below the band when the work area changes.
        SetWindowPos(sheet, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT moved{};
        GetWindowRect(sheet, &moved);
        ASSERT_EQ(moved.top, 0);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(sheet, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_NORMAL, vntest::Scaled(5000), &ignored);
        RECT again{};
        GetWindowRect(sheet, &again);
        EXPECT_EQ(again.top, expect) << logoHeight;
        TerminateProcess(pi.hProcess, 0);
        Ends();
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
}

TEST_F(SetupProgram, HostileScriptsLogosAndCommandLinesDoNotCrash) {
    std::string junk = "[Setup]\r\nProductName=\"" + std::string(4000, 'Q') + "\r\nSetupTitle=" +
                       std::string(3000, 'T') + "\r\nBkgLogo=bad.pcx\r\nUnknownKey=1\r\n[PreRun Programs]\r\n";
    for (int i = 0; i < 150; ++i) junk += "prog" + std::to_string(i) + ".exe=\"%99%,,\"\r\n";
    Script("SETUPNT.INI", junk);
    auto pcx = setuptest::PcxFile(8, 100, 100, std::vector<std::uint8_t>(10, 0xFF), 100, {});
    pcx.resize(200);  // cut short, runs past the end
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("bad.pcx"), std::string(pcx.begin(), pcx.end())));
    std::string args;
    for (int i = 0; i < 40; ++i) args += "/" + std::string(50, 'Z');
    Start(args + std::string(20000, ' ') + "/S/NR");
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);  // the 17th option and later are not taken: not silent
    EXPECT_NE(Item(sheet, IDC_TEXT1).find("QQQQQQQQQ Setup program"), std::string::npos);
    EXPECT_EQ(WalkToResult(sheet).back(), "Setup Result");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    EXPECT_TRUE(Ends());
    EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
