// Bounded text helpers shared by every module. Plain C++: no windows.h.
#pragma once
#include <cstddef>
#include <cstring>

namespace vn {

// The fixed text size of paths, registry names and texts across the system.
constexpr std::size_t kMaxText = 260;

// Copies src into dst only when the whole text and its terminating zero fit in size bytes.
// Returns false (dst untouched) when it does not fit or an argument is null.
inline bool CopyText(char* dst, std::size_t size, const char* src) {
    if (!dst || !src) return false;
    std::size_t n = std::strlen(src);
    if (n + 1 > size) return false;
    std::memcpy(dst, src, n + 1);
    return true;
}

// Copies at most size-1 characters and always terminates (for internal buffers that keep a prefix).
inline void CopyTruncated(char* dst, std::size_t size, const char* src) {
    if (!dst || size == 0) return;
    std::size_t n = src ? std::strlen(src) : 0;
    if (n > size - 1) n = size - 1;
    if (n) std::memcpy(dst, src, n);
    dst[n] = '\0';
}

// Appends src to the zero-terminated text in dst when the result fits; false otherwise (dst untouched).
inline bool AppendText(char* dst, std::size_t size, const char* src) {
    if (!dst || !src) return false;
    std::size_t have = std::strlen(dst);
    std::size_t n = std::strlen(src);
    if (have + n + 1 > size) return false;
    std::memcpy(dst + have, src, n + 1);
    return true;
}

// Length of a text that may be null.
inline std::size_t TextLength(const char* s) { return s ? std::strlen(s) : 0; }

}  // namespace vn
