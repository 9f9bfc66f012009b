// LaunchProgram with real processes (vnkf_window.exe), command line splitting, finding programs
// in folders, and shortcut files through the shell's link object.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <commdlg.h>

#include <chrono>
#include <cstring>
#include <string>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/tests/kf_window_helper.h"
#include "keyfunc/vnutil.h"

namespace {

using kftest::EndProcess;
using kftest::WaitForWindowOf;
using kftest::WindowHelperPath;

// LaunchProgram, and the started program's id: the library's own; under a time scale, a program
// that showed its window after the library's one-second search (and so is rightly not tracked)
// is found by its path instead, for the checks that follow.
int LaunchAndFind(const char* command, const char* parameters, const char* folder, DWORD* pid) {
    const DWORD start = GetTickCount();
    int result = LaunchProgram(command, parameters, folder, pid);
    if (result == 1 && *pid == 0 && vntest::LaunchOutlastedTheWindowSearch(GetTickCount() - start))
        *pid = kftest::ProcessOf(kftest::WaitForProgramWindow(WindowHelperPath()));
    return result;
}

std::string ArgumentsOf(HWND w) {
    char text[300] = {};
    GetDlgItemTextA(w, 100, text, sizeof text);
    return text;
}

void PutText(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    vn::RegKey k;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

TEST(ParseCommand, ProgramAndArguments) {
    char program[260], arguments[260];
    ASSERT_EQ(ParseShellCommand("D:\\Program Files\\Mail\\mail.exe /x", program, arguments), 1);
    EXPECT_STREQ(program, "D:\\Program Files\\Mail\\mail.exe");
    EXPECT_STREQ(arguments, "/x");

    ASSERT_EQ(ParseShellCommand("\"C:\\Program Files\\Mail\\mail.exe\" \"%1\"", program, arguments), 1);
    EXPECT_STREQ(program, "C:\\Program Files\\Mail\\mail.exe");
    EXPECT_STREQ(arguments, "\"%1\"");

    ASSERT_EQ(ParseShellCommand("\"notepad.exe\"", program, arguments), 1);
    EXPECT_STREQ(program, "notepad.exe");
    EXPECT_STREQ(arguments, "");

    // An unquoted path with blanks and nothing after it: the whole line.
    ASSERT_EQ(ParseShellCommand("C:\\Program Files\\A B\\x.exe", program, arguments), 1);
    EXPECT_STREQ(program, "C:\\Program Files\\A B\\x.exe");
    EXPECT_STREQ(arguments, "");

    ASSERT_EQ(ParseShellCommand("mail.exe -compose  a b", nullptr, arguments), 1);
    EXPECT_STREQ(arguments, "-compose  a b");
}

TEST(ParseCommand, EmptyAndOverlongLines) {
    char program[260], arguments[260];
    std::memset(program, '#', sizeof program);
    EXPECT_EQ(ParseShellCommand("", program, arguments), 0);
    EXPECT_STREQ(program, "");
    EXPECT_EQ(ParseShellCommand(nullptr, program, arguments), 0);
    for (size_t n : {259u, 260u, 5000u}) {
        std::string line = "C:\\" + std::string(n - 3, 'a');
        int r = ParseShellCommand(line.c_str(), program, arguments);
        if (n == 259) {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(std::string(program), line);
        } else {
            EXPECT_EQ(r, 0) << n;
            EXPECT_STREQ(program, "");
        }
    }
}

TEST(Launch, ReportsTheStartedProcessAndItsWindow) {
    DWORD pid = 0;
    const DWORD start = GetTickCount();
    ASSERT_EQ(LaunchProgram(WindowHelperPath().c_str(), "/exit:20000 first", nullptr, &pid), 1);
    if (pid == 0 && vntest::LaunchOutlastedTheWindowSearch(GetTickCount() - start)) {
        EndProcess(kftest::ProcessOf(kftest::WaitForProgramWindow(WindowHelperPath())));
        GTEST_SKIP() << "the program showed its window after the library's one-second search";
    }
    ASSERT_NE(pid, 0u);
    HWND w = WaitForWindowOf(pid);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ArgumentsOf(w), "/exit:20000 first");
    EXPECT_TRUE(vntest::WaitUntil([&] { return GetForegroundWindow() == w; }, 3000));

    // The second press of the key: the program in front is minimised, then brought back.
    EXPECT_EQ(ActivateWindowByProcessId(pid, 1), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(w) != 0; }, 3000));
    EXPECT_EQ(ActivateWindowByProcessId(pid, 1), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsIconic(w) && GetForegroundWindow() == w; }, 3000));
    EndProcess(pid);
    // Gone between the snapshot and the activation: no window, failure.
    EXPECT_EQ(ActivateWindowByProcessId(pid, 1), 0);
}

