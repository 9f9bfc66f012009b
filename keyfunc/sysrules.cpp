#include "keyfunc/sysrules.h"

#include <cstdio>

namespace vn {

WinVersion ClassifyVersion(unsigned long platformId, unsigned long major, unsigned long minor) {
    if (platformId == 1) {
        if (major == 4 && minor == 0) return WinVersion::Win95;
        if (major == 4 && minor == 10) return WinVersion::Win98;
        if (major == 4 && minor == 90) return WinVersion::WinMe;
        return WinVersion::Other;
    }
    if (platformId == 2) {
        if (major == 5 && minor == 0) return WinVersion::Win2000;
        if (major == 5 && minor == 1) return WinVersion::WinXP;
        if (major == 5 && minor == 2) return WinVersion::Win2003;
        return WinVersion::NtOther;
    }
    return WinVersion::Other;
}

bool ParseVersionText(const char* text, std::uint32_t* high, std::uint32_t* low) {
    if (!text || !*text) return false;
    std::uint32_t parts[4] = {0, 0, 0, 0};
    const char* p = text;
    for (int i = 0; i < 4 && *p; ++i) {
        std::uint32_t value = 0;
        bool inDigits = true;
        // A number runs to the next ',' or '.'; after its digits anything else (a build tag
        // such as " (xpsp.080413-2111)") is ignored.
        for (; *p && *p != ',' && *p != '.'; ++p) {
            if (*p == ' ' || *p == '\t') continue;
            if (inDigits && *p >= '0' && *p <= '9')
                value = value * 10 + static_cast<std::uint32_t>(*p - '0');
            else
                inDigits = false;
        }
        parts[i] = value & 0xFFFF;
        if (*p) ++p;
    }
    *high = (parts[0] << 16) | parts[1];
    *low = (parts[2] << 16) | parts[3];
    return true;
}

std::string TranslationName(unsigned language, unsigned codePage) {
    char name[16];
    std::snprintf(name, sizeof name, "%04x%04x", language & 0xFFFF, codePage & 0xFFFF);
    return name;
}

const unsigned long kSupportedLocales[14] = {1028, 2052, 1030, 1043, 1033, 1035, 1036,
                                             1031, 1040, 1041, 1044, 1046, 2058, 1053};

bool IsSupportedLocale(unsigned long lcid) {
    for (unsigned long l : kSupportedLocales)
        if (l == lcid) return true;
    return false;
}

unsigned long ReplacementLocale(unsigned long lcid) {
    for (unsigned long l : kSupportedLocales)
        if ((l & 0xFF) == (lcid & 0xFF)) return l;
    return 1033;
}

void SplitFilePath(const std::string& path, std::string* folder, std::string* name) {
    std::string::size_type slash = path.find_last_of('\\');
    if (slash == std::string::npos) {
        folder->clear();
        *name = path;
    } else {
        *folder = path.substr(0, slash);
        *name = path.substr(slash + 1);
    }
}

}  // namespace vn
