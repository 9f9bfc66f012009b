// The background window's logo: a PCX file loaded into a bitmap and a palette.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace setup {

class Logo {
public:
    Logo() = default;
    ~Logo();
    Logo(const Logo&) = delete;
    Logo& operator=(const Logo&) = delete;

    // False (and no logo) when the file is missing, not a supported PCX picture or damaged.
    bool Load(const char* path);
    bool LoadBytes(const std::vector<std::uint8_t>& bytes);
    void Draw(HDC dc, int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void Clear();
    HBITMAP bitmap_ = nullptr;
    HPALETTE palette_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace setup
