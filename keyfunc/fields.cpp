#include "keyfunc/fields.h"

#include <cstdint>

namespace vn {

int ParseInteger(const char* text) {
    if (!text) return 0;
    uint32_t radix = 10, value = 0;  // unsigned arithmetic: overflow wraps without undefined behaviour
    for (const char* p = text;; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9') {
            value = value * radix + static_cast<uint32_t>(c - '0');
        } else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            if (radix == 16) value = value * 16 + static_cast<uint32_t>((c | 0x20) - 'a' + 10);
            // in radix 10 a hex letter is skipped without ending the scan
        } else if (c == 'x' || c == 'X') {
            radix = 16;
            value = 0;
        } else {
            break;
        }
    }
    return static_cast<int>(value);
}

const char* FirstField(const char* text, char* field, char separator, int* start) {
    const char* base = text ? text : "";
    int startOffset = -1;
    int copied = 0;
    bool inQuotes = false;
    const char* p = base;
    for (;; ++p) {
        char c = *p;
        if (c == '\0') break;
        if (copied == 0 && !inQuotes && (c == ' ' || c == '\t')) continue;
        if (c == '"') {
            inQuotes = !inQuotes;
            if (startOffset == -1) startOffset = static_cast<int>(p - base);
            continue;
        }
        if (!inQuotes && c == separator) {
            if (startOffset == -1) startOffset = 0;
            ++p;
            break;
        }
        if (startOffset == -1) startOffset = static_cast<int>(p - base);
        if (field && copied < kFieldMax) field[copied] = c;
        ++copied;
    }
    if (field) field[copied < kFieldMax ? copied : kFieldMax] = '\0';
    if (start) *start = startOffset;
    return p;
}

int NthField(const char* text, int n, char* field, char separator) {
    if (!text || n < 1) {
        if (field) field[0] = '\0';
        return -1;
    }
    const char* rest = text;
    int offset = -1;
    for (int i = 0; i < n; ++i) {
        int start = -1;
        const char* next = FirstField(rest, field, separator, &start);
        if (start == -1) return -1;
        offset = static_cast<int>(rest - text) + start;
        rest = next;
    }
    return offset;
}

}  // namespace vn
