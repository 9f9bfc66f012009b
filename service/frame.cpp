#include "service/frame.h"

#include <objbase.h>

#include <cstring>

#include "common/text.h"
#include "service/resource.h"

namespace vnd {
namespace {

constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr DWORD kNotifyForAllSessions = 1;

}  // namespace

CMainFrame::CMainFrame(const LibraryPorts& libraries) : libs_(libraries) {}

CMainFrame::~CMainFrame() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool CMainFrame::RegisterWindowClass(HINSTANCE instance, const char* className) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0;
}

HWND CMainFrame::Create(HINSTANCE instance, const char* className) {
    // Zero size, never shown; the title is the class name.
    CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    return hwnd_;
}

LRESULT CALLBACK CMainFrame::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->OnDestroy();  // a window whose creation failed may skip WM_DESTROY
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return self->Handle(msg, wParam, lParam);
}

LRESULT CMainFrame::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) return OnCreate() ? 0 : -1;
    if (!daemon_) return DefWindowProcA(hwnd_, msg, wParam, lParam);
    switch (msg) {
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_DEVICECHANGE:
        daemon_->DeviceChange(wParam, lParam);
        return 0;
    case kMsgReleaseNotifyHandle:
        libs_.keyboard.UnregisterHandle(wParam, lParam);
        return 0;
    case kMsgKeyEvent:
        daemon_->KeyEvent(wParam, lParam);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_CUSTOMIZE:
            daemon_->StartWizard();
            return 0;
        case ID_HIDE_ICON:
            daemon_->HideIconByUser();
            return 0;
        case ID_APP_EXIT:
            PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_POWERBROADCAST:
        daemon_->Power(wParam);
        return 0;
    case kWmWtsSessionChange:
        daemon_->SessionChange(wParam, lParam);
        return 0;
    case kMsgMailStatus:
        daemon_->MailStatus(wParam);
        return 0;
    case kMsgReloadSettings:
        daemon_->ReloadSettings();
        return 0;
    case kMsgShowTrayIcon:
        daemon_->ShowIconMessage();
        return 0;
    case kMsgHideTrayIcon:
        daemon_->HideIconMessage();
        return 0;
    case WM_ENDSESSION:
        if (wParam) DestroyWindow(hwnd_);  // the session ends: shut down like an unload
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

bool CMainFrame::OnCreate() {
    // The shell objects the service uses on this thread (context menus, item lists, links) need
    // COM here for the whole run.
    comReady_ = SUCCEEDED(CoInitialize(nullptr));
    Ports ports{libs_.keyboard, libs_.display, libs_.hook, libs_.keyfunc, host_, tray_};
    daemon_ = std::make_unique<Daemon>(ports, hwnd_);
    host_.onTick = [this](Timer t) { daemon_->TimerTick(t); };

    HINSTANCE instance = GetModuleHandleA(nullptr);
    char tip[128] = "";
    LoadStringA(instance, IDS_TRAY_TIP, tip, sizeof tip);
    tray_.SetCommandWindow(hwnd_);
    if (!tray_.Create(nullptr, kMsgTrayCallback, tip, LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME)),
                      IDR_TRAYMENU))
        return false;
    RegisterSessionNotification();

    char user[vn::kMaxText] = "";
    DWORD size = sizeof user;
    if (!GetUserNameA(user, &size)) user[0] = '\0';
    return daemon_->Start(user);
}

void CMainFrame::RegisterSessionNotification() {
    vn::Module kernel(LoadLibraryA("Kernel32.dll"));
    if (!kernel) return;
    using IdToSession = BOOL(WINAPI*)(DWORD, DWORD*);
    using CurrentId = DWORD(WINAPI*)();
    auto toSession = reinterpret_cast<IdToSession>(GetProcAddress(kernel.get(), "ProcessIdToSessionId"));
    auto currentId = reinterpret_cast<CurrentId>(GetProcAddress(kernel.get(), "GetCurrentProcessId"));
    if (!toSession || !currentId) return;
    wtsapi_.reset(LoadLibraryA("WTSAPI32.dll"));
    if (!wtsapi_) return;
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    auto registerSession = reinterpret_cast<Register>(GetProcAddress(wtsapi_.get(), "WTSRegisterSessionNotification"));
    unregisterSession_ =
        reinterpret_cast<BOOL(WINAPI*)(HWND)>(GetProcAddress(wtsapi_.get(), "WTSUnRegisterSessionNotification"));
    DWORD session = 0;
    if (toSession(currentId(), &session)) daemon_->SetOwnSession(session);
    if (!sessionRegistered_ && registerSession && unregisterSession_)
        sessionRegistered_ = registerSession(hwnd_, kNotifyForAllSessions) != FALSE;
}

void CMainFrame::OnDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (sessionRegistered_ && unregisterSession_) unregisterSession_(hwnd_);
    sessionRegistered_ = false;
    wtsapi_.reset();
    if (daemon_) daemon_->Detach();
    tray_.Remove();
    if (comReady_) CoUninitialize();
    comReady_ = false;
    PostQuitMessage(0);
}

bool LoadClassName(HINSTANCE instance, char* name, int size) {
    if (LoadStringA(instance, IDR_MAINFRAME, name, size) <= 0) return false;
    if (char* nl = std::strchr(name, '\n')) *nl = '\0';
    return name[0] != '\0';
}

int RunService(HINSTANCE instance, const LibraryPorts& libraries) {
    char className[vn::kMaxText];
    if (!LoadClassName(instance, className, sizeof className)) return 1;
    vn::Handle mutex(CreateMutexA(nullptr, FALSE, className));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;  // another instance runs
    if (!CMainFrame::RegisterWindowClass(instance, className)) {
        char text[vn::kMaxText] = "", caption[vn::kMaxText] = "";
        LoadStringA(instance, IDS_REGISTER_FAILED, text, sizeof text);
        LoadStringA(instance, IDS_APP_TITLE, caption, sizeof caption);
        MessageBoxA(nullptr, text, caption, MB_ICONSTOP);
        return 1;
    }
    CMainFrame frame(libraries);
    if (!frame.Create(instance, className)) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace vnd
