// The field syntax of the setup script's section values. Plain C++.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace setupscript {

// What the %name% placeholders stand for.
struct Folders {
    std::string windows;      // %10%
    std::string system;       // %11%
    std::string destination;  // %99%
    std::string source;       // %1%
};
// Looks up a name of the script's "Strings" section; false when there is no such key.
using StringLookup = std::function<bool(const std::string& name, std::string* text)>;

std::string ExpandPlaceholder(const std::string& name, const Folders& folders, const StringLookup& strings);

// Splits a value into comma-separated fields: blanks and tabs before a field skipped, quoted text
// taken literally without its quotes, %name% replaced, trailing blanks kept.
std::vector<std::string> SplitFields(const std::string& value, const Folders& folders, const StringLookup& strings);

// The simpler syntax of "Update Driver" values: double quotes toggle quoting and are dropped,
// no placeholders.
std::vector<std::string> SplitSimpleFields(const std::string& value);

}  // namespace setupscript
