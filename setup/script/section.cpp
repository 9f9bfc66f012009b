#include "setup/script/section.h"

#include <cstring>

namespace setupscript {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1a; }

std::string Trimmed(const char* from, const char* to) {
    while (from < to && Blank(*from)) ++from;
    while (to > from && Blank(to[-1])) --to;
    return std::string(from, to);
}

}  // namespace

std::vector<SectionEntry> SplitSection(const char* block, std::size_t length, std::size_t maxValue) {
    std::vector<SectionEntry> entries;
    const char* end = block + length;
    for (const char* line = block; line < end;) {
        const void* zero = std::memchr(line, '\0', static_cast<std::size_t>(end - line));
        const char* stop = zero ? static_cast<const char*>(zero) : end;
        const char* equals = static_cast<const char*>(std::memchr(line, '=', static_cast<std::size_t>(stop - line)));
        SectionEntry e;
        e.key = Trimmed(line, equals ? equals : stop);
        if (equals) {
            e.hasValue = true;
            e.value = Trimmed(equals + 1, stop);
            const std::size_t n = e.value.size();
            if (n >= 2 && (e.value[0] == '"' || e.value[0] == '\'') && e.value[n - 1] == e.value[0])
                e.value = e.value.substr(1, n - 2);
            if (e.value.size() > maxValue) e.value.resize(maxValue);
        }
        if ((!e.key.empty() || e.hasValue) && e.key.compare(0, 1, ";") != 0) entries.push_back(e);
        line = stop + 1;
    }
    return entries;
}

}  // namespace setupscript