TEST(Launch, ProgramWithoutWindowReportsZeroAfterAboutASecond) {
    DWORD pid = 0;
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(LaunchProgram(WindowHelperPath().c_str(), "/hidden /exit:3000", nullptr, &pid), 1);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(pid, 0u);
    EXPECT_GE(ms, 900);
}

TEST(Launch, WithoutPointerNoTracking) {
    vntest::TempDir dir;
    ASSERT_TRUE(CopyFileA(WindowHelperPath().c_str(), dir.file("untracked.exe").c_str(), FALSE));
    ASSERT_EQ(LaunchProgram("untracked.exe", "/exit:5000", dir.path().c_str(), nullptr), 1);
    HWND w = nullptr;
    ASSERT_TRUE(vntest::WaitUntil([&] { return (w = FindWindowByPath(dir.file("untracked.exe").c_str())) != nullptr; }));
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    EndProcess(pid);
}

TEST(Launch, FailuresLeaveTheIdAlone) {
    vntest::TempDir dir;
    DWORD pid = 0;
    EXPECT_EQ(LaunchProgram(dir.file("missing.exe").c_str(), nullptr, nullptr, &pid), 0);
    EXPECT_EQ(pid, 0u);
    for (size_t n : {260u, 5000u}) {
        std::string path = "C:\\" + std::string(n, 'l') + ".exe";
        EXPECT_EQ(LaunchProgram(path.c_str(), nullptr, nullptr, &pid), 0);
        EXPECT_EQ(pid, 0u);
    }
    EXPECT_EQ(LaunchProgram(WindowHelperPath().c_str(), nullptr, std::string(5000, 'w').c_str(), &pid), 0);
    EXPECT_EQ(pid, 0u);
    // Long parameters are the started program's business.
    std::string parameters = "/exit:20000 " + std::string(5000, 'q');
    EXPECT_EQ(LaunchAndFind(WindowHelperPath().c_str(), parameters.c_str(), nullptr, &pid), 1);
    EXPECT_NE(pid, 0u);
    EndProcess(pid);
    pid = 0;
    EXPECT_EQ(LaunchProgram(nullptr, nullptr, nullptr, &pid), 0);
    EXPECT_EQ(LaunchProgram("", nullptr, nullptr, &pid), 0);
}

// Documents and URLs go through their registered association.
TEST(Launch, DocumentsAndUrlsByAssociation) {
    std::string command = "\"" + WindowHelperPath() + "\" /exit:20000 \"%1\"";
    PutText(HKEY_CLASSES_ROOT, ".vnkfdoc", nullptr, "VnkfDocument");
    PutText(HKEY_CLASSES_ROOT, "VnkfDocument\\shell\\open\\command", nullptr, command);
    PutText(HKEY_CLASSES_ROOT, "vnkftest", nullptr, "URL:vnkf test");
    PutText(HKEY_CLASSES_ROOT, "vnkftest", "URL Protocol", "");
    PutText(HKEY_CLASSES_ROOT, "vnkftest\\shell\\open\\command", nullptr, command);

    vntest::TempDir dir;
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("letter.vnkfdoc"), "text"));
    DWORD pid = 0;
    EXPECT_EQ(LaunchAndFind(dir.file("letter.vnkfdoc").c_str(), nullptr, nullptr, &pid), 1);
    EXPECT_NE(pid, 0u);
    HWND w = WaitForWindowOf(pid);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(ArgumentsOf(w).find("letter.vnkfdoc"), std::string::npos);
    EndProcess(pid);

    pid = 0;
    EXPECT_EQ(LaunchAndFind("vnkftest:hello", nullptr, nullptr, &pid), 1);
    EXPECT_NE(pid, 0u);
    w = WaitForWindowOf(pid);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(ArgumentsOf(w).find("vnkftest:hello"), std::string::npos);
    EndProcess(pid);

    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, ".vnkfdoc");
    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, "VnkfDocument");
    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, "vnkftest");
}

