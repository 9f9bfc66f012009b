// PCX pictures (the background window's logo) decoded into a bottom-up device-independent
// bitmap with its palette. Plain C++.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace setupscript {

struct PcxImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;            // of the bitmap: 1, 4 or 8
    int pixelsPerMetreX = 0, pixelsPerMetreY = 0;
    std::vector<std::uint8_t> bits;  // bottom-up rows padded to 4 bytes
    struct Colour {
        std::uint8_t red, green, blue;
    };
    std::vector<Colour> palette;     // 2 to the power of the bit depth entries
    std::size_t Stride() const { return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4; }
};

// The largest side accepted, which keeps a damaged header from asking for a huge bitmap.
constexpr int kMaxPcxSide = 4096;

// Decodes the single-plane form with 1, 2, 4 or 8 bits per pixel (2-bit pictures become 4-bit
// bitmaps). False for any other form or a damaged file; image data that ends early leaves the
// rest of the picture in colour 0, and runs past the end of the picture are cut.
bool DecodePcx(const std::uint8_t* data, std::size_t size, PcxImage* out);

}  // namespace setupscript
