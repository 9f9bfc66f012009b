#include "wizard/label_layout.h"

#include <cstring>

namespace tkcfg {

const LabelPoint kStripOutline[kStripPoints] = {{119, -19}, {119, -295}, {1840, -295}, {1840, -19}, {119, -19}};
const LabelPoint kMiddleLine[2] = {{119, -157}, {1840, -157}};

Rect LabelTextBox(int key) { return {160 + 250 * key, -60, 395 + 255 * key, -134}; }

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
