#include "keyfunc/valuerules.h"

#include <cstring>
#include <strings.h>

#include "keyfunc/fields.h"

namespace vn {
namespace {

// Stored text need not end in a zero: copy it into a terminated buffer first.
void TerminatedText(const unsigned char* data, std::size_t size, char (&text)[kMaxNumberData + 1]) {
    std::memcpy(text, data, size);
    text[size] = '\0';
}

int LittleEndian32(const unsigned char* data, std::size_t size) {
    unsigned char bytes[4] = {0, 0, 0, 0};
    std::memcpy(bytes, data, size < 4 ? size : 4);
    unsigned v = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<unsigned>(bytes[3]) << 24);
    return static_cast<int>(v);
}

}  // namespace

bool DecodeNumber(unsigned long type, const unsigned char* data, std::size_t size, int* out) {
    if (size > kMaxNumberData || (size && !data)) return false;
    int value;
    if (type == kRegSz) {
        char text[kMaxNumberData + 1];
        TerminatedText(data, size, text);
        value = ParseInteger(text);
    } else if ((type == kRegDword || type == kRegBinary) && size == 4) {
        value = LittleEndian32(data, size);
    } else {
        return false;
    }
    if (out) *out = value;
    return true;
}

bool DecodeBool(unsigned long type, const unsigned char* data, std::size_t size, int* out) {
    if (size > kMaxNumberData || (size && !data)) return false;
    int value;
    if (type == kRegSz) {
        char text[kMaxNumberData + 1];
        TerminatedText(data, size, text);
        if (strcasecmp(text, "TRUE") == 0)
            value = 1;
        else if (strcasecmp(text, "FALSE") == 0)
            value = 0;
        else
            value = ParseInteger(text);
    } else if (type == kRegDword || type == kRegBinary) {
        value = LittleEndian32(data, size);
    } else {
        return false;
    }
    if (out) *out = value;
    return true;
}

}  // namespace vn
