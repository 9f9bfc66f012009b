#include "setup/logo.h"

#include <cstring>

#include "common/handles.h"
#include "setup/script/pcx.h"

namespace setup {

namespace {
constexpr DWORD kMaxLogoFile = 8u * 1024 * 1024;
}

Logo::~Logo() { Clear(); }

void Logo::Clear() {
    if (bitmap_) DeleteObject(bitmap_);
    if (palette_) DeleteObject(palette_);
    bitmap_ = nullptr;
    palette_ = nullptr;
    width_ = height_ = 0;
}

bool Logo::Load(const char* path) {
    Clear();
    vn::FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxLogoFile) return false;
    std::vector<std::uint8_t> bytes(size);
    DWORD read = 0;
    if (size && (!ReadFile(file.get(), bytes.data(), size, &read, nullptr) || read != size)) return false;
    return LoadBytes(bytes);
}

bool Logo::LoadBytes(const std::vector<std::uint8_t>& bytes) {
    Clear();
    setupscript::PcxImage img;
    if (!setupscript::DecodePcx(bytes.data(), bytes.size(), &img)) return false;

    const std::size_t colours = img.palette.size();
    std::vector<std::uint8_t> header(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = img.width;
    info->bmiHeader.biHeight = img.height;  // bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(img.bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biXPelsPerMeter = img.pixelsPerMetreX;
    info->bmiHeader.biYPelsPerMeter = img.pixelsPerMetreY;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(colours);
    std::vector<std::uint8_t> logPalette(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
    auto* pal = reinterpret_cast<LOGPALETTE*>(logPalette.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(colours);
    for (std::size_t i = 0; i < colours; ++i) {
        const auto& c = img.palette[i];
        info->bmiColors[i] = RGBQUAD{c.blue, c.green, c.red, 0};
        pal->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        Clear();
        return false;
    }
    std::memcpy(bits, img.bits.data(), img.bits.size());
    palette_ = CreatePalette(pal);
    width_ = img.width;
    height_ = img.height;
    return true;
}

void Logo::Draw(HDC dc, int x, int y) const {
    if (!bitmap_) return;
    HPALETTE old = palette_ ? SelectPalette(dc, palette_, FALSE) : nullptr;
    if (palette_) RealizePalette(dc);
    vn::MemDc mem(CreateCompatibleDC(dc));
    vn::SelectIn pick(mem.get(), bitmap_);
    BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCCOPY);
    if (old) SelectPalette(dc, old, FALSE);
}

}  // namespace setup
