#include "setup/script/fields.h"

namespace setupscript {

std::string ExpandPlaceholder(const std::string& name, const Folders& folders, const StringLookup& strings) {
    if (name == "10") return folders.windows;
    if (name == "11") return folders.system;
    if (name == "12") return folders.windows + "\\System32\\Drivers";
    if (name == "17") return folders.windows + "\\Inf";
    if (name == "18") return folders.windows + "\\Help";
    if (name == "99") return folders.destination;
    if (name == "1") return folders.source;
    std::string text;
    if (strings && strings(name, &text)) return text;
    return std::string();
}

std::vector<std::string> SplitFields(const std::string& value, const Folders& folders, const StringLookup& strings) {
    std::vector<std::string> fields;
    std::size_t i = 0, n = value.size();
    for (;;) {
        while (i < n && (value[i] == ' ' || value[i] == '\t')) ++i;
        std::string field;
        while (i < n && value[i] != ',') {
            char c = value[i];
            if (c == '"') {
                std::size_t end = value.find('"', i + 1);
                if (end == std::string::npos) end = n;
                field.append(value, i + 1, end - i - 1);
                i = end < n ? end + 1 : n;
            } else if (c == '%') {
                // A percent sign without its closing one before the field ends is a plain character.
                std::size_t end = value.find_first_of("%,", i + 1);
                if (end == std::string::npos || value[end] != '%') {
                    field.push_back(c);
                    ++i;
                } else {
                    field += ExpandPlaceholder(value.substr(i + 1, end - i - 1), folders, strings);
                    i = end + 1;
                }
            } else {
                field.push_back(c);
                ++i;
            }
        }
        fields.push_back(field);
        if (i >= n) break;
        ++i;  // the comma
    }
    return fields;
}

std::vector<std::string> SplitSimpleFields(const std::string& value) {
    std::vector<std::string> fields;
    std::size_t i = 0, n = value.size();
    for (;;) {
        while (i < n && (value[i] == ' ' || value[i] == '\t')) ++i;
        std::string field;
        bool quoted = false;
        for (; i < n && (quoted || value[i] != ','); ++i) {
            if (value[i] == '"')
                quoted = !quoted;
            else
                field.push_back(value[i]);
        }
        fields.push_back(field);
        if (i >= n) break;
        ++i;
    }
    return fields;
}

}  // namespace setupscript
