// The real service's life, tray, session and button records, seen from outside.
#include "service/tests/program_fixture.h"

#include <shellapi.h>
#include <shlobj.h>
#include <commdlg.h>

#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "service/tests/tray_count.h"

namespace vnd::test {
namespace {

TEST_F(Program, SecondStartExitsAndLeavesTheFirst) {
    Launch();
    PROCESS_INFORMATION second{};
    ASSERT_TRUE(Start(&second));
    EXPECT_EQ(WaitForSingleObject(second.hProcess, vntest::Scaled(10000)), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(second.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(FindWindowA("#32770", "VnDaemon"), nullptr);  // no message box
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// A start-up that fails at the keyboard library runs the shutdown steps, which must not write the
// display library's defaults over what the user chose.
TEST_F(Program, FailedStartUpKeepsTheUsersDisplaySettings) {
    char user[vn::kMaxText] = "";
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    const std::string osd = std::string(kUser) + "\\users\\" + user + "\\OSD";
    vn::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, osd.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                              nullptr),
              ERROR_SUCCESS);
    const DWORD red = 0x0000FF;
    RegSetValueExA(key.get(), "Color", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&red), sizeof red);
    RegSetValueExA(key.get(), "FaceName", 0, REG_SZ, reinterpret_cast<const BYTE*>("Courier New"), 12);
    SetControl("InitResult", 0);
    ASSERT_TRUE(Start(&pi));
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(10000)), WAIT_OBJECT_0);
    DWORD color = 0, type = 0, n = sizeof color;
    ASSERT_EQ(RegQueryValueExA(key.get(), "Color", nullptr, &type, reinterpret_cast<BYTE*>(&color), &n), ERROR_SUCCESS);
    EXPECT_EQ(color, red);
    char face[64] = "";
    n = sizeof face;
    RegQueryValueExA(key.get(), "FaceName", nullptr, nullptr, reinterpret_cast<BYTE*>(face), &n);
    EXPECT_STREQ(face, "Courier New");
    EXPECT_NE(RegQueryValueExA(key.get(), "Duration", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(Program, TrayFollowsTheKeyboardAndTheUser) {
    SetControl("Devices", 0);
    Launch();
    vntest::PumpFor(300);
    EXPECT_EQ(TrayIconCount(), 0);
    SetControl("Devices", 1);
    Send(WM_DEVICECHANGE, 0x8000, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    EXPECT_NE(Calls().find("change 32768"), std::string::npos);
    Post(WM_COMMAND, 32774, 0);  // "&Hide Icon"
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    Post(0x0731, 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    // "Hide" was stored: the next start keeps the icon hidden although a keyboard is there.
    PostMessageA(main, WM_COMMAND, 57665, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(10000)), WAIT_OBJECT_0);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = PROCESS_INFORMATION{};
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    Launch();
    vntest::PumpFor(500);
    EXPECT_EQ(TrayIconCount(), 0);
}

TEST_F(Program, UnloadEndsCleanly) {
    // A mail notifier window of the test's own, which the service closes.
    HWND notifier = MakeWindow("VNSmailD", "VNSmailD", DefWindowProcA);
    Launch();
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    PostMessageA(main, WM_COMMAND, 57665, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(10000)), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsWindow(notifier); }));
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    EXPECT_NE(Calls().find("close"), std::string::npos);
}

TEST_F(Program, LaunchKeyStartsWithParametersAndTogglesTheProgram) {
    SetNumber("Buttons\\Aux1", "ActionType", 1);
    SetText("Buttons\\Aux1", "ActionCommand", dir.file("proof.exe"));
    SetText("Buttons\\Aux1", "ActionParam1", "first second");
    SetText("Buttons\\Aux1", "DisplayName", "Proof");
    Launch();
    const DWORD start = GetTickCount();
    Key(2, 0x09);
    ASSERT_TRUE(vntest::WaitUntil([&] { return FindWindowA("VnProofWindow", nullptr) != nullptr; }, 10000));
    EXPECT_NE(Proofs().find("proof.exe|first second"), std::string::npos);
    if (vntest::LaunchOutlastedTheWindowSearch(GetTickCount() - start))
        GTEST_SKIP() << "the program showed its window after the library's one-second search";
    vntest::PumpFor(300);
    Key(2, 0x09);  // brings the same program forward (or minimizes it) instead of a second copy
    vntest::PumpFor(500);
    std::string log = Proofs();
    EXPECT_EQ(log.find("proof.exe|"), log.rfind("proof.exe|"));
}

TEST_F(Program, UnknownKindStartsTheWizard) {
    SetNumber("Buttons\\Aux2", "ActionType", 9);
    Launch();
    Key(3, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] { return Proofs().find("TKCFG.EXE|") != std::string::npos; }, 10000));
}

