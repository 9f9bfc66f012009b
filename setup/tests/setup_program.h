// The real setup.exe under Wine, started in a fresh folder with scripts beside it, and the windows
// it shows.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"

namespace setuptest {

using vntest::WindowText;

struct Found {
    DWORD pid;
    const char* cls;
    std::vector<HWND> windows;
};

inline BOOL CALLBACK Collect(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == f->pid && lstrcmpiA(cls, f->cls) == 0) f->windows.push_back(w);
    return TRUE;
}

class SetupProgram : public ::testing::Test {
protected:
    vntest::TempDir dir;
    PROCESS_INFORMATION pi{};

    void SetUp() override {
        std::string bin = vntest::ExeFolder() + "..\\bin\\";
        ASSERT_TRUE(CopyFileA((bin + "setup.exe").c_str(), dir.file("setup.exe").c_str(), FALSE));
        // The service the run starts at its end: a stand-in that leaves its proof.
        ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "setup_service_double.exe").c_str(),
                              dir.file("VnDaemon.exe").c_str(), FALSE));
    }
    void TearDown() override {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, vntest::Scaled(5000));
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        vntest::SetProgramWindowsVersion("setup.exe", nullptr);
    }

    void Script(const char* name, const std::string& body) {
        ASSERT_TRUE(vntest::WriteFileBytes(dir.file(name), body));
    }
    void Start(const std::string& args = "", const char* version = nullptr) {
        vntest::SetProgramWindowsVersion("setup.exe", version);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + dir.file("setup.exe") + "\" " + args;
        std::vector<char> env = vntest::SystemPathEnvironment();  // programs it starts are the stand-ins here
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, env.data(), dir.path().c_str(), &si, &pi));
    }
    std::vector<HWND> Windows(const char* cls) {
        Found f{pi.dwProcessId, cls, {}};
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&f));
        return f.windows;
    }
    // The wizard: the dialog window of the program that has a current page.
    HWND Sheet() {
        HWND sheet = nullptr;
        vntest::WaitUntil([&] {
            for (HWND w : Windows("#32770")) {
                DWORD_PTR page = 0;
                if (SendMessageTimeoutA(w, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, vntest::Scaled(2000), &page) && page) {
                    sheet = w;
                    return true;
                }
            }
            return false;
        }, 10000);
        return sheet;
    }
    HWND Dialog(const char* caption) {
        HWND found = nullptr;
        vntest::WaitUntil([&] {
            for (HWND w : Windows("#32770"))
                if (WindowText(w) == caption) found = w;
            return found != nullptr;
        }, 10000);
        return found;
    }
    HWND Page(HWND sheet) {
        DWORD_PTR page = 0;
        SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, vntest::Scaled(5000), &page);
        return reinterpret_cast<HWND>(page);
    }
    std::string Item(HWND sheet, int id) { return WindowText(GetDlgItem(Page(sheet), id)); }
    // Presses a wizard button and waits for the page to change; returns the new page's caption.
    std::string Press(HWND sheet, int button) {
        HWND before = Page(sheet);
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        vntest::WaitUntil([&] { return !IsWindow(sheet) || Page(sheet) != before; }, 10000);
        return IsWindow(sheet) ? WindowText(sheet) : "";
    }
    // The captions of the pages, pressing Next from the first one to the result page. The
    // installation page moves on by itself as soon as its work is done: it is not listed.
    std::vector<std::string> WalkToResult(HWND sheet) {
        std::vector<std::string> captions{WindowText(sheet)};
        while (captions.back() != "Setup Result" && captions.size() < 10) {
            std::string next = Press(sheet, PSBTN_NEXT);
            if (next == "Installation Procedures") {
                vntest::WaitUntil([&] { return !IsWindow(sheet) || WindowText(sheet) != next; }, 10000);
                next = WindowText(sheet);
            }
            captions.push_back(next);
        }
        return captions;
    }
    bool Ends(DWORD ms = 10000) { return WaitForSingleObject(pi.hProcess, vntest::Scaled(ms)) == WAIT_OBJECT_0; }
    DWORD ExitCode() {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    bool ServiceStarted() {
        return vntest::WaitUntil([&] { return GetFileAttributesA(dir.file("service.log").c_str()) != INVALID_FILE_ATTRIBUTES; },
                                 5000);
    }
    void Click(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

}  // namespace setuptest
