// Writes PCX files for the tests: the header, the lines run-length coded, the palette.
#pragma once
#include <cstdint>
#include <vector>

namespace setuptest {

inline std::vector<std::uint8_t> PcxFile(int bpp, int w, int h, const std::vector<std::uint8_t>& lines,
                                         int bytesPerLine, const std::vector<std::uint8_t>& palette) {
    std::vector<std::uint8_t> f(128, 0);
    f[0] = 10;
    f[1] = 5;
    f[2] = 1;
    f[3] = static_cast<std::uint8_t>(bpp);
    f[8] = static_cast<std::uint8_t>(w - 1);
    f[9] = static_cast<std::uint8_t>((w - 1) >> 8);
    f[10] = static_cast<std::uint8_t>(h - 1);
    f[11] = static_cast<std::uint8_t>((h - 1) >> 8);
    f[12] = 72;
    f[14] = 72;
    f[65] = 1;
    f[66] = static_cast<std::uint8_t>(bytesPerLine);
    f[67] = static_cast<std::uint8_t>(bytesPerLine >> 8);
    if (bpp <= 4)
        for (std::size_t i = 0; i < palette.size() && i < 48; ++i) f[16 + i] = palette[i];
    for (std::size_t i = 0; i < lines.size();) {
        std::size_t run = 1;
        while (i + run < lines.size() && lines[i + run] == lines[i] && run < 63) ++run;
        if (run > 1 || lines[i] >= 192) f.push_back(static_cast<std::uint8_t>(0xC0 | run));
        f.push_back(lines[i]);
        i += run;
    }
    if (bpp == 8) {
        f.push_back(12);
        std::vector<std::uint8_t> p(768, 0);
        for (std::size_t i = 0; i < palette.size() && i < 768; ++i) p[i] = palette[i];
        f.insert(f.end(), p.begin(), p.end());
    }
    return f;
}

}  // namespace setuptest
