#include "osd/shapes.h"

#include <algorithm>
#include <cstring>

#include "common/handles.h"
#include "osd/runs.h"

namespace osd {
namespace {

// A one-bit DIB section with the colour table black, white: drawing goes through GDI as into
// any one-bit bitmap, and the bits are read in place.
struct MonoDib {
    vn::GdiObject bitmap;
    const std::uint8_t* bits = nullptr;
    int stride = 0;
    bool Create(HDC reference, int w, int h) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[2];
        } info{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = w;
        info.header.biHeight = -h;  // top-down: row 0 is the top row
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 2;
        info.colors[1].rgbRed = info.colors[1].rgbGreen = info.colors[1].rgbBlue = 255;
        void* raw = nullptr;
        bitmap.reset(CreateDIBSection(reference, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &raw,
                                      nullptr, 0));
        bits = static_cast<const std::uint8_t*>(raw);
        stride = ((w + 31) / 32) * 4;
        return bitmap && bits;
    }
};

// Measured under Wine: 4 to 16 rectangles per block are fastest; one block for everything is
// quadratic (each rectangle is merged into the whole region built so far).
constexpr std::size_t kRectsPerBlock = 8;

// The speaker symbols at their last scaled size, kept as regions at the origin: the volume display
// repeats every 100 ms while a key is held, always with the same symbol.
struct CachedSymbol {
    int id = 0;
    HMODULE module = nullptr;
    int bitmapWidth = -1, bitmapHeight = -1;  // the picture's own size
    int w = -1, h = -1;                        // the size the region was made for
    vn::GdiObject region;
};
CachedSymbol g_symbols[2];

CachedSymbol* Symbol(HMODULE module, int id) {
    CachedSymbol& c = g_symbols[id == kSpeakerBitmap ? 0 : 1];
    if (c.id != id || c.module != module || c.bitmapWidth < 0) {
        c = CachedSymbol{};
        vn::GdiObject bitmap(LoadBitmapA(module, MAKEINTRESOURCEA(id)));
        if (!BitmapSize(static_cast<HBITMAP>(bitmap.get()), &c.bitmapWidth, &c.bitmapHeight)) return nullptr;
        c.id = id;
        c.module = module;
    }
    return &c;
}

// The black pixels of bitmap id stretched to w x h, at the origin; null when the bitmap is missing.
HRGN SymbolRegion(HDC reference, int id, HMODULE module, int w, int h) {
    CachedSymbol* c = Symbol(module, id);
    if (!c) return nullptr;
    if (c->region && c->w == w && c->h == h) return static_cast<HRGN>(c->region.get());
    vn::GdiObject bitmap(LoadBitmapA(module, MAKEINTRESOURCEA(id)));
    std::vector<Box> boxes;
    c->region.reset();
    if (!AddBitmapPixels(reference, static_cast<HBITMAP>(bitmap.get()), 0, 0, w, h, boxes)) return nullptr;
    c->region.reset(MakeRegion(boxes));
    c->w = w;
    c->h = h;
    return static_cast<HRGN>(c->region.get());
}

// Adds the symbol at (x0, y0) to region.
bool AddSymbol(HRGN region, HDC reference, int id, HMODULE module, const Box& at) {
    HRGN symbol = SymbolRegion(reference, id, module, at.width(), at.height());
    if (!symbol) return false;
    OffsetRgn(symbol, at.left, at.top);
    const bool ok = CombineRgn(region, region, symbol, RGN_OR) != ERROR;
    OffsetRgn(symbol, -at.left, -at.top);
    return ok;
}

HRGN RegionFromBlock(const Box* boxes, std::size_t count) {
    std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.rcBound = RECT{boxes[0].left, boxes[0].top, boxes[0].right, boxes[0].bottom};
    std::vector<RECT> rects(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Box& b = boxes[i];
        rects[i] = RECT{b.left, b.top, b.right, b.bottom};
        header.rcBound.left = std::min(header.rcBound.left, static_cast<LONG>(b.left));
        header.rcBound.top = std::min(header.rcBound.top, static_cast<LONG>(b.top));
        header.rcBound.right = std::max(header.rcBound.right, static_cast<LONG>(b.right));
        header.rcBound.bottom = std::max(header.rcBound.bottom, static_cast<LONG>(b.bottom));
    }
    std::memcpy(data.data(), &header, sizeof header);
    std::memcpy(data.data() + sizeof header, rects.data(), count * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

HRGN MakeRegion(const std::vector<Box>& boxes) {
    if (boxes.empty()) return CreateRectRgn(0, 0, 0, 0);
    // Small blocks, then pairwise merging: adding rectangles one by one to a growing region costs
    // time in proportion to its size each time, merging halves keeps the whole near n log n.
    std::vector<vn::GdiObject> parts;
    for (std::size_t i = 0; i < boxes.size(); i += kRectsPerBlock) {
        std::size_t n = std::min(kRectsPerBlock, boxes.size() - i);
        parts.emplace_back(RegionFromBlock(&boxes[i], n));
        if (!parts.back()) return nullptr;
    }
    while (parts.size() > 1) {
        std::size_t half = 0;
        for (std::size_t i = 0; i < parts.size(); i += 2) {
            if (i + 1 < parts.size()) {
                HRGN a = static_cast<HRGN>(parts[i].get());
                if (CombineRgn(a, a, static_cast<HRGN>(parts[i + 1].get()), RGN_OR) == ERROR) return nullptr;
                parts[i + 1].reset();
            }
            parts[half++] = std::move(parts[i]);
        }
        parts.resize(half);
    }
    return static_cast<HRGN>(parts[0].release());
}

bool BitmapSize(HBITMAP bitmap, int* width, int* height) {
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return false;
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    return true;
}

bool AddBitmapPixels(HDC reference, HBITMAP bitmap, int x0, int y0, int w, int h, std::vector<Box>& out) {
    int bw = 0, bh = 0;
    if (!BitmapSize(bitmap, &bw, &bh)) return false;
    if (w <= 0 || h <= 0) return true;
    vn::MemDc source(CreateCompatibleDC(reference));
    vn::MemDc target(CreateCompatibleDC(reference));
    MonoDib dib;
    if (!source || !target || !dib.Create(reference, w, h)) return false;
    {
        vn::SelectIn inSource(source.get(), bitmap);
        vn::SelectIn inTarget(target.get(), dib.bitmap.get());
        StretchBlt(target.get(), 0, 0, w, h, source.get(), 0, 0, bw, bh, SRCCOPY);
        GdiFlush();
    }
    // The symbol is the black pixels.
    CollectRuns(BitPicture{dib.bits, dib.stride, w, h, false}, x0, y0, out);
    return true;
}

HRGN BuildTextRegion(HDC dc, HFONT font, const char* text, const Box& rect, unsigned format, bool withIcon,
                     HMODULE module, int cx, int cy) {
    if (!text) text = "";
    vn::MemDc mem(CreateCompatibleDC(dc));
    if (!mem) return nullptr;
    const int length = static_cast<int>(std::strlen(text));
    SIZE extent{};
    {
        vn::SelectIn withFont(mem.get(), font);
        GetTextExtentPoint32A(mem.get(), text, length, &extent);
    }

    std::vector<Box> boxes;
    int iconWidth = 0, iconHeight = 0;
    if (withIcon) {
        const CachedSymbol* symbol = Symbol(module, kMutedSpeakerBitmap);
        withIcon = symbol != nullptr;
        if (symbol) {
            iconWidth = symbol->bitmapWidth;
            iconHeight = symbol->bitmapHeight;
        }
    }
    const TextPlan plan = PlanText(rect, extent.cx, extent.cy, format, withIcon, iconWidth, iconHeight, cx, cy);

    if (!plan.scan.empty()) {
        // Draw just the scanned part of the right x bottom bitmap: the same drawing calls with the
        // origin moved, so every pixel there comes out as in the whole bitmap.
        MonoDib dib;
        if (!dib.Create(dc, plan.scan.width(), plan.scan.height())) return nullptr;
        vn::SelectIn inDib(mem.get(), dib.bitmap.get());
        vn::SelectIn withFont(mem.get(), font);
        PatBlt(mem.get(), 0, 0, plan.scan.width(), plan.scan.height(), BLACKNESS);
        SetViewportOrgEx(mem.get(), -plan.scan.left, -plan.scan.top, nullptr);
        SetBkColor(mem.get(), RGB(0, 0, 0));
        SetTextColor(mem.get(), RGB(255, 255, 255));
        RECT draw{plan.draw.left, plan.draw.top, plan.draw.right, plan.draw.bottom};
        // The text is the caller's: never let DrawText write into it.
        DrawTextA(mem.get(), text, length, &draw, plan.format & ~static_cast<unsigned>(DT_MODIFYSTRING));
        GdiFlush();
        CollectRuns(BitPicture{dib.bits, dib.stride, plan.scan.width(), plan.scan.height(), true}, plan.scan.left,
                    plan.scan.top, boxes);
    }
    vn::GdiObject region(MakeRegion(boxes));
    if (!region) return nullptr;
    if (withIcon && !plan.icon.empty() &&
        !AddSymbol(static_cast<HRGN>(region.get()), dc, kMutedSpeakerBitmap, module, plan.icon))
        return nullptr;
    return static_cast<HRGN>(region.release());
}

HRGN BuildVolumeRegion(HDC dc, int level, int bars, HMODULE module, int cx, int cy) {
    const CachedSymbol* symbol = Symbol(module, kSpeakerBitmap);
    if (!symbol) return nullptr;
    const VolumePlan plan = PlanVolume(level, bars, symbol->bitmapWidth, symbol->bitmapHeight, cx, cy);
    vn::GdiObject region(MakeRegion(plan.bars));
    if (!region) return nullptr;
    if (!plan.icon.empty() && !AddSymbol(static_cast<HRGN>(region.get()), dc, kSpeakerBitmap, module, plan.icon))
        return nullptr;
    return static_cast<HRGN>(region.release());
}

void ReleaseShapeCache() {
    for (CachedSymbol& c : g_symbols) c = CachedSymbol{};
}

}  // namespace osd
