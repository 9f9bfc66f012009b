#include "osd/layout.h"

#include <algorithm>
#include <cctype>

namespace osd {

int ScaledFontHeight(int baseHeight, int screenHeight, bool userChanged) {
    if (userChanged) return baseHeight;
    // 64-bit intermediate: a silly stored height must not overflow; C++ division rounds toward zero.
    return static_cast<int>(static_cast<long long>(baseHeight) * screenHeight / 768);
}

bool IsJapaneseLocale(const char* localeText) {
    static const char kJapanese[] = "00000411";
    if (!localeText) return false;
    for (int i = 0; i < 9; ++i) {
        unsigned char a = static_cast<unsigned char>(localeText[i]);
        if (std::tolower(a) != kJapanese[i]) return false;
    }
    return true;
}

Box AdjustTextRect(Box r, int cx, int cy) {
    r.right = cx - (cx - r.right) * cx / 1024;
    r.bottom = cy - (cy - r.bottom) * cy / 768 - 20;
    return r;
}

TextPlan PlanText(const Box& rect, int textWidth, int textHeight, unsigned format, bool withIcon, int iconWidth,
                  int iconHeight, int cx, int cy) {
    TextPlan p;
    const int right = rect.right;
    const int bottom = rect.bottom;
    if (withIcon) {
        int iw = cx * iconWidth / 1024;
        int ih = iconHeight * cy / 768;
        p.icon.left = right - iw;
        p.icon.top = bottom - textHeight + (textHeight - ih) / 2;
        p.icon.right = p.icon.left + iw;
        p.icon.bottom = p.icon.top + ih;
        p.reserved = iw + cx * 12 / 1024;
    }
    p.margin = cx * 40 / 1024;
    p.textWidth = textWidth;
    p.format = format;
    if (textWidth > right - p.margin) {
        p.textWidth = right - p.margin;
        p.format = kFormatCut;
        p.cut = true;
    }
    p.draw = Box{p.margin, 0, right - p.reserved, bottom};
    // The text's own rows and columns, kept inside the right x bottom bitmap the text is drawn in:
    // a text wider than the room beside the icon would otherwise reach left of the bitmap.
    p.scan.left = std::max(0, right - p.textWidth - p.reserved);
    p.scan.right = std::max(0, right);
    p.scan.top = std::max(0, bottom - textHeight);
    p.scan.bottom = std::max(0, bottom);
    if (p.scan.empty()) p.scan = Box{};
    return p;
}

VolumePlan PlanVolume(int level, int bars, int iconWidth, int iconHeight, int cx, int cy) {
    VolumePlan p;
    if (bars == 0) bars = kDefaultBars;
    const int a = cx * 60 / 1024;
    const int g = (cx * 12 / 1024) / 2;
    const int bh = (cy * 60 / 768) * 2 / 3;
    const int x0 = cx * 300 / 1024 + cx * 40 / 1024;
    const int bm = cy * 50 / 768 + 20;
    const int iw = iconWidth * cx / 1024;
    const int ih = iconHeight * cy / 768;
    const int iy = cy - bm - bh + (bh - iconHeight) / 2;
    p.icon = Box{x0, iy, x0 + iw, iy + ih};

    const int x = x0 + iw + 2 * g;
    const int top = iy - (bh - ih) / 2;
    const int pitch = bars > 0 ? ((cx - 2 * g - iw - a - x0) / bars) / 2 : 0;
    const int step = bars > 0 ? 65535 / bars : 0;
    if (bars > 0) p.bars.reserve(static_cast<size_t>(bars));
    for (int k = 0; k < bars; ++k) {
        int left = x + k * pitch;
        // 64-bit product: with many bars k * step stays below 65536, but keep it exact regardless.
        if (static_cast<long long>(k) * step < level) {
            p.bars.push_back(Box{left, top, left + g, top + bh});
            ++p.fullBars;
        } else {
            p.bars.push_back(Box{left, top + bh - g, left + g, top + bh});
        }
    }
    return p;
}

}  // namespace osd
