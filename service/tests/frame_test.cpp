// The main window, its message table and the tray icon, for real under Wine, over fake libraries.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <objbase.h>

#include "common/testing/winetest.h"
#include "service/frame.h"
#include "service/resource.h"
#include "service/tests/fakes.h"
#include "service/tests/tray_count.h"

namespace vnd::test {
namespace {

constexpr char kTestClass[] = "VNDaemonFrameTest";

class Frame : public ::testing::Test {
protected:
    Bed bed;
    std::unique_ptr<CMainFrame> frame;
    LibraryPorts libs{bed.keyboard, bed.display, bed.hook, bed.keyfunc};

    static void SetUpTestSuite() { CMainFrame::RegisterWindowClass(GetModuleHandleA(nullptr), kTestClass); }
    void Create() {
        frame = std::make_unique<CMainFrame>(libs);
        ASSERT_NE(frame->Create(GetModuleHandleA(nullptr), kTestClass), nullptr);
    }
    HWND hwnd() { return frame->hwnd(); }
    void TearDown() override {
        frame.reset();
        vntest::PumpFor(50);
    }
};

TEST_F(Frame, StartsWithIconShownWhenAKeyboardIsThere) {
    Create();
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    EXPECT_TRUE(bed.log.has("hook.llkb 1 402 1"));
    char title[32] = "";
    GetWindowTextA(hwnd(), title, sizeof title);
    EXPECT_STREQ(title, kTestClass);
    EXPECT_FALSE(IsWindowVisible(hwnd()));
}

TEST_F(Frame, StartsWithoutIconWithoutKeyboardAndShowsItOnArrival) {
    bed.keyboard.devices = 0;
    Create();
    vntest::PumpFor(100);
    EXPECT_EQ(TrayIconCount(), 0);
    bed.keyboard.devices = 1;
    SendMessageA(hwnd(), WM_DEVICECHANGE, 0x8000, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
}

TEST_F(Frame, WizardMessagesAndHideCommand) {
    Create();
    PostMessageA(hwnd(), kMsgHideTrayIcon, 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    PostMessageA(hwnd(), kMsgShowTrayIcon, 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    PostMessageA(hwnd(), WM_COMMAND, ID_HIDE_ICON, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    EXPECT_TRUE(bed.log.has("set SysTrayIcon|Hide=1"));
    PostMessageA(hwnd(), kMsgReloadSettings, 0, 0);
    bed.keyfunc.Num("Buttons", "INavEnable", 0);
    vntest::PumpFor(50);
    EXPECT_EQ(bed.log.lines.back(), "hook.filter 1");
}

TEST_F(Frame, DoubleClickStartsTheWizard) {
    Create();
    SendMessageA(frame->tray().window(), kMsgTrayCallback, IDR_TRAYMENU, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(bed.log.has("launch TKCFG.EXE|(null)|0"));
    bed.log.clear();
    SendMessageA(frame->tray().window(), kMsgTrayCallback, 99, WM_LBUTTONDBLCLK);  // another icon id
    EXPECT_TRUE(bed.log.lines.empty());
}

TEST_F(Frame, IconComesBackWhenTheShellRestarts) {
    Create();
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    NOTIFYICONDATAA gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = frame->tray().window();
    gone.uID = IDR_TRAYMENU;
    Shell_NotifyIconA(NIM_DELETE, &gone);  // as if the shell had lost it
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    SendMessageA(frame->tray().window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    // A hidden icon stays hidden.
    PostMessageA(hwnd(), kMsgHideTrayIcon, 0, 0);
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    SendMessageA(frame->tray().window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    vntest::PumpFor(100);
    EXPECT_EQ(TrayIconCount(), 0);
}

TEST_F(Frame, VolumeRepeatIsARealThreadTimer) {
    Create();
    bed.log.clear();
    PostMessageA(hwnd(), kMsgKeyEvent, 1, 0x000C00E9);
    vntest::PumpFor(450);
    int held = bed.log.count("osd.volume 30000 24");
    EXPECT_GE(held, 3);
    PostMessageA(hwnd(), kMsgKeyEvent, 0, 0x000C00E9);
    vntest::PumpFor(50);
    int released = bed.log.count("osd.volume 30000 24");
    vntest::PumpFor(300);
    EXPECT_EQ(bed.log.count("osd.volume 30000 24"), released);
}

TEST_F(Frame, FailedStartUpDestroysTheWindow) {
    bed.keyboard.initResult = 0;
    frame = std::make_unique<CMainFrame>(libs);
    EXPECT_EQ(frame->Create(GetModuleHandleA(nullptr), kTestClass), nullptr);
    EXPECT_TRUE(bed.log.has("hid.close"));  // the shutdown ran
    vntest::PumpFor(100);
    EXPECT_EQ(TrayIconCount(), 0);
}

TEST_F(Frame, UnloadEndsCleanly) {
    Create();
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    PostMessageA(hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return frame->hwnd() == nullptr; }));
    EXPECT_TRUE(bed.log.has("osd.destroy"));
    EXPECT_TRUE(bed.log.has("hid.close"));
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
}

// The shell objects the service uses on its thread (context menus, item lists, links) need COM
// there for the whole run.
TEST_F(Frame, ComIsReadyOnTheServiceThreadWhileItRuns) {
    Create();
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // already initialised on this thread
    CoUninitialize();
    frame.reset();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);  // and ended with the service
    CoUninitialize();
}

TEST(Resources, StringsAndTrayMenusInEveryLanguage) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    char name[64];
    ASSERT_TRUE(LoadClassName(inst, name, sizeof name));
    EXPECT_STREQ(name, "VNDaemon");
    LoadStringA(inst, IDS_APP_TITLE, name, sizeof name);
    EXPECT_STREQ(name, "VnDaemon");
    EXPECT_NE(LoadIconA(inst, MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
    struct Lang {
        WORD id;
        const wchar_t* first;
        const wchar_t* last;
    } langs[] = {{1028, L"自訂Tessaro Keyboard(&C)", L"卸載(&U)"},
                 {1029, L"&Upravit Tessaro Keyboard", L"&Uvolnit"},
                 {1031, L"&Tessaro Keyboard anpassen", L"&Entladen"},
                 {1033, L"&Customize Keyreach Keyboard", L"&Unload"},
                 {1034, L"&Personalizar Tessaro Keyboard", L"&Descargar"},
                 {2058, L"&Personalizar Tessaro Keyboard", L"&Descargar"},
                 {3082, L"&Personalizar Tessaro Keyboard", L"&Descargar"},
                 {1036, L"&Personnaliser - Tessaro Keyboard", L"&Décharger"},
                 {1040, L"&Personalizza Tessaro Keyboard", L"&Scarica"},
                 {1041, L"Tessaro Keyboard のカスタマイズ(C)", L"アンロード(U)"},
                 {1046, L"&Personalizar o Tessaro Keyboard", L"&Descarregar"},
                 {1051, L"&Úprava klávesnice Tessaro Keyboard.", L"&Nezavádzať"},
                 {1060, L"&Úprava klávesnice Tessaro Keyboard.", L"&Nezavádzať"},
                 {1055, L"Tessaro Keyboard'u &Özelleştir", L"&Kaldır"},
                 {2052, L"自定义 Tessaro Keyboard(&C)", L"卸载(&U)"}};
    for (const Lang& l : langs) {
        SCOPED_TRACE(l.id);
        HRSRC res = FindResourceExA(inst, reinterpret_cast<LPCSTR>(RT_MENU), MAKEINTRESOURCEA(IDR_TRAYMENU), l.id);
        ASSERT_NE(res, nullptr);
        HMENU menu = LoadMenuIndirectW(LockResource(LoadResource(inst, res)));
        ASSERT_NE(menu, nullptr);
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_EQ(GetMenuItemCount(popup), 3);
        wchar_t text[80];
        GetMenuStringW(popup, 0, text, 80, MF_BYPOSITION);
        EXPECT_STREQ(text, l.first);
        GetMenuStringW(popup, 2, text, 80, MF_BYPOSITION);
        EXPECT_STREQ(text, l.last);
        EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_CUSTOMIZE));
        EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(ID_HIDE_ICON));
        EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(ID_APP_EXIT));
        DestroyMenu(menu);
    }
}

}  // namespace
}  // namespace vnd::test
