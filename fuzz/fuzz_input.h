// Helpers for the fuzz targets: fuzzer bytes as the zero-terminated texts and fixed buffers the
// product's parsers receive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vnfuzz {

// The bytes as a zero-terminated text in a heap block of exactly that size, so the address
// sanitizer sees any read past the terminator. Embedded zeros end the text early, as in the product.
inline std::vector<char> Text(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    text.shrink_to_fit();
    return text;
}

// A caller's 260-character buffer: exactly 260 bytes on the heap, so a write past it is reported.
struct Buffer260 {
    std::vector<char> bytes = std::vector<char>(260, '\x7f');
    char* data() { return bytes.data(); }
    std::size_t Length() const { return strnlen(bytes.data(), bytes.size()); }
    bool Terminated() const { return Length() < bytes.size(); }
};

}  // namespace vnfuzz
