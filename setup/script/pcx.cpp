#include "setup/script/pcx.h"

namespace setupscript {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kTailPalette = 768;

unsigned Word(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

bool DecodePcx(const std::uint8_t* data, std::size_t size, PcxImage* out) {
    if (!data || size < kHeaderSize || data[0] != 10) return false;
    const int bpp = data[3];
    const int planes = data[65];
    if (planes != 1 || (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8)) return false;
    const int xmin = static_cast<int>(Word(data + 4)), ymin = static_cast<int>(Word(data + 6));
    const int xmax = static_cast<int>(Word(data + 8)), ymax = static_cast<int>(Word(data + 10));
    if (xmax < xmin || ymax < ymin) return false;
    const int width = xmax - xmin + 1, height = ymax - ymin + 1;
    if (width > kMaxPcxSide || height > kMaxPcxSide) return false;
    const std::size_t bytesPerLine = Word(data + 66);
    // A line holds the pixels, rounded up to an even count of bytes by every known writer.
    const std::size_t needed = (static_cast<std::size_t>(width) * bpp + 7) / 8;
    if (bytesPerLine < needed || bytesPerLine > needed + 16) return false;
    if (bpp == 8 && size < kHeaderSize + kTailPalette) return false;

    PcxImage img;
    img.width = width;
    img.height = height;
    img.bitsPerPixel = bpp == 2 ? 4 : bpp;
    img.pixelsPerMetreX = static_cast<int>(Word(data + 12)) * 39;
    img.pixelsPerMetreY = static_cast<int>(Word(data + 14)) * 39;

    // The run-length coded lines, one after the other; a run may go on into the next line.
    const std::size_t total = bytesPerLine * static_cast<std::size_t>(height);
    const std::size_t dataEnd = bpp == 8 ? size - kTailPalette : size;
    std::vector<std::uint8_t> lines(total, 0);
    std::size_t at = kHeaderSize, filled = 0;
    while (filled < total && at < dataEnd) {
        std::uint8_t b = data[at++];
        std::size_t count = 1;
        if (b >= 192) {
            count = b & 63;
            if (at >= dataEnd) break;
            b = data[at++];
        }
        for (; count > 0 && filled < total; --count) lines[filled++] = b;
    }

    const std::size_t stride = img.Stride();
    img.bits.assign(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = lines.data() + bytesPerLine * y;
        std::uint8_t* dst = img.bits.data() + stride * (height - 1 - y);
        if (bpp != 2) {
            for (std::size_t i = 0; i < needed; ++i) dst[i] = src[i];
        } else {
            for (int x = 0; x < width; ++x) {
                int v = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
                dst[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
            }
        }
    }

    // 16-colour and smaller pictures carry their colours in the header; 256-colour ones at the
    // end of the file.
    const std::uint8_t* colours = bpp == 8 ? data + size - kTailPalette : data + 16;
    img.palette.resize(std::size_t(1) << img.bitsPerPixel, PcxImage::Colour{0, 0, 0});
    for (int i = 0; i < (1 << bpp); ++i)
        img.palette[i] = PcxImage::Colour{colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]};
    *out = std::move(img);
    return true;
}

}  // namespace setupscript
