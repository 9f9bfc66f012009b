// Mail programs from the registry, home page, calculator, help, system information, My
// Documents, Word and Excel, all started for real as copies of vnkf_window.exe.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/tests/kf_window_helper.h"
#include "keyfunc/toolhelp.h"
#include "keyfunc/vnutil.h"

namespace {

using kftest::EndProcess;
using kftest::ProcessOf;
using kftest::WaitForProgramWindow;
using kftest::WindowHelperPath;

const char kMail[] = "Software\\Clients\\Mail";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

void Put(HKEY hive, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    vn::RegKey k;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}
void PutText(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    Put(hive, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
void DeleteValue(HKEY hive, const char* path, const char* name) {
    vn::RegKey k;
    if (RegOpenKeyExA(hive, path, 0, KEY_ALL_ACCESS, k.out()) == ERROR_SUCCESS) RegDeleteValueA(k.get(), name);
}

std::string ArgumentsOf(HWND w) {
    char text[300] = {};
    GetDlgItemTextA(w, 100, text, sizeof text);
    return text;
}

class MailClients : public ::testing::Test {
protected:
    std::string savedDefault;
    bool hadDefault = false;
    void SetUp() override {
        char buffer[260];
        hadDefault = Reg_GetValueString(HKEY_LOCAL_MACHINE, kMail, nullptr, buffer, sizeof buffer) != 0;
        if (hadDefault) savedDefault = buffer;
        std::string cmd = "\"" + WindowHelperPath() + "\" /exit:20000 -compose";
        PutText(HKEY_LOCAL_MACHINE, kMail, nullptr, "VnkfMail");
        PutText(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\VnkfMail\\Shell\\Open\\Command", nullptr, cmd);
        PutText(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\VnkfMail", "DLLPath", "C:\\mapi\\vnkf.dll");
        PutText(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\Netscape Messenger\\Protocols\\mailto\\shell\\open\\command",
                nullptr, "\"" + WindowHelperPath() + "\" \"%1\"");
        PutText(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\VnkfNoCommand", "DLLPath", "x");
        PutText(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\VnkfGone\\Shell\\Open\\Command", nullptr,
                "C:\\nowhere\\gone.exe /x");
    }
    void TearDown() override {
        for (const char* sub : {"VnkfMail", "Netscape Messenger", "VnkfNoCommand", "VnkfGone"})
            vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kMail) + "\\" + sub).c_str());
        if (hadDefault)
            PutText(HKEY_LOCAL_MACHINE, kMail, nullptr, savedDefault);
        else
            DeleteValue(HKEY_LOCAL_MACHINE, kMail, nullptr);
    }
};

TEST_F(MailClients, EnumeratedAndDefault) {
    std::set<std::string> names;
    char name[260];
    for (int i = 0; EnumMailClient(i, name, sizeof name); ++i) names.insert(name);
    EXPECT_TRUE(names.count("VnkfMail") && names.count("Netscape Messenger") && names.count("VnkfNoCommand"));
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(EnumMailClient(1000, name, sizeof name), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(EnumMailClient(-1, name, sizeof name), 0);
    EXPECT_EQ(EnumMailClient(0, nullptr, 0), 1);

    ASSERT_EQ(GetDefaultMailClient(name, sizeof name), 1);
    EXPECT_STREQ(name, "VnkfMail");
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(GetDefaultMailClient(name, 8), 0);  // "VnkfMail" needs 9
    EXPECT_EQ(name[0], '#');
    EXPECT_EQ(GetDefaultMailClient(nullptr, 260), 0);
    ASSERT_EQ(GetDefaultMailClientDllPath(name, sizeof name), 1);
    EXPECT_STREQ(name, "C:\\mapi\\vnkf.dll");

    // Wrong type and oversize defaults are not names.
    DWORD number = 5;
    Put(HKEY_LOCAL_MACHINE, kMail, nullptr, REG_DWORD, &number, 4);
    EXPECT_EQ(GetDefaultMailClient(name, sizeof name), 0);
    EXPECT_EQ(LaunchDefaultMailProgram(), 0);
    PutText(HKEY_LOCAL_MACHINE, kMail, nullptr, std::string(5000, 'm'));
    EXPECT_EQ(GetDefaultMailClient(name, sizeof name), 0);
    EXPECT_EQ(GetDefaultMailClientDllPath(name, sizeof name), 0);
}

TEST_F(MailClients, LaunchThenReactivate) {
    const DWORD start = GetTickCount();
    ASSERT_EQ(LaunchDefaultMailProgram(), 1);
    const DWORD launchMs = GetTickCount() - start;
    HWND w = WaitForProgramWindow(WindowHelperPath());
    ASSERT_NE(w, nullptr);
    if (vntest::LaunchOutlastedTheWindowSearch(launchMs)) {
        EndProcess(ProcessOf(w));
        GTEST_SKIP() << "the mail program showed its window after the library's one-second search";
    }
    EXPECT_EQ(ArgumentsOf(w), "/exit:20000 -compose");
    ASSERT_TRUE(vntest::WaitUntil([&] { return GetForegroundWindow() == w; }, 3000));
    // The same key again: the mail program in front is minimised, then restored; no new copy.
    EXPECT_EQ(LaunchMailClient("VnkfMail"), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(w) != 0; }, 3000));
    EXPECT_EQ(LaunchMailClient("VnkfMail"), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsIconic(w); }, 3000));
    EXPECT_EQ(FindWindowByPath(WindowHelperPath().c_str()), w);
    // Once it is gone the id is forgotten and the program starts anew.
    EndProcess(ProcessOf(w));
    EXPECT_EQ(LaunchMailClient("VnkfMail"), 1);
    HWND again = WaitForProgramWindow(WindowHelperPath());
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, w);
    EndProcess(ProcessOf(again));
}

