// The key label as laid out on paper: every figure in 0.1 mm with the origin at the top-left
// corner of the printable area and y growing upward. No windows.h here.
#pragma once
#include "wizard/model.h"

namespace tkcfg {

// Cell height of the label font: 3.5 mm.
constexpr int kLabelFontHeight = 35;

struct LabelPoint {
    int x, y;
};

// The strip the seven labels are cut from, closed on its first corner.
constexpr int kStripPoints = 5;
extern const LabelPoint kStripOutline[kStripPoints];
// The fold line across the middle of the strip.
extern const LabelPoint kMiddleLine[2];
// Where the instruction picture's top-left corner goes; it is drawn downward from there.
constexpr LabelPoint kPictureOrigin = {0, -50};

// The text box of key 0 to 6 in the upper half of the strip (top above bottom), inside the strip
// and clear of its neighbours.
Rect LabelTextBox(int key);

// The instruction picture scaled to the printable area (in mm) keeping its proportions: it fills
// the width on a page narrower in proportion than the picture, else the height.
struct LabelSize {
    int width, height;
};
LabelSize InstructionSize(int printableWidthMm, int printableHeightMm, int pictureWidth, int pictureHeight);

// Colours (0x00BBGGRR) of scheme 0, white letters on black, and scheme 1, black on white.
struct LabelColours {
    unsigned long text, fill, textBackground, outline, middleLine;
};
LabelColours SchemeColours(int scheme);

// What key k prints: the label applied during this run, else the stored one. A label without
// its terminating zero inside the slot's field is not text and prints nothing.
const char* KeyLabelText(const KeySlot& slot);

}  // namespace tkcfg
