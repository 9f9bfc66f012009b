// The tray icon: a hidden popup of its own receives the shell's callbacks; menu commands go to
// the service's main window.
#pragma once
#include <windows.h>

#include "service/ports.h"

namespace vnd {

// The notification record as the shell of Windows 2000 defines it (488 bytes on 32-bit Windows);
// older shells read only the leading fields.
struct TrayIconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    UINT uTimeoutOrVersion;
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
};

class CSystemTray : public TrayPort {
public:
    CSystemTray() = default;
    ~CSystemTray() override;
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    // Requires Windows 4.0 or later; adds the icon. owner may be null (callbacks to the tray window).
    bool Create(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id);
    bool Hidden() override { return hidden_; }
    void Show() override;
    void Hide() override;
    void Remove();
    bool enabled() const { return enabled_; }
    HWND window() const { return window_; }
    // The window that receives the menu's commands (the service's main window).
    void SetCommandWindow(HWND window) { commandWindow_ = window; }

protected:
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Notify(DWORD message, UINT flags);

    TrayIconData data_{};
    bool enabled_ = false;
    bool hidden_ = false;
    HWND window_ = nullptr;
    HWND commandWindow_ = nullptr;
    UINT taskbarCreated_ = 0;
};

}  // namespace vnd