// Windows 2000: the caller's own window takes the foreground first.
TEST(Launch, ChildUnderWindows2000) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs only in a child";
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "KfLaunchOwn";
    RegisterClassA(&wc);
    HWND own = CreateWindowA("KfLaunchOwn", "kf own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
    DWORD pid = 0;
    ASSERT_EQ(LaunchAndFind(WindowHelperPath().c_str(), "/exit:20000", nullptr, &pid), 1);
    EXPECT_NE(pid, 0u);
    HWND w = WaitForWindowOf(pid);
    EXPECT_TRUE(vntest::WaitUntil([&] { return GetForegroundWindow() == w; }, 3000));
    EndProcess(pid);
    DestroyWindow(own);
}

TEST(Launch, UnderWindows2000) {
    if (vntest::InChild()) GTEST_SKIP();
    vntest::ChildOptions options;
    options.windowsVersion = "win2k";
    EXPECT_EQ(vntest::RunSelf("Launch.ChildUnderWindows2000", options), 0);
}

std::string TitleOf(const std::string& path) {
    char title[260] = {};
    GetFileTitleA(path.c_str(), title, sizeof title);
    return title;
}

TEST(FindPrograms, DepthFirstByDisplayedTitle) {
    vntest::TempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.file("Tools").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir.file("Tools\\Deeper").c_str(), nullptr));
    std::string target = dir.file("Tools\\Deeper\\Kalvo Notes.lnk");
    ASSERT_TRUE(vntest::WriteFileBytes(target, "x"));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("Tools\\other.txt"), "x"));
    std::string title = TitleOf(target);
    ASSERT_FALSE(title.empty());

    char result[260];
    ASSERT_EQ(FindProgram(dir.path().c_str(), title.c_str(), result), 1);
    EXPECT_EQ(std::string(result), target);
    std::string upper = title;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindProgram(dir.path().c_str(), upper.c_str(), result), 1);
    EXPECT_EQ(FindProgram(dir.path().c_str(), "nothing here", result), 0);
    EXPECT_EQ(FindProgram(dir.file("missing").c_str(), title.c_str(), result), 0);

    ASSERT_EQ(FindProgramPath(title.c_str(), dir.path().c_str(), result), 1);
    EXPECT_EQ(std::string(result), target);
    EXPECT_EQ(FindProgramPath(title.c_str(), dir.path().c_str(), nullptr), 1);
    std::memset(result, '#', sizeof result);
    EXPECT_EQ(FindProgramPath("", dir.path().c_str(), result), 0);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(FindProgramPath(nullptr, nullptr, result), 0);
    EXPECT_EQ(FindProgramPath(title.c_str(), std::string(4000, 'f').c_str(), result), 0);
}

TEST(FindPrograms, StartMenuFolders) {
    char start[260] = {}, programs[260] = {};
    EXPECT_EQ(GetStartMenuPath(start), 1);
    EXPECT_EQ(GetProgramMenuPath(programs), 1);
    EXPECT_EQ(std::string(programs).find(start), 0u);

    // Without a folder the current user's Programs folder is searched.
    char userPrograms[MAX_PATH] = {};
    LPITEMIDLIST items = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &items)));
    SHGetPathFromIDListA(items, userPrograms);
    CoTaskMemFree(items);
    std::string folder = std::string(userPrograms) + "\\VnkfGroup";
    CreateDirectoryA(userPrograms, nullptr);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::string file = folder + "\\Vnkf Menu Entry.lnk";
    ASSERT_TRUE(vntest::WriteFileBytes(file, "x"));
    char result[260];
    EXPECT_EQ(FindProgramPath(TitleOf(file).c_str(), nullptr, result), 1);
    EXPECT_EQ(std::string(result), file);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

