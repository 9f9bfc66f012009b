// Window utilities against real windows: windows of this test program and of vnkf_window.exe.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/testing/winetest.h"
#include "keyfunc/tests/kf_window_helper.h"
#include "keyfunc/vnutil.h"

namespace {

using kftest::WaitForWindowOf;
using kftest::WindowProgram;

// Top-level windows owned by this thread, destroyed at scope end.
class OwnWindows {
public:
    HWND Make(const char* title, DWORD exStyle = 0, HWND owner = nullptr) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "KfOwnWindow";
            RegisterClassA(&wc);
            registered = true;
        }
        DWORD style = owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
        HWND w = CreateWindowExA(exStyle, "KfOwnWindow", title, style | WS_VISIBLE, 50, 50, 200, 120,
                                 owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(w);
        vntest::PumpFor(50);
        return w;
    }
    ~OwnWindows() {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            if (IsWindow(*it)) DestroyWindow(*it);
    }

private:
    std::vector<HWND> windows_;
};

bool IsFront(HWND w) {
    return vntest::WaitUntil([&] { return GetForegroundWindow() == w; }, 3000);
}

TEST(WindowFileName, NamesTheProgramAndKeepsBufferRules) {
    OwnWindows own;
    HWND w = own.Make("kf file name");
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    size_t n = std::strlen(self);

    char buffer[MAX_PATH + 8];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(GetWndFileName(w, buffer, static_cast<int>(n + 1)), 1);
    EXPECT_STREQ(buffer, self);
    // Exactly as long as the path: no room for the terminating zero.
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetWndFileName(w, buffer, static_cast<int>(n)), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetWndFileName(w, nullptr, 260), 0);
    EXPECT_EQ(GetWndFileName(w, buffer, 0), 0);

    HWND gone = own.Make("kf gone");
    DestroyWindow(gone);
    EXPECT_EQ(GetWndFileName(gone, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetWndFileName(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7fff1234)), buffer, sizeof buffer), 0);
}

// On the 9x family the name comes from the process snapshot.
TEST(WindowFileName, ChildSnapshotPath) {
    if (!vntest::InChild()) GTEST_SKIP() << "runs only in a child";
    OwnWindows own;
    HWND w = own.Make("kf 9x name");
    char buffer[MAX_PATH] = {};
    ASSERT_EQ(GetWndFileName(w, buffer, sizeof buffer), 1);
    std::string name = buffer;
    EXPECT_NE(name.find("keyfunc_tests.exe"), std::string::npos) << name;
    char tiny[4];
    EXPECT_EQ(GetWndFileName(w, tiny, sizeof tiny), 0);
}

TEST(WindowFileName, UnderWindows98) {
    if (vntest::InChild()) GTEST_SKIP();
    vntest::ChildOptions options;
    options.windowsVersion = "win98";
    EXPECT_EQ(vntest::RunSelf("WindowFileName.ChildSnapshotPath", options), 0);
}

TEST(FileDescriptionText, FromTheFirstTranslation) {
    std::string folder = vntest::ExeFolder();
    char buffer[260];
    ASSERT_EQ(GetFileDescription((folder + "vnkf_window.exe").c_str(), buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "Keyfunc test window");
    ASSERT_EQ(GetFileDescription((folder + "vnkf_ver23.dll").c_str(), buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "Versionstest");

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetFileDescription((folder + "vnkf_ver23.dll").c_str(), buffer, 12), 0);  // "Versionstest" is 12
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetFileDescription((folder + "vnkf_ver23.dll").c_str(), buffer, 13), 1);
    EXPECT_EQ(GetFileDescription((folder + "missing.dll").c_str(), buffer, sizeof buffer), 0);
    EXPECT_EQ(GetFileDescription((folder + std::string(5000, 'd')).c_str(), buffer, sizeof buffer), 0);
    EXPECT_EQ(GetFileDescription(nullptr, buffer, sizeof buffer), 0);
}

TEST(FindByPath, LongAndShortFormsPickTheWindowWithMostDescendants) {
    WindowProgram program("/windows:2 /children:3");
    ASSERT_NE(program.pid(), 0u);
    HWND first = WaitForWindowOf(program.pid(), "vnkf window 1");
    HWND second = WaitForWindowOf(program.pid(), "vnkf window 2");
    ASSERT_TRUE(first && second);

    std::string path = kftest::WindowHelperPath();
    EXPECT_EQ(FindWindowByPath(path.c_str()), second);
    std::string upper = path;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindWindowByPath(upper.c_str()), second);
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_STRNE(shortPath, path.c_str());
    EXPECT_EQ(FindWindowByPath(shortPath), second);

    EXPECT_EQ(FindWindowByPath((vntest::ExeFolder() + "vnkf_none.exe").c_str()), nullptr);
    EXPECT_EQ(FindWindowByPath(std::string(4000, 'p').c_str()), nullptr);
    EXPECT_EQ(FindWindowByPath(""), nullptr);
    EXPECT_EQ(FindWindowByPath(nullptr), nullptr);
}

TEST(ProcessWindows, ToggleMinimisesAProgramInFrontAndBringsItBack) {
    WindowProgram program("");
    HWND w = WaitForWindowOf(program.pid());
    ASSERT_NE(w, nullptr);

    EXPECT_EQ(ActivateWindowByProcessId(program.pid(), 0), 1);
    ASSERT_TRUE(IsFront(w));
    EXPECT_EQ(GetForegroundTopWindow(), w);

    // In front: toggle minimises.
    EXPECT_EQ(ActivateWindowByProcessId(program.pid(), 1), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(w) != 0; }, 3000));
    // In the background: toggle brings it back.
    EXPECT_EQ(ActivateWindowByProcessId(program.pid(), 1), 1);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsIconic(w); }, 3000));
    EXPECT_TRUE(IsFront(w));
    // Mode 0 never minimises.
    EXPECT_EQ(ActivateWindowByProcessId(program.pid(), 0), 1);
    vntest::PumpFor(100);
    EXPECT_FALSE(IsIconic(w));
}