TEST_F(Program, PowerDrivesTheStandbyLed) {
    Launch();
    Send(WM_POWERBROADCAST, 4, 0);
    EXPECT_NE(Calls().find("led 27 1"), std::string::npos);
    Send(WM_POWERBROADCAST, 7, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return Calls().find("led 27 0") != std::string::npos; }, 3000));
}

TEST_F(Program, HostileKeyEventsAndRecords) {
    // Every damaged record fails and starts the wizard (here a proof program).
    SetNumber("Buttons\\Aux1", "ActionType", 1);
    SetText("Buttons\\Aux1", "ActionCommand", std::string(5000, 'x'));
    SetNumber("Buttons\\Aux7", "ActionType", 6);
    unsigned char junk[300];
    for (unsigned i = 0; i < sizeof junk; ++i) junk[i] = static_cast<unsigned char>(i * 37 + 11);
    SetSetting("Buttons\\Aux7", "ActionCommand", REG_BINARY, junk, sizeof junk);
    SetNumber("Buttons\\Aux3", "ActionType", 5);
    SetText("Buttons\\Aux3", "ActionCommand", "not a number");
    Launch();
    Key(2, 0x09);
    Key(8, 0x09);
    Key(4, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] {
        std::string log = Proofs();
        size_t n = 0;
        for (size_t at = log.find("TKCFG.EXE|"); at != std::string::npos; at = log.find("TKCFG.EXE|", at + 1)) ++n;
        return n == 3;
    }, 10000));
    CloseProofs();
    // Random events with the predefined functions off, so that no program is started by them.
    SetNumber("Buttons", "KRHEnable", 0);
    Post(0x0730, 0, 0);
    Key(0xE9);  // the display window exists from here on
    const Holdings before = ServiceHoldings();
    unsigned seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245 + 12345;
        unsigned page = (seed >> 8) % 3 == 0 ? 0x0C : (seed >> 8) % 3 == 1 ? 0x09 : seed;
        unsigned usage = (seed >> 4) & 0xFF;
        // Usage 1 starts the system information program, the media keys a player: not here.
        if (usage == 1 || usage == 0xB5 || usage == 0xB6 || usage == 0xB7 || usage == 0xCD || usage == 0x91) continue;
        PostMessageA(main, 0x0402, (seed >> 20) & 3, static_cast<LPARAM>(page << 16 | usage));
        if (i % 200 == 0) Post(WM_NULL, 0, 0);
    }
    Post(WM_NULL, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(IsWindow(main));
    // Thousands of events leave what the service holds where it was, give or take a few.
    vntest::PumpFor(300);
    const Holdings after = ServiceHoldings();
    ASSERT_GT(before.handles, 0u);
    EXPECT_LE(after.handles, before.handles + 8) << before.handles << " before";
    EXPECT_LE(after.windows, before.windows + 1) << before.windows << " before";
    // Where the system counts another process's GDI and USER objects (Wine does not).
    if (before.gdi) {
        EXPECT_LE(after.gdi, before.gdi + 8) << before.gdi << " before";
    }
    if (before.user) {
        EXPECT_LE(after.user, before.user + 8) << before.user << " before";
    }
}

