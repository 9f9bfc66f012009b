// Feeds a stream of consumer-key reports through the scripted keyboard and prints the time from a
// report's arrival to its key event reaching the window, and the reader's processor time per report.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "hidkbd/library.h"
#include "hidkbd/tests/fakekbd.h"
#include "hidkbd/vnusbkbd.h"

namespace {

LARGE_INTEGER g_received;

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == MSG_KEY_EVENT) {
        QueryPerformanceCounter(&g_received);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

double ThreadCpuMs(HANDLE thread) {
    FILETIME c, e, k, u;
    if (!GetThreadTimes(thread, &c, &e, &k, &u)) return 0;
    auto ms = [](const FILETIME& f) {
        return double((ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(k) + ms(u);
}

bool WaitKeyEvent() {
    MSG msg;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
            if (msg.message == MSG_KEY_EVENT) return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLPOSTMESSAGE);
    }
    return false;
}

}  // namespace

int main() {
    using namespace fakekbd;
    FakeHid fake;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HidKbdBench";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("HidKbdBench", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    const VnHidDeviceEntry table[] = {{kVendor, kProductUsb, "Tessaro USB", "Kalvo"}};
    int consumer = fake.PlugKeyboard(kProductUsb) + 1;
    if (VnHidInit(window, table, 1) != 1 || VnHidGetNumberDevices() != 2) {
        std::printf("keyboard did not open\n");
        return 1;
    }
    HANDLE readers[4];
    int count = vnhid::ReaderThreads(readers, 4);
    if (count < 1) return 1;
    HANDLE reader = readers[0];  // the consumer collection's, the first listed

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    const int kReports = 4000;
    std::vector<double> latencyUs;
    latencyUs.reserve(kReports);
    double cpuBefore = ThreadCpuMs(reader);
    for (int i = 0; i < kReports; ++i) {
        // Alternate press and release of Play/Pause: every report gives one event.
        Bytes report{0x01, std::uint8_t(i % 2 == 0 ? 0x1E : 0x00), 0, 0, 0};
        LARGE_INTEGER fed;
        QueryPerformanceCounter(&fed);
        fake.Feed(consumer, report);
        if (!WaitKeyEvent()) {
            std::printf("report %d gave no event\n", i);
            return 1;
        }
        latencyUs.push_back(double(g_received.QuadPart - fed.QuadPart) * 1e6 / double(freq.QuadPart));
    }
    double cpuUsed = ThreadCpuMs(reader) - cpuBefore;
    std::sort(latencyUs.begin(), latencyUs.end());
    auto at = [&](double q) { return latencyUs[size_t(q * (latencyUs.size() - 1))]; };
    std::printf("reports: %d (one key event each)\n", kReports);
    std::printf("arrival to key event at the window: median %.1f us, p95 %.1f us, max %.1f us\n",
                at(0.5), at(0.95), latencyUs.back());
    std::printf("reader processor time per report: %.2f us\n", cpuUsed * 1000.0 / kReports);

    double idleBefore = ThreadCpuMs(reader);
    Sleep(2000);
    std::printf("reader processor time while idle for 2 s: %.2f ms\n", ThreadCpuMs(reader) - idleBefore);

    VnHidClose();
    DestroyWindow(window);
    return 0;
}
