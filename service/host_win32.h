// The system side of the decisions: windows, messages, thread timers, shell, processes.
#pragma once
#include <windows.h>

#include <functional>

#include "service/ports.h"

namespace vnd {

class HostWin32 : public HostPort {
public:
    HostWin32();
    ~HostWin32() override;
    HostWin32(const HostWin32&) = delete;
    HostWin32& operator=(const HostWin32&) = delete;

    // Called on the user-interface thread for every tick of a running timer.
    std::function<void(Timer)> onTick;

    Window FindTopWindow(const char* className, const char* title) override;
    void Post(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Send(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool IsMinimized(Window window) override;
    void ShowWindow(Window window, int command) override;
    bool StartTimer(Timer timer, unsigned ms) override;
    void StopTimer(Timer timer) override;
    void Beep() override;
    void ScreenSize(int* width, int* height) override;
    void OpenItemList(const std::vector<unsigned char>& itemList) override;
    bool ReadHotkeyCommand(std::string* path) override;
    bool FileExists(const char* path) override;
    bool StartProcess(const char* path) override;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR ids_[3] = {};
};

}  // namespace vnd
