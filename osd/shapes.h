// The window shapes of the three displays, built from the lit pixels of the drawn text and the
// speaker symbols. Only the pixels that can reach the shape are drawn (a text-sized bitmap rather
// than a screen-sized one), and the pixels go into the region as row runs, so a shape costs
// about a millisecond even for a long bold label on a large screen.
#pragma once
#include <windows.h>

#include <vector>

#include "osd/layout.h"

namespace osd {

constexpr int kSpeakerBitmap = 101;       // speaker with sound waves
constexpr int kMutedSpeakerBitmap = 102;  // the same speaker crossed out

// A region holding exactly the given boxes (an empty region for none); null when GDI fails.
HRGN MakeRegion(const std::vector<Box>& boxes);

// Appends the black pixels of the bitmap, stretched to w x h and placed at (x0, y0).
bool AddBitmapPixels(HDC reference, HBITMAP bitmap, int x0, int y0, int w, int h, std::vector<Box>& out);

// The size of a bitmap resource of the module, or false when it is missing.
bool BitmapSize(HBITMAP bitmap, int* width, int* height);

// The shape of a text display. rect is the caller's rectangle already adjusted to the screen
// (AdjustTextRect). dc is the window's device context; the text is measured and drawn with font.
HRGN BuildTextRegion(HDC dc, HFONT font, const char* text, const Box& rect, unsigned format, bool withIcon,
                     HMODULE module, int cx, int cy);

// The shape of the volume display.
HRGN BuildVolumeRegion(HDC dc, int level, int bars, HMODULE module, int cx, int cy);

// Frees the speaker symbols kept from the last displays.
void ReleaseShapeCache();

}  // namespace osd
