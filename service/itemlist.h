// Shell item id lists as stored in a kind-6 button record.
#pragma once
#include <cstddef>

namespace vnd {

constexpr int kMaxItemListBytes = 65536;

// True when the bytes hold a chain of items ending in the two-byte zero terminator within them.
bool IsWellFormedItemList(const unsigned char* bytes, std::size_t size);

}  // namespace vnd
