// Turns the lit pixels of a one-bit picture into rectangles: the runs of each row, with rows of
// identical runs merged into one taller rectangle. Pure C++, no windows.h.
#pragma once
#include <cstdint>
#include <vector>

#include "osd/layout.h"

namespace osd {

struct BitPicture {
    const std::uint8_t* bits = nullptr;  // first byte of the top row
    int stride = 0;                      // bytes from one row to the next (may be negative)
    int width = 0, height = 0;
    bool litWhenSet = true;              // a set bit is lit (else a clear bit is lit)
};

// Appends the lit pixels of the picture as rectangles, placed with the picture's top-left
// pixel at (x0, y0). The union of the rectangles is exactly the set of lit pixels; they come in
// bands from top to bottom, each band sorted by x.
void CollectRuns(const BitPicture& picture, int x0, int y0, std::vector<Box>& out);

}  // namespace osd