TEST_F(Program, SessionDisconnectAndConnectOfTheOwnSession) {
    using IdToSession = BOOL(WINAPI*)(DWORD, DWORD*);
    auto toSession = reinterpret_cast<IdToSession>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ProcessIdToSessionId"));
    ASSERT_NE(toSession, nullptr);
    DWORD session = 0;
    ASSERT_TRUE(toSession(GetCurrentProcessId(), &session));
    Launch();
    ASSERT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    auto count = [&](const char* what) {
        std::string log = Calls();
        size_t n = 0;
        for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    };
    ASSERT_TRUE(vntest::WaitUntil([&] { return count("init ") == 1; }));
    // Another session's console changes are not the service's business.
    Send(0x02B1, 2, static_cast<LPARAM>(session + 7));
    Send(0x02B1, 1, static_cast<LPARAM>(session + 7));
    EXPECT_EQ(count("init "), 1u);
    EXPECT_EQ(count("close"), 0u);
    // Disconnect: the keyboard is let go, the icon goes.
    Send(0x02B1, 2, static_cast<LPARAM>(session));
    EXPECT_EQ(count("close"), 1u);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 0; }));
    // Connect: taken back, the icon returns.
    Send(0x02B1, 1, static_cast<LPARAM>(session));
    EXPECT_EQ(count("init "), 2u);
    EXPECT_TRUE(vntest::WaitUntil([] { return TrayIconCount() == 1; }));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// Kind 0 is as if there were no record: the key's own function from the catalogue, here Aux6's
// mail program, found as the machine's default mail client.
TEST_F(Program, Kind0RunsTheKeysOwnFunction) {
    const char* clients = "Software\\Clients\\Mail";
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, clients);
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, clients, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("VnProofMail"), 12);
    RegCloseKey(key);
    std::string command = "\"" + dir.file("proof.exe") + "\" /compose";
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Clients\\Mail\\VnProofMail\\Shell\\Open\\Command", 0, nullptr, 0,
                    KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
    SetNumber("Buttons\\Aux6", "ActionType", 0);
    Launch();
    Key(7, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] { return Proofs().find("proof.exe|/compose") != std::string::npos; }, 10000))
        << Proofs();
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, clients);
}

// Usage 1 runs the machine's HOTKEY01 command; the other pages the service does not handle are
// ignored.
TEST_F(Program, UsageOneRunsTheHotkeyCommand) {
    SetText("HOTKEY01", "ActionCommand", dir.file("proof.exe"));
    Launch();
    Key(0x02, 0x07);
    Key(0x02, 0xFF00);
    Key(0x01, 0x0C);
    EXPECT_TRUE(vntest::WaitUntil([&] { return ProofCount("proof.exe|") == 1; }, 10000));
    vntest::PumpFor(300);
    EXPECT_EQ(ProofCount("proof.exe|"), 1u);
}

// Kind 3 finds its program by title in the user's program menu and starts it.
TEST_F(Program, Kind3StartsTheProgramFoundInTheMenu) {
    char menu[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, menu, CSIDL_PROGRAMS, TRUE));
    std::string folder = std::string(menu) + "\\VnTest Kind3";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string program = folder + "\\VnKind3Proof.exe";
    ASSERT_TRUE(Copy(dir.file("proof.exe"), program));
    // The title as the user sees it (with or without the extension, by the user's settings).
    char title[MAX_PATH] = {};
    ASSERT_EQ(GetFileTitleA(program.c_str(), title, sizeof title), 0);
    SetNumber("Buttons\\Aux4", "ActionType", 3);
    SetText("Buttons\\Aux4", "ActionCommand", title);
    Launch();
    Key(5, 0x09);
    std::string log = folder + "\\proof.log";
    EXPECT_TRUE(vntest::WaitUntil([&] { return ReadFile(log).find("VnKind3Proof.exe|") != std::string::npos; }, 10000));
    CloseProofs();
    vntest::PumpFor(300);
    DeleteFileA(program.c_str());
    DeleteFileA(log.c_str());
    RemoveDirectoryA(folder.c_str());
}

// A window of the test's own that records the messages sent to it.
std::string g_received;
LRESULT CALLBACK TargetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m >= WM_USER && m < 0x8000) {
        char b[48];
        wsprintfA(b, "%x %u %ld;", m, static_cast<unsigned>(w), static_cast<long>(l));
        g_received += b;
    }
    return DefWindowProcA(h, m, w, l);
}

