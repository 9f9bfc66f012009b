// The service's hidden main window ("VNDaemon") with its message table, and the program's run.
#pragma once
#include <windows.h>

#include <memory>

#include "common/handles.h"
#include "service/daemon.h"
#include "service/host_win32.h"
#include "service/systray.h"

namespace vnd {

// The libraries the service links; the program binds them to the real exports.
struct LibraryPorts {
    KeyboardPort& keyboard;
    DisplayPort& display;
    HookPort& hook;
    KeyFuncPort& keyfunc;
};

class CMainFrame {
public:
    explicit CMainFrame(const LibraryPorts& libraries);
    ~CMainFrame();
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    static bool RegisterWindowClass(HINSTANCE instance, const char* className);
    // Creates the hidden window; its creation runs the start-up. Null when start-up failed.
    HWND Create(HINSTANCE instance, const char* className);
    HWND hwnd() const { return hwnd_; }
    CSystemTray& tray() { return tray_; }
    Daemon* daemon() { return daemon_.get(); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnDestroy();
    void RegisterSessionNotification();

    LibraryPorts libs_;
    HWND hwnd_ = nullptr;
    HostWin32 host_;
    CSystemTray tray_;
    std::unique_ptr<Daemon> daemon_;
    vn::Module wtsapi_;
    BOOL(WINAPI* unregisterSession_)(HWND) = nullptr;
    bool sessionRegistered_ = false;
    bool destroyed_ = false;
    bool comReady_ = false;  // COM initialised on this thread by the start-up
};

// Start-up to the end of the message loop: the single-instance mutex, the window class, the main
// window. Returns the program's exit code.
int RunService(HINSTANCE instance, const LibraryPorts& libraries);

// The class name: string 128 up to its first newline.
bool LoadClassName(HINSTANCE instance, char* name, int size);

}  // namespace vnd
