// The real VnDaemon.exe under Wine, driven from outside as its peers would: messages posted to the
// window of class "VNDaemon", keys injected into the input, and a stand-in VnUsbKbd.dll beside it
// that plugs keyboards in and out and records what the service asks of it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "common/testing/winetest.h"
#include "service/tests/process_counts.h"

namespace vnd::test {

inline constexpr char kUser[] = "Software\\OSTRL_KBD\\Productivity";
inline constexpr char kControl[] = "Software\\VnTest\\UsbKbd";

inline std::string Bin() { return vntest::ExeFolder() + "..\\bin\\"; }

inline bool Copy(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

inline void SetControl(const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kControl, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Writes a value of the settings store's machine-wide branch, which the service reads when the
// user's branch lacks it.
inline void SetSetting(const std::string& section, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    std::string path = std::string(kUser) + (section.empty() ? "" : "\\" + section);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
inline void SetNumber(const std::string& s, const char* n, DWORD v) { SetSetting(s, n, REG_DWORD, &v, sizeof v); }
inline void SetText(const std::string& s, const char* n, const std::string& v) {
    SetSetting(s, n, REG_SZ, v.c_str(), static_cast<DWORD>(v.size() + 1));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A hidden window of the test's own, of its own class, that a peer can find and talk to.
inline HWND MakeWindow(const char* className, const char* title, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, title, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
}

class Program : public ::testing::Test {
protected:
    vntest::TempDir dir;
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;

    void SetUp() override {
        if (GetFileAttributesA((Bin() + "VnDaemon.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
            FAIL() << "VnDaemon.exe is not built";
        for (const char* f : {"VnDaemon.exe", "VNUtil.dll", "VNOSD.dll", "vnhooks.dll"})
            ASSERT_TRUE(Copy(Bin() + f, dir.file(f))) << f;
        ASSERT_TRUE(Copy(vntest::ExeFolder() + "usbkbd_double\\VnUsbKbd.dll", dir.file("VnUsbKbd.dll")));
        ASSERT_TRUE(Copy(vntest::ExeFolder() + "proof.exe", dir.file("proof.exe")));
        // The service starts the wizard by name when an action fails: a stand-in that records its
        // start sits in the service's folder (the real wizard would stay open and keep the test's
        // output pipe).
        ASSERT_TRUE(Copy(vntest::ExeFolder() + "proof.exe", dir.file("TKCFG.EXE")));
        vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\OSTRL_KBD");
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\OSTRL_KBD");
        vntest::DeleteRegTree(HKEY_CURRENT_USER, kControl);
        SetControl("Devices", 1);
    }
    void TearDown() override {
        if (pi.hProcess) {
            if (IsWindow(main)) PostMessageA(main, WM_COMMAND, 57665, 0);
            if (WaitForSingleObject(pi.hProcess, vntest::Scaled(5000)) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        CloseProofs();
        vntest::PumpFor(100);
    }
    static void CloseProofs() {
        while (HWND w = FindWindowA("VnProofWindow", nullptr)) {
            SendMessageA(w, WM_CLOSE, 0, 0);
            vntest::PumpFor(50);
        }
    }
    bool Start(PROCESS_INFORMATION* info) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + dir.file("VnDaemon.exe") + "\"";
        // Only the system folders on the path: the test bed's path holds the output folder, whose
        // real wizard the shell would start in place of the stand-in beside the service.
        std::vector<char> env = vntest::SystemPathEnvironment();
        return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, env.data(), dir.path().c_str(), &si, info) != 0;
    }
    // The main window can be found while its creation still runs the service's start (the tray
    // icon added and then hidden, the hooks installed last), so a slow machine is waited for
    // until the service has come to its message loop.
    void Launch() {
        ASSERT_TRUE(Start(&pi));
        ASSERT_TRUE(vntest::WaitUntil([&] { return (main = FindWindowA("VNDaemon", "VNDaemon")) != nullptr; }, 10000));
        ASSERT_EQ(WaitForInputIdle(pi.hProcess, vntest::Scaled(10000)), 0u);
    }
    // Posts a message and waits until the service has normally handled it. A sent message is
    // handled before the posted ones waiting, so the first sync message only tells that the service
    // has come to its queue; the second comes back once it has returned to it after the posted one
    // (unless the handler itself takes sent messages while it waits for another window).
    void Post(UINT msg, WPARAM w, LPARAM l) {
        PostMessageA(main, msg, w, l);
        for (int i = 0; i < 2; ++i) {
            DWORD_PTR r = 0;
            SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, vntest::Scaled(5000), &r);
        }
    }
    // Sends a message as the system sends its own to the service; returns once it is handled.
    void Send(UINT msg, WPARAM w, LPARAM l) {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(main, msg, w, l, SMTO_NORMAL, vntest::Scaled(5000), &r);
    }
    void Key(unsigned usage, unsigned page = 0x0C) {
        Post(0x0402, 1, static_cast<LPARAM>(page << 16 | usage));
        Post(0x0402, 0, static_cast<LPARAM>(page << 16 | usage));
    }
    std::string Proofs() { return ReadFile(dir.file("proof.log")); }
    size_t ProofCount(const char* what) {
        std::string log = Proofs();
        size_t n = 0;
        for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    }

    std::string Calls() { return ReadFile(dir.file("usbkbd.log")); }
    Holdings ServiceHoldings() { return HoldingsOf(pi.hProcess, pi.dwProcessId); }
};

}  // namespace vnd::test