TEST_F(MailClients, NetscapeFallbackAndFailures) {
    ASSERT_EQ(LaunchMailClient("netscape messenger"), 1);
    HWND w = WaitForProgramWindow(WindowHelperPath());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ArgumentsOf(w), "-mail");
    EndProcess(ProcessOf(w));

    EXPECT_EQ(LaunchMailClient("VnkfNoCommand"), 0);
    EXPECT_EQ(LaunchMailClient("VnkfGone"), 0);
    EXPECT_EQ(LaunchMailClient("VnkfNotRegistered"), 0);
    EXPECT_EQ(LaunchMailClient(std::string(5000, 'c').c_str()), 0);
    EXPECT_EQ(LaunchMailClient(""), 0);
    EXPECT_EQ(LaunchMailClient(nullptr), 0);
}

class HomePage : public ::testing::Test {
protected:
    static constexpr const char* kMain = "Software\\Microsoft\\Internet Explorer\\Main";
    std::string savedMachine;
    bool hadMachine = false;
    void SetUp() override {
        char buffer[260];
        hadMachine = Reg_GetValueString(HKEY_LOCAL_MACHINE, kMain, "Start Page", buffer, sizeof buffer) != 0;
        if (hadMachine) savedMachine = buffer;
    }
    void TearDown() override {
        DeleteValue(HKEY_CURRENT_USER, kMain, "Start Page");
        if (hadMachine)
            PutText(HKEY_LOCAL_MACHINE, kMain, "Start Page", savedMachine);
        else
            DeleteValue(HKEY_LOCAL_MACHINE, kMain, "Start Page");
    }
};

TEST_F(HomePage, UserThenMachine) {
    char page[260];
    PutText(HKEY_LOCAL_MACHINE, kMain, "Start Page", "http://machine.example/");
    DeleteValue(HKEY_CURRENT_USER, kMain, "Start Page");
    ASSERT_EQ(GetWebHomePage(page, sizeof page), 1);
    EXPECT_STREQ(page, "http://machine.example/");
    PutText(HKEY_CURRENT_USER, kMain, "Start Page", "http://user.example/");
    ASSERT_EQ(GetWebHomePage(page, sizeof page), 1);
    EXPECT_STREQ(page, "http://user.example/");
    EXPECT_EQ(GetWebHomePage(page, 5), 0);
    EXPECT_EQ(GetWebHomePage(nullptr, 260), 0);

    DeleteValue(HKEY_CURRENT_USER, kMain, "Start Page");
    DeleteValue(HKEY_LOCAL_MACHINE, kMain, "Start Page");
    EXPECT_EQ(GetWebHomePage(page, sizeof page), 0);
    EXPECT_EQ(OpenWWWHomePage(), 0);
}

TEST_F(HomePage, OpenedThroughTheShell) {
    vntest::TempDir dir;
    std::string exe = dir.file("homepage.exe");
    ASSERT_TRUE(CopyFileA(WindowHelperPath().c_str(), exe.c_str(), FALSE));
    PutText(HKEY_CURRENT_USER, kMain, "Start Page", exe);
    EXPECT_EQ(OpenWWWHomePage(), 1);
    HWND w = WaitForProgramWindow(exe);
    ASSERT_NE(w, nullptr);
    EndProcess(ProcessOf(w));
}

// The calculator is found through its application path.
TEST(Calculator, StartsThenMinimisesAndRestores) {
    vntest::TempDir dir;
    std::string exe = dir.file("calc.exe");
    ASSERT_TRUE(CopyFileA(WindowHelperPath().c_str(), exe.c_str(), FALSE));
    PutText(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "calc.exe", nullptr, exe);

    EXPECT_EQ(LaunchCalculator(), 1);
    HWND calc = nullptr;
    ASSERT_TRUE(vntest::WaitUntil([&] { return (calc = FindWindowA("SciCalc", nullptr)) != nullptr; }));
    EXPECT_TRUE(vntest::WaitUntil([&] { return GetForegroundWindow() == calc; }, 3000));
    EXPECT_EQ(LaunchCalculator(), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(calc) != 0; }, 3000));
    EXPECT_EQ(LaunchCalculator(), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsIconic(calc); }, 3000));
    EndProcess(ProcessOf(calc));
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "calc.exe").c_str());
}

