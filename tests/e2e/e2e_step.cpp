// The Windows side of the end-to-end run: each command does one step inside the prefix and tells
// by its exit status whether it worked (0 yes, 1 no, 2 bad command line).
//   snapshot FILE [FOLDER...]      registry and file snapshot, each FOLDER with all below it
//   compare BEFORE AFTER           prints what differs; 1 when anything does
//   shortcut NAME TARGET           NAME.lnk to a program below the start menu's programs
//   wait-window CLASS [SECONDS]    a window of that class exists (hidden ones count)
//   wait-shown CLASS [SECONDS]     a window of that class is visible on the screen
//   wait-hidden CLASS [SECONDS]    no window of that class is visible
//   wait-gone CLASS [SECONDS]      no window of that class is left
//   close CLASS                    asks every window of that class to close
//   assign KEY FOLDER ITEM         in the open wizard: key 1 to 7 starts the current user's
//                                  start-menu item FOLDER\ITEM; Finish
//   uninstall KEY                  runs the uninstall record's command and answers Yes and Finish
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/snapshot.h"
#include "common/testing/winetest.h"
#include "uninstall/resource.h"
#include "uninstall/tests/dialogs.h"
#include "wizard/tests/wizard_driver.h"

namespace {

constexpr int kCustomizeKeysPage = 3;
constexpr int kCurrentUserPrograms = 1063, kCurrentUserTree = 1025, kApply = 1080, kFinishNow = 6189;
// The centre of each key's hot spot on the Customize Keys page.
constexpr int kKeyX[] = {236, 312, 386, 458, 531, 605, 678};
constexpr int kKeyY = 175;

int Fail(const char* what) {
    std::fprintf(stderr, "e2e_step: %s\n", what);
    return 1;
}

bool Shown(const char* className) {
    HWND w = FindWindowA(className, nullptr);
    return w && IsWindowVisible(w);
}

int Wait(const std::vector<std::string>& a, bool (*done)(const char*), const char* failure) {
    DWORD ms = (a.size() > 2 ? static_cast<DWORD>(std::atoi(a[2].c_str())) : 20) * 1000;
    return vntest::WaitUntil([&] { return done(a[1].c_str()); }, ms) ? 0 : Fail(failure);
}

int Snapshot(const std::vector<std::string>& a) {
    std::vector<std::string> deep(a.begin() + 2, a.end());
    return vntest::SaveSnapshot(vntest::TakeSnapshot(deep), a[1]) ? 0 : Fail("cannot write the snapshot");
}

int Compare(const std::vector<std::string>& a) {
    vntest::Snapshot before, after;
    if (!vntest::LoadSnapshot(a[1], &before) || !vntest::LoadSnapshot(a[2], &after)) return Fail("cannot read");
    std::string differences = vntest::SnapshotDifferences(before, after);
    std::fputs(differences.c_str(), stdout);
    return differences.empty() ? 0 : 1;
}

int Shortcut(const std::vector<std::string>& a) {
    char programs[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE)) return Fail("no start menu");
    std::string link = std::string(programs) + "\\" + a[1] + ".lnk";
    for (size_t at = std::string(programs).size() + 1; (at = link.find('\\', at)) != std::string::npos; ++at)
        CreateDirectoryA(link.substr(0, at).c_str(), nullptr);
    CoInitialize(nullptr);
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    bool made = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shell)))) {
        shell->SetPath(a[2].c_str());
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            made = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        shell->Release();
    }
    CoUninitialize();
    return made ? 0 : Fail("cannot write the shortcut");
}

int Assign(const std::vector<std::string>& a) {
    int key = std::atoi(a[1].c_str());
    if (key < 1 || key > 7) return 2;
    tkcfg::test::WizardProcess wizard;
    if (!wizard.Attach()) return Fail("no wizard is open");
    wizard.GoTo(kCustomizeKeysPage);
    wizard.ClickPage(kKeyX[key - 1], kKeyY);
    wizard.ClickButton(kCurrentUserPrograms);
    tkcfg::test::RemoteTree tree(wizard.Control(kCurrentUserTree));
    HTREEITEM item = tree.Find(tree.Find(tree.Find(nullptr, "Programs"), a[2]), a[3]);
    if (!item) return Fail("the item is not in the wizard's start menu tree");
    tree.Select(item);
    wizard.Sync();
    wizard.ClickButton(kApply);
    PostMessageA(wizard.sheet(), WM_COMMAND, kFinishNow, 0);
    return wizard.WaitExit() == 0 ? 0 : Fail("the wizard did not finish");
}

int Uninstall(const std::vector<std::string>& a) {
    std::string record = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + a[1];
    vn::RegKey key;
    char command[MAX_PATH] = {}, name[MAX_PATH] = {};
    DWORD size = sizeof command, nameSize = sizeof name;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, record.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size) ||
        RegQueryValueExA(key.get(), "DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &nameSize))
        return Fail("no uninstall record");
    // Started as the system starts it: the bare command, found on the system's search path.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return Fail("the uninstaller does not start");
    vn::Handle launcher(pi.hProcess), thread(pi.hThread);
    HWND box = uninsttest::WaitDialog(std::string(name) + " Uninstallation");
    if (!box) return Fail("no confirmation");
    DWORD copyId = 0;
    GetWindowThreadProcessId(box, &copyId);
    vn::Handle copy(OpenProcess(SYNCHRONIZE, FALSE, copyId));
    uninsttest::Click(box, IDYES);
    HWND result = uninsttest::WaitDialog("Uninstall Result", 60000);
    if (!result) return Fail("no result");
    uninsttest::Click(result, IDC_FINISH);
    if (WaitForSingleObject(copy.get(), vntest::Scaled(20000)) != WAIT_OBJECT_0 ||
        WaitForSingleObject(launcher.get(), vntest::Scaled(20000)))
        return Fail("the uninstaller did not end");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    const std::string command = a.empty() ? "" : a[0];
    if (command == "snapshot" && a.size() >= 2) return Snapshot(a);
    if (command == "compare" && a.size() == 3) return Compare(a);
    if (command == "shortcut" && a.size() == 3) return Shortcut(a);
    if (command == "wait-window" && a.size() >= 2)
        return Wait(a, [](const char* c) { return FindWindowA(c, nullptr) != nullptr; }, "no such window");
    if (command == "wait-shown" && a.size() >= 2) return Wait(a, Shown, "no such window on the screen");
    if (command == "wait-hidden" && a.size() >= 2)
        return Wait(a, [](const char* c) { return !Shown(c); }, "the window is still on the screen");
    if (command == "wait-gone" && a.size() >= 2)
        return Wait(a, [](const char* c) { return FindWindowA(c, nullptr) == nullptr; }, "the window is still there");
    if (command == "close" && a.size() == 2) {
        for (HWND w; (w = FindWindowA(a[1].c_str(), nullptr)) != nullptr && IsWindow(w);) {
            SendMessageA(w, WM_CLOSE, 0, 0);
            if (IsWindow(w)) return Fail("a window refuses to close");
        }
        return 0;
    }
    if (command == "assign" && a.size() == 4) return Assign(a);
    if (command == "uninstall" && a.size() == 2) return Uninstall(a);
    std::fputs("usage: e2e_step snapshot|compare|shortcut|wait-window|wait-shown|wait-hidden|wait-gone|close|assign|uninstall ...\n", stderr);
    return 2;
}
