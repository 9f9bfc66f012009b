#include "wizard/label_layout.h"

#include <cstring>

namespace tkcfg {

const LabelPoint kStripOutline[kStripPoints] = {{119, -19}, {119, -295}, {1840, -295}, {1840, -19}, {119, -19}};
const LabelPoint kMiddleLine[2] = {{119, -157}, {1840, -157}};

static int BoxLeft(int key) { return 160 + 250 * key; }

Rect LabelTextBox(int key) {
    // The boxes widen from key to key; a box stops where the next one starts, and the last keeps
    // the margin the first keeps from the strip's edge, so no text runs past the cutting line.
    int right = 395 + 255 * key;
    int limit = key + 1 < kKeyCount ? BoxLeft(key + 1) : kStripOutline[2].x - (BoxLeft(0) - kStripOutline[0].x);
    return {BoxLeft(key), -60, right < limit ? right : limit, -134};
}

LabelSize InstructionSize(int printableWidthMm, int printableHeightMm, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return {0, 0};
    // Whole-number arithmetic: the side that fills the page comes out exact, not a unit short.
    long long hs = printableWidthMm * 10LL, vs = printableHeightMm * 10LL, w = pictureWidth, h = pictureHeight;
    if (h * hs < w * vs) return {static_cast<int>(hs), static_cast<int>(h * hs / w)};
    return {static_cast<int>(w * vs / h), static_cast<int>(vs)};
}

LabelColours SchemeColours(int scheme) {
    const unsigned long white = 0xFFFFFF, black = 0;
    if (scheme == 0) return {white, black, black, white, white};
    return {black, white, white, black, black};
}

static const char* Terminated(const char* field) { return std::memchr(field, '\0', kField) ? field : ""; }

const char* KeyLabelText(const KeySlot& slot) {
    const char* applied = Terminated(slot.label);
    return applied[0] ? applied : Terminated(slot.storedLabel);
}

}  // namespace tkcfg
