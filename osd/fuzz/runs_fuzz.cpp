// The display's region builder over random one-bit pictures, compared pixel by pixel with the
// straightforward method (one rectangle per lit pixel).
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "osd/runs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int width = 1 + data[0] % 96, height = 1 + data[1] % 48;
    const bool litWhenSet = data[2] & 1, bottomUp = data[2] & 2;
    const int x0 = data[3] % 16 - 8;
    const int stride = (width + 31) / 32 * 4;  // rows padded to 32 bits, as in a device bitmap
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * height);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = size > 4 ? data[4 + i % (size - 4)] ^ (i / (size - 4)) : 0;

    osd::BitPicture picture;
    picture.bits = bottomUp ? bits.data() + static_cast<std::size_t>(stride) * (height - 1) : bits.data();
    picture.stride = bottomUp ? -stride : stride;
    picture.width = width;
    picture.height = height;
    picture.litWhenSet = litWhenSet;
    std::vector<osd::Box> boxes;
    osd::CollectRuns(picture, x0, 5, boxes);

    std::vector<int> cover(static_cast<std::size_t>(width) * height, 0);
    for (const osd::Box& b : boxes) {
        if (b.empty() || b.left < x0 || b.top < 5 || b.right > x0 + width || b.bottom > 5 + height) std::abort();
        for (int y = b.top - 5; y < b.bottom - 5; ++y)
            for (int x = b.left - x0; x < b.right - x0; ++x) ++cover[static_cast<std::size_t>(y) * width + x];
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride;
        for (int x = 0; x < width; ++x) {
            bool lit = ((row[x >> 3] & (0x80 >> (x & 7))) != 0) == litWhenSet;
            if (cover[static_cast<std::size_t>(y) * width + x] != (lit ? 1 : 0)) std::abort();
        }
    }
    return 0;
}
