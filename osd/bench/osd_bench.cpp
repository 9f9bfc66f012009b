// How long the display takes to build its shapes and to appear, against the straightforward way
// (a bitmap as large as the text rectangle, one 1 x 1 rectangle per lit pixel). Prints a table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/handles.h"
#include "keyfunc/vnutil.h"
#include "osd/layout.h"
#include "osd/shapes.h"
#include "osd/state.h"
#include "osd/tests/reference.h"
#include "osd/vnosd.h"

namespace {

const char kShortLabel[] = "Calculator";
const char kLongLabel[] = "Launch Internet Explorer with all of my favourite pages and the mail program";
const unsigned kFormat = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Median milliseconds of runs of a step that returns a region (deleted after each run).
double Median(int runs, const std::function<HRGN()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        HRGN region = step();
        times.push_back(Now() - start);
        DeleteObject(region);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    double worstFastAt1080 = 0, worstRatioAt1080 = 1e9;
    bool allEqual = true;
};

void RegionRow(Figures& f, const char* name, int cx, int cy, const std::function<HRGN()>& fast,
               const std::function<HRGN()>& slow) {
    vn::GdiObject a(fast()), b(slow());
    bool equal = EqualRgn(static_cast<HRGN>(a.get()), static_cast<HRGN>(b.get())) != 0;
    DWORD rects = GetRegionData(static_cast<HRGN>(a.get()), 0, nullptr);
    rects = rects > sizeof(RGNDATAHEADER) ? static_cast<DWORD>((rects - sizeof(RGNDATAHEADER)) / sizeof(RECT)) : 0;
    double tFast = Median(41, fast);
    double tSlow = Median(3, slow);
    std::printf("%-12s %4dx%-4d %7lu %12.3f %12.3f %8.1fx  %s\n", name, cx, cy, static_cast<unsigned long>(rects),
                tSlow, tFast, tSlow / tFast, equal ? "equal" : "DIFFERENT");
    f.allEqual = f.allEqual && equal;
    if (cy == 1080) {
        f.worstFastAt1080 = std::max(f.worstFastAt1080, tFast);
        f.worstRatioAt1080 = std::min(f.worstRatioAt1080, tSlow / tFast);
    }
}

// Milliseconds from the call until the window is shown with its new shape (median and worst),
// and until it is also painted in the display colour (the paint otherwise follows in the message loop).
void ShowRow(const char* name, int runs, const std::function<void()>& show, double* median) {
    HWND window = FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND");
    std::vector<double> shown, painted;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        show();
        shown.push_back(Now() - start);
        UpdateWindow(window);
        painted.push_back(Now() - start);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    std::sort(shown.begin(), shown.end());
    std::sort(painted.begin(), painted.end());
    *median = shown[shown.size() / 2];
    std::printf("%-34s %10.3f %10.3f %10.3f\n", name, *median, shown.back(), painted[painted.size() / 2]);
}

}  // namespace

int main() {
    Reg_InitProfile("Software\\VnBench\\Productivity", "bench");
    OSD_Init();
    HMODULE module = GetModuleHandleA(nullptr);
    char muteText[260] = {};
    LoadStringA(module, 1, muteText, sizeof muteText);
    vn::WindowDc screen(nullptr);
    Figures f;

    std::printf("Region of each display: straightforward method against the library's (milliseconds, medians)\n");
    std::printf("%-12s %-9s %7s %12s %12s %9s  %s\n", "display", "screen", "rects", "per pixel", "row runs",
                "speed-up", "EqualRgn");
    const struct {
        int cx, cy;
    } screens[] = {{1024, 768}, {1920, 1080}};
    for (const auto& sc : screens) {
        const int cx = sc.cx, cy = sc.cy;
        const osd::Box rect = osd::AdjustTextRect(osd::Box{0, 0, cx - 40, cy - 40}, cx, cy);
        LOGFONTA lf = osd::DefaultFont();
        lf.lfHeight = osd::ScaledFontHeight(osd::kDefaultHeight, cy, false);
        vn::GdiObject regular(CreateFontIndirectA(&lf));
        lf.lfWeight = FW_BOLD;
        vn::GdiObject bold(CreateFontIndirectA(&lf));
        HDC dc = screen.get();
        auto text = [&](HGDIOBJ font, const char* label, bool icon, bool fast) {
            return [=]() {
                HFONT hf = static_cast<HFONT>(font);
                return fast ? osd::BuildTextRegion(dc, hf, label, rect, kFormat, icon, module, cx, cy)
                            : osdref::TextRegion(dc, hf, label, rect, kFormat, icon, module, cx, cy);
            };
        };
        RegionRow(f, "short label", cx, cy, text(regular.get(), kShortLabel, false, true),
                  text(regular.get(), kShortLabel, false, false));
        RegionRow(f, "long bold", cx, cy, text(bold.get(), kLongLabel, false, true),
                  text(bold.get(), kLongLabel, false, false));
        RegionRow(f, "volume", cx, cy, [=] { return osd::BuildVolumeRegion(dc, 40000, 24, module, cx, cy); },
                  [=] { return osdref::VolumeRegion(dc, 40000, 24, module, cx, cy); });
        RegionRow(f, "mute", cx, cy, text(regular.get(), muteText, true, true),
                  text(regular.get(), muteText, true, false));
    }

    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    std::printf("\nTime until the window is shown, real screen %dx%d (milliseconds over 40 shows)\n", cx, cy);
    std::printf("%-34s %10s %10s %10s\n", "display", "median", "worst", "painted");
    osd::State& s = osd::Osd();
    double shortShow = 0, longShow = 0, volumeShow = 0, muteShow = 0;
    auto show = [&](const char* label) {
        RECT r{0, 0, cx - 40, cy - 40};
        OSD_ShowString(label, &r, kFormat);
    };
    ShowRow("short label", 40, [&] { show(kShortLabel); }, &shortShow);
    s.font.lfWeight = FW_BOLD;
    ShowRow("long bold label", 40, [&] { show(kLongLabel); }, &longShow);
    s.font.lfWeight = FW_NORMAL;
    ShowRow("volume (repeats every 100 ms)", 40, [] { OSD_ShowVolume(40000, 24); }, &volumeShow);
    ShowRow("mute", 40, [] { OSD_ShowMuteIcon(1); }, &muteShow);
    OSD_Destroy();

    const bool regionFast = f.worstRatioAt1080 >= 20 && f.worstFastAt1080 < 1.0;
    std::printf("\nGoals at 1920x1080:\n");
    std::printf("  regions equal to the per-pixel method ........ %s\n", f.allEqual ? "yes" : "NO");
    std::printf("  region >= 20x faster (worst %.1fx) and < 1 ms (worst %.3f ms) ... %s\n", f.worstRatioAt1080,
                f.worstFastAt1080, regionFast ? "met" : "NOT MET");
    if (cy == 1080) {
        std::printf("  long label shown < 16.7 ms (%.3f) ... %s\n", longShow, longShow < 16.7 ? "met" : "NOT MET");
        std::printf("  short label shown < 5 ms (%.3f) ...... %s\n", shortShow, shortShow < 5.0 ? "met" : "NOT MET");
    } else {
        std::printf("  show times measured on a %dx%d screen, not 1920x1080\n", cx, cy);
    }
    return f.allEqual ? 0 : 1;
}

