// The display window: a full-screen topmost popup whose region is the shape of the text or
// symbols, painted in the display colour by its class background brush.
#include <windows.h>
// The font dialog; needs windows.h first.
#include <commdlg.h>

#include "common/handles.h"
#include "common/text.h"
#include "osd/layout.h"
#include "osd/shapes.h"
#include "osd/state.h"
#include "osd/vnosd.h"

namespace osd {

const char kClassName[] = "VN_OSD_WNDCLASS";
const char kWindowName[] = "VN_OSD_WND";
const char kSection[] = "OSD";

State& Osd() {
    static State state{DefaultFont()};
    return state;
}

HMODULE Module() { return vn::ThisModule(); }

LOGFONTA DefaultFont() {
    LOGFONTA lf{};
    lf.lfHeight = kDefaultHeight;
    lf.lfWeight = FW_NORMAL;
    vn::CopyText(lf.lfFaceName, sizeof lf.lfFaceName, "Arial");
    return lf;
}

namespace {

constexpr UINT kShowFlags = 0x53;  // SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW

void StopHideTimer(State& s) {
    if (s.timerRunning && s.window) KillTimer(s.window, kHideTimer);
    s.timerRunning = false;
}

void StartHideTimer(State& s) {
    if (s.window && SetTimer(s.window, kHideTimer, static_cast<UINT>(s.duration), nullptr)) s.timerRunning = true;
}

void OnHideTimer(State& s) {
    StopHideTimer(s);
    if (s.keepShowing) return;
    ShowWindow(s.window, SW_HIDE);
    s.visible = false;
}

void OnDisplayChange(State& s, HWND window, int cx, int cy) {
    if (cx <= 0 || cy <= 0) {
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    if (!UserChangedStored()) s.font.lfHeight = ScaledFontHeight(s.baseHeight, cy, false);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, cx, cy, SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    State& s = Osd();
    switch (message) {
    case WM_TIMER:
        if (wParam == kHideTimer && window == s.window) {
            OnHideTimer(s);
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
        if (window == s.window) OnDisplayChange(s, window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_NCPAINT:
        // A frameless popup has no non-client area to paint; skipping it saves a window DC on
        // every show.
        return 0;
    case WM_PAINT:
        // The display is nothing but its background, which the erase paints. BeginPaint would
        // only validate, at the price of the shape's visible region fetched once more (thousands
        // of rectangles for a long label, costing milliseconds under Wine). So any erase still
        // due is done now, then the window is validated.
        RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
        ValidateRect(window, nullptr);
        return 0;
    case WM_NCDESTROY:
        // Destroyed by anyone: the next display makes a new window.
        if (window == s.window) {
            s.window = nullptr;
            s.visible = false;
            s.timerRunning = false;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(State& s) {
    HBRUSH brush = CreateSolidBrush(s.color);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Module();
    wc.hbrBackground = brush;
    wc.lpszClassName = kClassName;
    if (RegisterClassA(&wc)) {
        if (s.ownBrush) DeleteObject(s.ownBrush);  // a class of ours that was unregistered
        s.ownBrush = brush;
    } else if (brush) {
        DeleteObject(brush);  // registered already in this process: that class is used
    }
}

HWND EnsureWindow(State& s) {
    if (s.window && IsWindow(s.window)) return s.window;
    s.window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, kWindowName, WS_POPUP, 0, 0,
                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                               Module(), nullptr);
    s.visible = false;
    s.timerRunning = false;
    return s.window;
}

// Gives the window its new shape and shows it on top without taking the focus.
void Present(State& s, HRGN region, bool startTimer) {
    if (s.visible) ShowWindow(s.window, SW_HIDE);
    StopHideTimer(s);
    if (!SetWindowRgn(s.window, region, TRUE)) DeleteObject(region);  // the window owns it only on success
    SetWindowPos(s.window, HWND_TOPMOST, 0, 0, 0, 0, kShowFlags);
    if (startTimer) StartHideTimer(s);
    s.visible = true;
}

Box ToBox(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }

int ShowText(const char* text, RECT* rect, UINT format, bool withIcon) {
    State& s = Osd();
    if (!s.enabled) return 0;
    if (!EnsureWindow(s)) return 0;
    // The shape is drawn in memory compatible with the screen, which the window shares. The
    // window's own DC would cost a fresh visible region of the current, possibly large, shape.
    vn::WindowDc dc(nullptr);
    if (!dc.get()) return 0;
    vn::GdiObject font(CreateFontIndirectA(&s.font));
    if (!font) return 0;
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    Box box;
    if (rect) {
        box = AdjustTextRect(ToBox(*rect), cx, cy);
        rect->right = box.right;
        rect->bottom = box.bottom;
    } else {
        RECT desktop{};
        GetClientRect(GetDesktopWindow(), &desktop);
        box = ToBox(desktop);
    }
    HRGN region = BuildTextRegion(dc.get(), static_cast<HFONT>(font.get()), text, box, format, withIcon, Module(),
                                  cx, cy);
    if (!region) return 0;
    Present(s, region, !s.keepShowing);
    return 1;
}

}  // namespace
}  // namespace osd

using namespace osd;

int VNOSDAPI OSD_Init(void) {
    State& s = Osd();
    RegisterWindowClass(s);
    EnsureWindow(s);
    OSD_LoadSettings();
    return 1;
}

int VNOSDAPI OSD_Destroy(void) {
    State& s = Osd();
    if (s.window && IsWindow(s.window)) SendMessageA(s.window, WM_CLOSE, 0, 0);
    // The class keeps its background brush as long as it exists: unregister it first, and delete
    // the brush only when that worked, so no window or class is ever left with a deleted brush.
    if (UnregisterClassA(kClassName, Module()) && s.ownBrush) {
        DeleteObject(s.ownBrush);
        s.ownBrush = nullptr;
    }
    ReleaseShapeCache();
    if (!s.settingsLoaded) return 0;
    s.settingsLoaded = false;  // a second destroy must not write back what may be stale by then
    return OSD_SaveSettings();
}

int VNOSDAPI OSD_SetColor(COLORREF color) {
    State& s = Osd();
    s.color = color;
    if (!s.window || !IsWindow(s.window)) return 0;
    HBRUSH fresh = CreateSolidBrush(color);
    if (!fresh) return 0;
    SetLastError(0);
    if (!SetClassLongPtrA(s.window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(fresh)) && GetLastError()) {
        DeleteObject(fresh);
        return 0;
    }
    // The class now holds the new brush; the previous one of ours is no longer in use.
    if (s.ownBrush) DeleteObject(s.ownBrush);
    s.ownBrush = fresh;
    return 1;
}

int VNOSDAPI OSD_SelectFont(HWND owner) {
    State& s = Osd();
    LOGFONTA chosen = s.font;
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_TTONLY;  // 0x40141
    cf.rgbColors = s.color;
    if (!ChooseFontA(&cf)) return 0;
    s.font = chosen;
    s.baseHeight = chosen.lfHeight;
    s.fontChosen = true;
    return OSD_SetColor(cf.rgbColors);
}

int VNOSDAPI OSD_ShowString(const char* text, RECT* rect, UINT format) { return ShowText(text, rect, format, false); }

int VNOSDAPI OSD_ShowMuteIcon(int flag) {
    char text[vn::kMaxText] = {};
    LoadStringA(Module(), flag ? kMuteTextOn : kMuteTextOff, text, sizeof text);
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40};
    return ShowText(text, &rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, true);
}

int VNOSDAPI OSD_ShowVolume(int level, int bars) {
    State& s = Osd();
    if (!s.enabled) return 1;  // switched off: nothing to show, and no error
    if (!EnsureWindow(s)) return 0;
    vn::WindowDc dc(nullptr);
    if (!dc.get()) return 0;
    HRGN region = BuildVolumeRegion(dc.get(), level, bars, Module(), GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN));
    if (!region) return 0;
    Present(s, region, true);
    return 1;
}

int VNOSDAPI OSD_KeepShowing(int flag) {
    State& s = Osd();
    s.keepShowing = flag != 0;
    if (s.keepShowing)
        StopHideTimer(s);
    else if (!s.timerRunning)
        StartHideTimer(s);
    return 1;
}