// The test's window of class "VnKind5Target" and a kind-5 record of Aux1 that sends it WM_USER + 5
// (the wizard, started when a press fails, is the proof program).
HWND Kind5Target(const vntest::TempDir& dir) {
    HWND target = MakeWindow("VnKind5Target", "target", TargetProc);
    g_received.clear();
    SetNumber("Buttons\\Aux1", "ActionType", 5);
    SetNumber("Buttons\\Aux1", "ActionCommand", WM_USER + 5);
    SetText("Buttons", "ClassName", "VnKind5Target");
    return target;
}

TEST_F(Program, Kind5SendsItsMessageToTheFoundWindow) {
    HWND target = Kind5Target(dir);
    SetNumber("Buttons\\Aux1", "ActionParam1", 40001);
    SetNumber("Buttons\\Aux1", "ActionParam2", static_cast<DWORD>(-2));
    SetNumber("Buttons", "FindWindow", 1);
    Launch();
    Key(2, 0x09);
    // The service sends it while handling the key, after this thread's own sync message.
    EXPECT_TRUE(vntest::WaitUntil([] { return !g_received.empty(); }, 5000));
    EXPECT_EQ(g_received, "405 40001 -2;");
    DestroyWindow(target);
    // Without the window the press fails and the wizard is started.
    Key(2, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] { return ProofCount("TKCFG.EXE|") == 1; }, 10000));
    EXPECT_EQ(g_received, "405 40001 -2;");
}

// "FindWindow" is a Boolean of the store: a text true or a short binary value counts as well.
TEST_F(Program, Kind5FindWindowIsReadAsABoolean) {
    HWND target = Kind5Target(dir);
    SetText("Buttons", "FindWindow", "TRUE");
    Launch();
    Key(2, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([] { return g_received == "405 0 0;"; }, 5000)) << g_received;
    const BYTE one = 1;
    SetSetting("Buttons", "FindWindow", REG_BINARY, &one, 1);
    Key(2, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([] { return g_received == "405 0 0;405 0 0;"; }, 5000)) << g_received;
    DestroyWindow(target);
}

// Kind 6 holds a shell item list: here the one of the proof program, which opening starts.
TEST_F(Program, Kind6OpensItsShellItem) {
    using FromPath = void*(WINAPI*)(const char*);
    using Size = UINT(WINAPI*)(const void*);
    using Free = void(WINAPI*)(void*);
    vn::Module shell(LoadLibraryA("shell32.dll"));
    auto fromPath = reinterpret_cast<FromPath>(GetProcAddress(shell.get(), "ILCreateFromPathA"));
    auto size = reinterpret_cast<Size>(GetProcAddress(shell.get(), "ILGetSize"));
    auto release = reinterpret_cast<Free>(GetProcAddress(shell.get(), "ILFree"));
    ASSERT_TRUE(fromPath && size && release);
    void* item = fromPath(dir.file("proof.exe").c_str());
    ASSERT_NE(item, nullptr);
    SetNumber("Buttons\\Aux7", "ActionType", 6);
    SetSetting("Buttons\\Aux7", "ActionCommand", REG_BINARY, item, size(item));
    release(item);
    Launch();
    Key(8, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] { return ProofCount("proof.exe|") == 1; }, 10000));
}

// A stand-in of the outside "KRHSPOSD_CLASS" window that records what it is told.
std::string g_posd;
LRESULT CALLBACK PosdProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m >= 0x8000 && m < 0xC000) {
        char b[16];
        wsprintfA(b, "%x ", m);
        g_posd += b;
    }
    return DefWindowProcA(h, m, w, l);
}

TEST_F(Program, MailStatusBlinksAndTellsTheMailWindow) {
    HWND posd = MakeWindow("KRHSPOSD_CLASS", "", PosdProc);
    g_posd.clear();
    Launch();
    Post(0x0719, 1, 0);
    vntest::PumpFor(1300);  // on, then off after a second
    Post(0x0719, 0, 0);
    vntest::PumpFor(200);
    EXPECT_EQ(g_posd.substr(0, 5), "803d ");
    EXPECT_NE(g_posd.find("8263 800c "), std::string::npos);
    std::string calls = Calls();
    EXPECT_NE(calls.find("led 19 1"), std::string::npos);
    EXPECT_EQ(calls.substr(calls.rfind("led ")), "led 19 0\n");
    DestroyWindow(posd);
}

}  // namespace
}  // namespace vnd::test
