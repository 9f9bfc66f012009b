// Number parsing and field splitting of the settings store: stored texts are outside data.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "keyfunc/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const char separator = static_cast<char>(data[0]);
    const int n = data[1] % 8;  // field numbers 0 (none) to 7
    std::vector<char> text = vnfuzz::Text(data + 2, size - 2);
    const std::size_t length = std::strlen(text.data());

    vn::ParseInteger(text.data());

    vnfuzz::Buffer260 field;
    int start = -2;
    const char* rest = vn::FirstField(text.data(), field.data(), separator, &start);
    if (!field.Terminated() || field.Length() > vn::kFieldMax) std::abort();
    if (rest < text.data() || rest > text.data() + length) std::abort();
    if (start < -1 || start > static_cast<int>(length)) std::abort();

    vnfuzz::Buffer260 nth;
    int at = vn::NthField(text.data(), n, nth.data(), separator);
    if (at < -1 || at > static_cast<int>(length)) std::abort();
    if (at >= 0 && (!nth.Terminated() || nth.Length() > vn::kFieldMax)) std::abort();
    return 0;
}