TEST(SystemInfo, StartsThenToggles) {
    std::string cmd = "\"" + WindowHelperPath() + "\" /class:MMCMainFrame /exit:20000";
    PutText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Shared Tools\\MSInfo", "Path", cmd);
    EXPECT_EQ(LaunchSystemInfo(), 1);
    HWND info = FindWindowA("MMCMainFrame", nullptr);
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(vntest::WaitUntil([&] { return IsWindowVisible(info) != 0; }));
    EXPECT_EQ(LaunchSystemInfo(), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(info) != 0; }, 3000));
    EXPECT_EQ(LaunchSystemInfo(), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsIconic(info); }, 3000));
    EndProcess(ProcessOf(info));

    // No program registered: nothing to start, still 1.
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Shared Tools\\MSInfo");
    EXPECT_EQ(LaunchSystemInfo(), 1);
}

TEST(SystemHelp, MissingHelpFileGivesZero) {
    // The test bed has no Windows.hlp in the system folder.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_EQ(FileExisted((std::string(system) + "\\Windows.hlp").c_str()), 0);
    EXPECT_EQ(LaunchSystemHelp(), 0);
}

TEST(SystemHelp, ChildWindowsMeHelpCentre) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs only in a child";
    vntest::TempDir dir;
    std::string exe = dir.file("helpctr.exe");
    ASSERT_TRUE(CopyFileA(WindowHelperPath().c_str(), exe.c_str(), FALSE));
    PutText(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "HELPCTR.EXE", nullptr, exe);
    EXPECT_EQ(LaunchSystemHelp(), 1);
    // Found by class: under Wine the 9x process snapshot names programs without their folder.
    HWND w = nullptr;
    EXPECT_TRUE(vntest::WaitUntil([&] { return (w = FindWindowA("VnkfTestWindow", "vnkf window 1")) != nullptr; }));
    EndProcess(ProcessOf(w));
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "HELPCTR.EXE").c_str());
    EXPECT_EQ(LaunchSystemHelp(), 0);  // nor in the Windows folder
}

TEST(SystemHelp, UnderWindowsMe) {
    if (vntest::InChild()) GTEST_SKIP();
    vntest::ChildOptions options;
    options.windowsVersion = "winme";
    EXPECT_EQ(vntest::RunSelf("SystemHelp.ChildWindowsMeHelpCentre", options), 0);
}

TEST(Office, WordAndExcelFromTheirApplicationPaths) {
    vntest::TempDir dir;
    std::string word = dir.file("Winword.exe");
    ASSERT_TRUE(CopyFileA(WindowHelperPath().c_str(), word.c_str(), FALSE));
    PutText(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Winword.exe", "Path", dir.path());
    EXPECT_EQ(LaunchWord(), 1);
    HWND w = WaitForProgramWindow(word);
    ASSERT_NE(w, nullptr);
    EndProcess(ProcessOf(w));
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "Winword.exe").c_str());
    EXPECT_EQ(LaunchWord(), 0);

    // Excel registered with a path that is not a text: not started.
    DWORD number = 1;
    Put(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Excel.exe", "Path", REG_DWORD, &number, 4);
    EXPECT_EQ(LaunchExcel(), 0);
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + "Excel.exe").c_str());
    EXPECT_EQ(LaunchExcel(), 0);
}

TEST(MyDocuments, OpenedByTheShell) {
    std::vector<vn::ProcessEntry> before, after;
    ASSERT_TRUE(vn::SnapshotProcesses(&before));
    EXPECT_EQ(LaunchMyDocuments(), 1);
    // End the folder window's program that the shell started for this test (it would otherwise
    // hold this program's output open).
    vntest::PumpFor(1000);
    ASSERT_TRUE(vn::SnapshotProcesses(&after));
    for (const vn::ProcessEntry& p : after) {
        bool old = false;
        for (const vn::ProcessEntry& q : before) old = old || q.id == p.id;
        if (!old && p.parentId == GetCurrentProcessId()) EndProcess(p.id);
    }
}

TEST(Lock, NotOnTheWindows9xFamily) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs only in a child";
    EXPECT_EQ(LockComputer(), 0);
}

TEST(Lock, UnderWindows98AndNt4) {
    if (vntest::InChild()) GTEST_SKIP();
    for (const char* version : {"win98", "nt40"}) {
        vntest::ChildOptions options;
        options.windowsVersion = version;
        EXPECT_EQ(vntest::RunSelf("Lock.NotOnTheWindows9xFamily", options), 0) << version;
    }
}

}  // namespace
