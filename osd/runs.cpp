#include "osd/runs.h"

#include <cstddef>

namespace osd {
namespace {

bool Lit(const std::uint8_t* row, int x, bool litWhenSet) {
    bool set = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
    return set == litWhenSet;
}

// The runs of one row as [begin, end) column pairs.
void RowRuns(const std::uint8_t* row, int width, bool litWhenSet, std::vector<int>& runs) {
    runs.clear();
    int x = 0;
    while (x < width) {
        // Skip whole unlit bytes quickly: most of a text bitmap is background.
        if ((x & 7) == 0 && x + 8 <= width && row[x >> 3] == (litWhenSet ? 0x00 : 0xFF)) {
            x += 8;
            continue;
        }
        if (!Lit(row, x, litWhenSet)) {
            ++x;
            continue;
        }
        int begin = x;
        while (x < width && Lit(row, x, litWhenSet)) ++x;
        runs.push_back(begin);
        runs.push_back(x);
    }
}

}  // namespace

void CollectRuns(const BitPicture& picture, int x0, int y0, std::vector<Box>& out) {
    if (!picture.bits || picture.width <= 0 || picture.height <= 0) return;
    std::vector<int> open, current;  // the runs of the band being grown, and of this row
    int bandTop = 0;
    auto flush = [&](int bandBottom) {
        for (std::size_t i = 0; i < open.size(); i += 2)
            out.push_back(Box{x0 + open[i], y0 + bandTop, x0 + open[i + 1], y0 + bandBottom});
    };
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride;
        RowRuns(row, picture.width, picture.litWhenSet, current);
        if (current != open) {
            flush(y);
            open.swap(current);
            bandTop = y;
        }
    }
    flush(picture.height);
}

}  // namespace osd
