#include "service/keytable.h"

#include <cstdio>
#include <cstring>

namespace vnd {
namespace {

struct Row {
    unsigned usage;
    unsigned code;
    const char* name;
};

constexpr Row kRows[] = {
    {0x0002, 0x8002, "Aux1"}, {0x0003, 0x8001, "Aux2"}, {0x0004, 0x8003, "Aux3"},
    {0x0005, 0x8004, "Aux4"}, {0x0006, 0x0192, "Aux5"}, {0x0007, 0x018A, "Aux6"},
    {0x0008, 0x0223, "Aux7"}, {0x00EA, 0x00EA, ""},     {0x00E9, 0x00E9, ""},
    {0x00B5, 0x00B5, ""},     {0x00B6, 0x00B6, ""},     {0x00B7, 0x00B7, ""},
    {0x00CD, 0x00CD, ""},     {0x00E2, 0x00E2, ""},     {0x0183, 0x0091, ""},
};

}  // namespace

unsigned FunctionCodeForUsage(unsigned usage) {
    for (const Row& r : kRows)
        if (r.usage == usage) return r.code;
    return usage;
}

const char* KeyNameForCode(unsigned code) {
    for (const Row& r : kRows)
        if (r.code == code) return r.name;
    return "";
}

void ButtonSection(unsigned code, char (&section)[32]) {
    std::snprintf(section, sizeof section, "Buttons\\%s", KeyNameForCode(code));
}

void ParentSection(const char* section, char* parent, unsigned size) {
    if (!size) return;
    parent[0] = '\0';
    std::size_t n = std::strlen(section);
    if (n > 0 && section[n - 1] == '\\') --n;
    while (n > 0 && section[n - 1] != '\\') --n;
    if (n == 0) return;  // no other backslash
    --n;
    if (n >= size) return;
    std::memcpy(parent, section, n);
    parent[n] = '\0';
}

}  // namespace vnd
