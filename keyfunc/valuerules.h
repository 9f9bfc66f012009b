// How stored registry data turns into numbers and switches. Plain C++: no windows.h.
#pragma once
#include <cstddef>

namespace vn {

// Registry value types (the values of REG_SZ and its kin).
enum : unsigned long { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };

// Number and Bool values longer than this are refused.
constexpr std::size_t kMaxNumberData = 260;

// REG_SZ parsed as text, REG_DWORD, REG_BINARY of exactly 4 bytes. False for anything else.
bool DecodeNumber(unsigned long type, const unsigned char* data, std::size_t size, int* out);

// REG_SZ "TRUE"/"FALSE" (any case) or a number; REG_DWORD or REG_BINARY: the first 4 bytes,
// zero-padded. False for other types and for data over kMaxNumberData bytes.
bool DecodeBool(unsigned long type, const unsigned char* data, std::size_t size, int* out);

}  // namespace vn
