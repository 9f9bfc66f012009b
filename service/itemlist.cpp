#include "service/itemlist.h"

namespace vnd {

bool IsWellFormedItemList(const unsigned char* bytes, std::size_t size) {
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::size_t cb = static_cast<std::size_t>(bytes[at]) | (static_cast<std::size_t>(bytes[at + 1]) << 8);
        if (cb == 0) return true;
        if (cb < 3 || cb > size - at) return false;  // an item holds its size and some data
        at += cb;
    }
    return false;
}

}  // namespace vnd
