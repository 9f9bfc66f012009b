// A script section as the system's profile reader returns it whole. Plain C++.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace setupscript {

struct SectionEntry {
    std::string key;
    std::string value;
    bool hasValue = false;  // a line without "=": reading its key gives the default
};

// Splits the reader's block ("key=value" texts, each ended by a zero) into entries in file order,
// each value as the reader gives a single one: blanks around key and value dropped, comment
// lines (";") skipped, one pair of enclosing quotes removed, cut to maxValue characters.
std::vector<SectionEntry> SplitSection(const char* block, std::size_t length, std::size_t maxValue);

}  // namespace setupscript
