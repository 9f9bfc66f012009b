#include "service/systray.h"

#include <shellapi.h>

#include "common/text.h"
#include "service/resource.h"

namespace vnd {
namespace {

constexpr char kTrayClass[] = "VNDaemonTray";

#ifndef _WIN64
static_assert(sizeof(TrayIconData) == 488, "the shell's notification record");
#endif

bool WindowsMajorAtLeast4() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    return GetVersionExA(&v) && v.dwMajorVersion >= 4;
}

}  // namespace

CSystemTray::~CSystemTray() {
    Remove();
    if (window_) DestroyWindow(window_);
}

bool CSystemTray::Create(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id) {
    if (!WindowsMajorAtLeast4()) return false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kTrayClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, kTrayClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, inst, nullptr);
    if (!window_) return false;
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Explorer announces its restart with this message; the icon has to be added again then.
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

    data_ = TrayIconData{};
    data_.cbSize = sizeof data_;
    data_.hWnd = owner ? owner : window_;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    vn::CopyTruncated(data_.szTip, sizeof data_.szTip, tip);
    enabled_ = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    return enabled_;
}

bool CSystemTray::Notify(DWORD message, UINT flags) {
    data_.uFlags = flags;
    return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&data_)) != FALSE;
}

void CSystemTray::Show() {
    if (!enabled_ || !hidden_) return;
    Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    hidden_ = false;
}

void CSystemTray::Hide() {
    if (!enabled_ || hidden_) return;
    Notify(NIM_DELETE, NIF_ICON);
    hidden_ = true;
}

void CSystemTray::Remove() {
    if (!enabled_) return;
    Notify(NIM_DELETE, 0);
    enabled_ = false;
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    if (wParam != data_.uID) return 0;
    HWND main = commandWindow_;
    if (lParam == WM_RBUTTONUP) {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(data_.uID));
        if (!menu) return 0;
        if (HMENU popup = GetSubMenu(menu, 0)) {
            SetMenuDefaultItem(popup, 0, TRUE);
            POINT at{};
            GetCursorPos(&at);
            SetForegroundWindow(main);
            TrackPopupMenu(popup, TPM_LEFTBUTTON, at.x, at.y, 0, main, nullptr);
            PostMessageA(main, WM_NULL, 0, 0);  // lets the menu close when the user clicks elsewhere
        }
        DestroyMenu(menu);
    } else if (lParam == WM_LBUTTONDBLCLK) {
        SetForegroundWindow(main);
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(data_.uID));
        if (!menu) return 0;
        if (HMENU popup = GetSubMenu(menu, 0)) {
            UINT id = GetMenuItemID(popup, 0);
            SendMessageA(main, WM_COMMAND, id, 0);
        }
        DestroyMenu(menu);
    }
    return 0;
}

LRESULT CALLBACK CSystemTray::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CSystemTray*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        if (msg == self->data_.uCallbackMessage) return self->OnTrayNotification(wParam, lParam);
        if (msg == self->taskbarCreated_ && self->taskbarCreated_ != 0) {
            if (self->enabled_ && !self->hidden_) self->Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vnd
