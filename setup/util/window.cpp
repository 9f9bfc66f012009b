#include <cstring>

#include "common/handles.h"
#include "setup/util/installer_util.h"

namespace instutil {

void PlaceBelowBand(HWND window, int band) {
    RECT work{}, rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rect);
    Box b = PlaceBelowBand(Box{work.left, work.top, work.right, work.bottom}, rect.right - rect.left,
                           rect.bottom - rect.top, band);
    SetWindowPos(window, nullptr, b.left, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SidePicture::Attach(HWND page, int placeholderId) {
    HWND holder = GetDlgItem(page, placeholderId);
    if (!holder) return;
    RECT r{}, client{};
    GetWindowRect(holder, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(page, &client);
    int height = r.bottom - r.top;
    if (height > 0) {
        int full = client.bottom - r.top;
        r.right = r.left + MulDiv(r.right - r.left, full, height);
        r.bottom = client.bottom;
    }
    frame_ = r;
    ShowWindow(holder, SW_HIDE);
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101));
}

void SidePicture::Paint(HDC dc) const {
    if (!bitmap_) return;
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    vn::MemDc mem(CreateCompatibleDC(dc));
    vn::SelectIn pick(mem.get(), bitmap_);
    int old = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, frame_.left, frame_.top, frame_.right - frame_.left, frame_.bottom - frame_.top, mem.get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
    SetStretchBltMode(dc, old);
}

SidePicture::~SidePicture() {
    if (bitmap_) DeleteObject(bitmap_);
}

HFONT CreateTitleFont(const char* userLocale) {
    LOGFONTA lf{};
    if (userLocale && std::strcmp(userLocale, "00000411") == 0) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            lf = metrics.lfCaptionFont;
            // The title is text of the system's code page, whatever the caption font says.
            lf.lfCharSet = DEFAULT_CHARSET;
            lf.lfHeight = 42;
            lf.lfItalic = TRUE;
            lf.lfWeight = 600;
            return CreateFontIndirectA(&lf);
        }
    }
    lf.lfHeight = 42;
    lf.lfWeight = 600;
    lf.lfItalic = TRUE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    return CreateFontIndirectA(&lf);
}

int DrawTitle(HDC dc, HFONT font, const char* title, int clientWidth) {
    vn::SelectIn pick(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    std::string text = title ? title : "";
    std::size_t first = TitleBreak(text, clientWidth - 15, [dc](const char* s, std::size_t n) {
        SIZE size{};
        GetTextExtentPoint32A(dc, s, static_cast<int>(n), &size);
        return static_cast<int>(size.cx);
    });
    int lines = first < text.size() ? 2 : 1;
    int old = SetBkMode(dc, TRANSPARENT);
    struct Pass {
        int x, y;
        COLORREF colour;
    };
    for (Pass p : {Pass{15, 10, RGB(0, 0, 0)}, Pass{10, 5, RGB(255, 255, 255)}}) {
        SetTextColor(dc, p.colour);
        TextOutA(dc, p.x, p.y, text.c_str(), static_cast<int>(first));
        if (lines == 2) {
            std::size_t second = first + 1;
            TextOutA(dc, p.x, p.y + tm.tmHeight, text.c_str() + second, static_cast<int>(text.size() - second));
        }
    }
    SetBkMode(dc, old);
    return tm.tmHeight * lines + 10;
}

}  // namespace instutil
