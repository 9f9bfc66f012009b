// The straightforward way to build the display shapes: draw into a bitmap as large as the text
// rectangle and add one 1 x 1 rectangle per lit pixel. Slow, but plainly right; the tests and the
// benchmark compare the library's shapes with these.
#pragma once
#include <windows.h>

#include "osd/layout.h"

namespace osdref {

HRGN TextRegion(HDC dc, HFONT font, const char* text, const osd::Box& rect, unsigned format, bool withIcon,
                HMODULE module, int cx, int cy);
HRGN VolumeRegion(HDC dc, int level, int bars, HMODULE module, int cx, int cy);
// The black pixels of a bitmap resource stretched to w x h at (x0, y0), pixel by pixel.
HRGN BitmapRegion(HDC dc, int bitmapId, HMODULE module, int x0, int y0, int w, int h);

}  // namespace osdref
