#include "osd/tests/reference.h"

#include <cstring>
#include <vector>

#include "common/handles.h"
#include "osd/shapes.h"

namespace osdref {
namespace {

struct MonoInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

// The bitmap's rows, bottom-up, one bit per pixel, rows padded to 32 bits.
std::vector<unsigned char> ReadBits(HDC dc, HBITMAP bitmap, int w, int h, MonoInfo* info) {
    *info = MonoInfo{};
    info->header.biSize = sizeof info->header;
    info->header.biWidth = w;
    info->header.biHeight = h;
    info->header.biPlanes = 1;
    info->header.biBitCount = 1;
    info->header.biCompression = BI_RGB;
    info->header.biClrUsed = 2;
    std::vector<unsigned char> bits(static_cast<size_t>((w + 31) / 32) * 4 * h);
    GetDIBits(dc, bitmap, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
    return bits;
}

void AddPixel(HRGN region, HRGN pixel, int x, int y) {
    SetRectRgn(pixel, x, y, x + 1, y + 1);
    CombineRgn(region, region, pixel, RGN_OR);
}

void AddBitmapPixels(HDC dc, HRGN region, HBITMAP bitmap, int x0, int y0, int w, int h) {
    int bw = 0, bh = 0;
    if (!osd::BitmapSize(bitmap, &bw, &bh) || w <= 0 || h <= 0) return;
    vn::MemDc source(CreateCompatibleDC(dc)), target(CreateCompatibleDC(dc));
    vn::GdiObject stretched(CreateBitmap(w, h, 1, 1, nullptr));
    {
        vn::SelectIn a(source.get(), bitmap), b(target.get(), stretched.get());
        StretchBlt(target.get(), 0, 0, w, h, source.get(), 0, 0, bw, bh, SRCCOPY);
    }
    MonoInfo info;
    std::vector<unsigned char> bits = ReadBits(dc, static_cast<HBITMAP>(stretched.get()), w, h, &info);
    const int stride = (w + 31) / 32 * 4;
    const bool zeroIsBlack = info.colors[0].rgbRed == 0;
    vn::GdiObject pixel(CreateRectRgn(0, 0, 1, 1));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            bool set = (bits[static_cast<size_t>(h - 1 - j) * stride + i / 8] & (0x80 >> (i % 8))) != 0;
            if (set != zeroIsBlack) AddPixel(region, static_cast<HRGN>(pixel.get()), x0 + i, y0 + j);
        }
}

}  // namespace

HRGN BitmapRegion(HDC dc, int bitmapId, HMODULE module, int x0, int y0, int w, int h) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    vn::GdiObject bitmap(LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)));
    AddBitmapPixels(dc, region, static_cast<HBITMAP>(bitmap.get()), x0, y0, w, h);
    return region;
}

HRGN TextRegion(HDC dc, HFONT font, const char* text, const osd::Box& rect, unsigned format, bool withIcon,
                HMODULE module, int cx, int cy) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    vn::MemDc mem(CreateCompatibleDC(dc));
    vn::SelectIn withFont(mem.get(), font);
    const int length = static_cast<int>(std::strlen(text));
    SIZE extent{};
    GetTextExtentPoint32A(mem.get(), text, length, &extent);
    vn::GdiObject speaker;
    int iw = 0, ih = 0;
    if (withIcon) {
        speaker.reset(LoadBitmapA(module, MAKEINTRESOURCEA(osd::kMutedSpeakerBitmap)));
        osd::BitmapSize(static_cast<HBITMAP>(speaker.get()), &iw, &ih);
    }
    const osd::TextPlan plan = osd::PlanText(rect, extent.cx, extent.cy, format, withIcon, iw, ih, cx, cy);
    if (withIcon)
        AddBitmapPixels(dc, region, static_cast<HBITMAP>(speaker.get()), plan.icon.left, plan.icon.top,
                        plan.icon.width(), plan.icon.height());

    const int right = rect.right, bottom = rect.bottom;
    if (right <= 0 || bottom <= 0) return region;
    vn::GdiObject canvas(CreateBitmap(right, bottom, 1, 1, nullptr));
    {
        vn::SelectIn onCanvas(mem.get(), canvas.get());
        SetBkColor(mem.get(), RGB(0, 0, 0));
        SetTextColor(mem.get(), RGB(255, 255, 255));
        PatBlt(mem.get(), 0, 0, right, bottom, BLACKNESS);
        RECT draw{plan.draw.left, plan.draw.top, plan.draw.right, plan.draw.bottom};
        DrawTextA(mem.get(), text, length, &draw, plan.format);
    }
    MonoInfo info;
    std::vector<unsigned char> bits = ReadBits(dc, static_cast<HBITMAP>(canvas.get()), right, bottom, &info);
    const int stride = (right + 31) / 32 * 4;
    vn::GdiObject pixel(CreateRectRgn(0, 0, 1, 1));
    for (int y = plan.scan.bottom - 1; y >= plan.scan.top; --y)
        for (int x = plan.scan.left; x < plan.scan.right; ++x)
            if (bits[static_cast<size_t>(bottom - y - 1) * stride + x / 8] & (0x80 >> (x % 8)))
                AddPixel(region, static_cast<HRGN>(pixel.get()), x, y);
    return region;
}

HRGN VolumeRegion(HDC dc, int level, int bars, HMODULE module, int cx, int cy) {
    vn::GdiObject speaker(LoadBitmapA(module, MAKEINTRESOURCEA(osd::kSpeakerBitmap)));
    int iw = 0, ih = 0;
    osd::BitmapSize(static_cast<HBITMAP>(speaker.get()), &iw, &ih);
    const osd::VolumePlan plan = osd::PlanVolume(level, bars, iw, ih, cx, cy);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    AddBitmapPixels(dc, region, static_cast<HBITMAP>(speaker.get()), plan.icon.left, plan.icon.top,
                    plan.icon.width(), plan.icon.height());
    for (const osd::Box& bar : plan.bars) {
        vn::GdiObject part(CreateRectRgn(bar.left, bar.top, bar.right, bar.bottom));
        CombineRgn(region, region, static_cast<HRGN>(part.get()), RGN_OR);
    }
    return region;
}

}  // namespace osdref
