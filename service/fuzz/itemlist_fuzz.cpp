// The shell item id list of a kind-6 button record: stored bytes, checked before the shell sees them.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "service/itemlist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned char> bytes(data, data + size);  // exactly the stored size
    if (!vnd::IsWellFormedItemList(bytes.data(), bytes.size())) return 0;
    // A list taken as well formed must be walkable to its terminator inside the bytes.
    std::size_t at = 0;
    for (;;) {
        if (at + 2 > size) std::abort();
        std::size_t cb = bytes[at] | (bytes[at + 1] << 8);
        if (cb == 0) return 0;
        at += cb;
    }
}