IShellLinkA* OpenLink(const std::string& path) {
    IShellLinkA* link = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    file->Load(wide, STGM_READ);
    file->Release();
    return link;
}

TEST(Shortcuts, WrittenAndReadBack) {
    vntest::TempDir dir;
    std::string lnk = dir.file("helper.lnk");
    std::string target = WindowHelperPath();
    ASSERT_GE(CreateShortcut(target.c_str(), "/exit:1 two", 2, lnk.c_str()), 0);

    char got[260], args[260], desc[260];
    std::memset(desc, '#', sizeof desc);
    ASSERT_GE(GetLinkInfoEx(nullptr, lnk.c_str(), got, args, desc), 0);
    EXPECT_EQ(lstrcmpiA(got, target.c_str()), 0) << got;
    EXPECT_STREQ(args, "/exit:1 two");
    EXPECT_STREQ(desc, "");
    ASSERT_GE(GetLinkInfo(nullptr, lnk.c_str(), got, nullptr), 0);
    EXPECT_EQ(lstrcmpiA(got, target.c_str()), 0);

    CoInitialize(nullptr);
    IShellLinkA* link = OpenLink(lnk);
    char icon[260] = {};
    int index = -1;
    link->GetIconLocation(icon, sizeof icon, &index);
    EXPECT_EQ(lstrcmpiA(icon, target.c_str()), 0);
    EXPECT_EQ(index, 2);
    link->Release();
    CoUninitialize();
}

TEST(Shortcuts, HelpFilesTakeTheRegisteredIcon) {
    vntest::TempDir dir;
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("manual.HLP"), "x"));
    PutText(HKEY_CLASSES_ROOT, "hlpfile\\DefaultIcon", nullptr, "\"C:\\icons\\help.ico\",\" 3\"");
    ASSERT_GE(CreateShortcut(dir.file("manual.HLP").c_str(), "", 7, dir.file("manual.lnk").c_str()), 0);
    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, "hlpfile");
    ASSERT_GE(CreateShortcut(dir.file("manual.HLP").c_str(), "", 7, dir.file("plain.lnk").c_str()), 0);

    CoInitialize(nullptr);
    char icon[260] = {};
    int index = -1;
    IShellLinkA* link = OpenLink(dir.file("manual.lnk"));
    link->GetIconLocation(icon, sizeof icon, &index);
    EXPECT_STREQ(icon, "C:\\icons\\help.ico");
    EXPECT_EQ(index, 3);
    link->Release();
    // No "hlpfile" key: no icon at all.
    icon[0] = '\0';
    link = OpenLink(dir.file("plain.lnk"));
    link->GetIconLocation(icon, sizeof icon, &index);
    EXPECT_STREQ(icon, "");
    link->Release();
    CoUninitialize();
}

TEST(Shortcuts, UnreadableMissingAndOverlong) {
    vntest::TempDir dir;
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("broken.lnk"), std::string(100, '\x7f')));
    char got[260], args[260], desc[260];
    const std::string bad[] = {dir.file("broken.lnk"), dir.file("missing.lnk"), dir.path() + std::string(259, 'x'),
                               std::string(5000, 'y')};
    for (const std::string& path : bad) {
        std::memset(got, '#', sizeof got);
        std::memset(args, '#', sizeof args);
        std::memset(desc, '#', sizeof desc);
        EXPECT_LT(GetLinkInfoEx(nullptr, path.c_str(), got, args, desc), 0);
        EXPECT_STREQ(got, "");
        EXPECT_STREQ(args, "");
        EXPECT_STREQ(desc, "");
    }
    EXPECT_LT(GetLinkInfo(nullptr, nullptr, got, desc), 0);
    EXPECT_LT(CreateShortcut(std::string(300, 't').c_str(), "", 0, dir.file("t.lnk").c_str()), 0);
    EXPECT_LT(CreateShortcut("C:\\x.exe", "", 0, (dir.path() + std::string(300, 'z')).c_str()), 0);
    EXPECT_LT(CreateShortcut(nullptr, "", 0, dir.file("n.lnk").c_str()), 0);
}

}  // namespace
