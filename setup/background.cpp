// The full-screen background window: teal ground, the product title, the logo at the top right;
// it opens the wizard and ends the run when the wizard returns.
#include "common/handles.h"
#include "setup/logo.h"
#include "setup/resource.h"
#include "setup/run.h"

namespace setup {

namespace {

constexpr UINT kOpenWizard = WM_APP + 100;
constexpr char kClassName[] = "VarnelSetup";

struct Background {
    SetupRun* run = nullptr;
    vn::GdiObject titleFont;
    Logo logo;
};

// The band: the title (or the logo, when taller) and the window's frame and caption.
void MeasureBand(HWND window, Background& bg) {
    RECT client{};
    GetClientRect(window, &client);
    vn::WindowDc dc(window);
    vn::MemDc scratch(CreateCompatibleDC(dc.get()));
    vn::GdiObject canvas(CreateCompatibleBitmap(dc.get(), 1, 1));
    vn::SelectIn pick(scratch.get(), canvas.get());
    int title = instutil::DrawTitle(scratch.get(), static_cast<HFONT>(bg.titleFont.get()),
                                    bg.run->keys.setupTitle.c_str(), client.right);
    int band = title > bg.logo.Height() ? title : bg.logo.Height();
    bg.run->bandHeight = band + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
}

void Paint(HWND window, Background& bg) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    vn::GdiObject ground(CreateSolidBrush(instutil::kBackdropColour));
    FillRect(dc, &client, static_cast<HBRUSH>(ground.get()));
    // Flush with the client area's right edge, so that none of the logo is cut off.
    bg.logo.Draw(dc, client.right - bg.logo.Width(), 0);
    instutil::DrawTitle(dc, static_cast<HFONT>(bg.titleFont.get()), bg.run->keys.setupTitle.c_str(), client.right);
    EndPaint(window, &ps);
}

LRESULT CALLBACK BackgroundProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    auto* bg = reinterpret_cast<Background*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (msg) {
    case WM_CREATE: {
        bg = static_cast<Background*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bg));
        bg->titleFont.reset(instutil::CreateTitleFont(bg->run->userLocale));
        const std::string& logo = bg->run->keys.bkgLogo;
        if (!logo.empty() && instutil::FileExists(logo.c_str())) bg->logo.Load(logo.c_str());
        MeasureBand(window, *bg);
        PostMessageA(window, kOpenWizard, 0, 0);
        return 0;
    }
    case WM_SIZE:
        if (bg) MeasureBand(window, *bg);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (bg) {
            Paint(window, *bg);
            return 0;
        }
        break;
    case kOpenWizard:
        RunWizard(*bg->run, window);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

}  // namespace

int RunBackground(SetupRun& run) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BackgroundProc;
    wc.hInstance = run.instance;
    wc.hIcon = LoadIconA(run.instance, MAKEINTRESOURCEA(IDI_SETUP));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;

    Background bg;
    bg.run = &run;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExA(0, kClassName, LoadText(run.instance, IDS_SETUP).c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                  work.right - work.left, work.bottom - work.top, nullptr, nullptr, run.instance, &bg);
    if (!window) return 1;
    if (!run.hidden) {
        ShowWindow(window, SW_SHOWMAXIMIZED);
        UpdateWindow(window);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void StartService() {
    // The service's main window; the older class name is looked for as well.
    if (FindWindowA("VnDaemon Class", nullptr) || FindWindowA("VNDaemon", nullptr)) return;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    char command[] = "VnDaemon.exe";
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

}  // namespace setup
