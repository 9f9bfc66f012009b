#include "hidkbd/tests/testwindow.h"

#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstring>

#include "common/testing/winetest.h"
#include "hidkbd/vnusbkbd.h"

namespace fakekbd {

TestWindow::TestWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HidKbdTestWindow";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowA("HidKbdTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestWindow::~TestWindow() { DestroyWindow(hwnd_); }

LRESULT CALLBACK TestWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self && m == WM_DEVICECHANGE) {
        VnHidDeviceChangeHandler(w, l);
        return TRUE;
    }
    if (self && (m == MSG_KEY_EVENT || m == MSG_RELEASE_NOTIFY_HANDLE)) {
        self->events_.push_back(Event{m, w, l});
        if (m == MSG_RELEASE_NOTIFY_HANDLE && VnHidUnregisterHandleHandler(w, l))
            ++self->unregisterResults;
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

const std::vector<Event>& TestWindow::WaitFor(size_t n, DWORD timeoutMs) {
    vntest::WaitUntil([&] { return events_.size() >= n; }, timeoutMs);
    return events_;
}

void TestWindow::SendArrival(const std::string& path) {
    size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + path.size() + 1;
    std::vector<char> buffer(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)));
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer.data());
    b->dbcc_size = DWORD(size);
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    static const GUID hid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    b->dbcc_classguid = hid;
    std::memcpy(b->dbcc_name, path.c_str(), path.size() + 1);
    SendMessageA(hwnd_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(b));
}

void TestWindow::SendHandleEvent(WPARAM type, HANDLE h) {
    DEV_BROADCAST_HANDLE b = {};
    b.dbch_size = sizeof b;
    b.dbch_devicetype = DBT_DEVTYP_HANDLE;
    b.dbch_handle = h;
    SendMessageA(hwnd_, WM_DEVICECHANGE, type, reinterpret_cast<LPARAM>(&b));
}

std::string CatchErrorBox(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < vntest::Scaled(timeoutMs)) {
        HWND box = FindWindowA("#32770", "VnUsbKbd Error");
        if (box) {
            char text[260] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(20);
    }
    return std::string();
}

}  // namespace fakekbd