TEST(ProcessWindows, NoVisibleWindowOrNoProcess) {
    WindowProgram hidden("/hidden");
    ASSERT_NE(hidden.pid(), 0u);
    vntest::PumpFor(300);
    EXPECT_EQ(ActivateWindowByProcessId(hidden.pid(), 0), 0);
    EXPECT_EQ(ActivateWindowByProcessId(hidden.pid(), 1), 0);

    // A process that has exited.
    DWORD pid = 0;
    {
        WindowProgram gone("");
        pid = gone.pid();
        ASSERT_NE(WaitForWindowOf(pid), nullptr);
    }
    EXPECT_EQ(ActivateWindowByProcessId(pid, 0), 0);
}

TEST(ProcessWindows, WindowWithoutMinimiseBoxStaysInToggleMode) {
    WindowProgram program("/nominbox");
    HWND w = WaitForWindowOf(program.pid());
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(ActivateWindowByProcessId(program.pid(), 0), 1);
    ASSERT_TRUE(IsFront(w));
    EXPECT_EQ(ActivateWindowByProcessId(program.pid(), 1), 1);
    vntest::PumpFor(200);
    EXPECT_FALSE(IsIconic(w));
}

// Runs under several versions: the foreground paths for Windows 98 and 2000 differ.
TEST(Activate, RestoresMinimisedWindowsAndPrefersTheirPopup) {
    OwnWindows own;
    HWND a = own.Make("kf activate a");
    HWND b = own.Make("kf activate b");
    ShowWindow(a, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(a));
    EXPECT_EQ(ActivateWindow(a), 1);
    EXPECT_FALSE(IsIconic(a));
    EXPECT_TRUE(IsFront(a));

    // The last active visible popup is activated instead of its owner.
    HWND popup = own.Make("kf popup", 0, b);
    EXPECT_EQ(ActivateWindow(a), 1);
    EXPECT_TRUE(IsFront(a));
    EXPECT_EQ(ActivateWindow(b), 1);
    EXPECT_TRUE(IsFront(popup));
    // The front window climbs to its visible owner.
    EXPECT_EQ(GetForegroundTopWindow(), b);

    EXPECT_EQ(ActivateWindow(nullptr), 0);
    HWND gone = own.Make("kf gone");
    DestroyWindow(gone);
    EXPECT_EQ(ActivateWindow(gone), 0);

    // A window of another program.
    WindowProgram program("");
    HWND other = WaitForWindowOf(program.pid());
    ASSERT_NE(other, nullptr);
    // A new program activates its window a little after showing it.
    ASSERT_TRUE(IsFront(other));
    vntest::PumpFor(200);
    EXPECT_EQ(ActivateWindow(a), 1);
    ASSERT_TRUE(IsFront(a));
    EXPECT_EQ(ActivateWindow(other), 1);
    EXPECT_TRUE(IsFront(other));
}

TEST(Activate, UnderWindows98And2000) {
    if (vntest::InChild()) GTEST_SKIP();
    for (const char* version : {"win98", "win2k"}) {
        vntest::ChildOptions options;
        options.windowsVersion = version;
        EXPECT_EQ(vntest::RunSelf("Activate.RestoresMinimisedWindowsAndPrefersTheirPopup", options), 0) << version;
    }
}

TEST(ForegroundActions, SwitchMovesToTheNextNormalWindow) {
    OwnWindows own;
    HWND a = own.Make("kf switch a");
    HWND tool = own.Make("kf switch tool", WS_EX_TOOLWINDOW);
    HWND b = own.Make("kf switch b");
    ASSERT_EQ(ActivateWindow(b), 1);
    ASSERT_TRUE(IsFront(b));
    // Below b in z-order: the tool window, then a. The tool window is passed over.
    EXPECT_EQ(SwitchNextWindow(), 1);
    EXPECT_TRUE(IsFront(a));
    EXPECT_NE(GetForegroundWindow(), tool);
    // b went to the bottom: the next switch from a skips the tool window and finds no b before
    // the windows of other programs, if any; b is reached again at the end of the walk.
    HWND last = b;
    for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) last = w;
    EXPECT_EQ(last, b);
}

TEST(ForegroundActions, SwitchWithOneNormalWindowChangesNothing) {
    OwnWindows own;
    HWND a = own.Make("kf only");
    ASSERT_EQ(ActivateWindow(a), 1);
    ASSERT_TRUE(IsFront(a));
    // Other visible normal windows would be switched to; in the test bed there are none.
    HWND other = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != a && IsWindowVisible(w) && !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) other = w;
    if (other) GTEST_SKIP() << "another visible window exists";
    EXPECT_EQ(SwitchNextWindow(), 1);
    vntest::PumpFor(100);
    EXPECT_EQ(GetForegroundWindow(), a);
}

TEST(ForegroundActions, CloseCurrentWindowPostsClose) {
    OwnWindows own;
    HWND a = own.Make("kf close");
    ASSERT_EQ(ActivateWindow(a), 1);
    ASSERT_TRUE(IsFront(a));
    EXPECT_EQ(CloseCurrentWindow(), 1);
    EXPECT_TRUE(IsWindow(a));  // posted, not sent
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsWindow(a); }, 3000));
}

TEST(ForegroundActions, ScreenSaverRequestReturns) {
    ActivateScreenSaver();
    SUCCEED();
}

}  // namespace
