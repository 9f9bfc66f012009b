#include "setup/util/rules.h"

#include <cstring>

namespace instutil {

const unsigned kUiLanguages[kUiLanguageCount] = {1028, 2052, 1030, 1043, 1033, 1035, 1036, 1031,
                                                 1040, 1041, 1044, 1046, 2058, 1053, 1042};

SystemKind Classify(unsigned platform, unsigned major, unsigned minor, const char* versionNumber) {
    SystemKind k;
    if (platform == kPlatformWindows) {
        k.win9x = true;
        k.win98OrLater = major > 4 || (major == 4 && minor != 0);
        k.win95 = !k.win98OrLater;
        k.winMe = k.win98OrLater && versionNumber && std::strncmp(versionNumber, "4.90", 4) == 0;
    } else if (platform == kPlatformNt) {
        k.nt = true;
        k.win2000 = major == 5 && minor == 0;
        k.winXp = major == 5 && minor == 1;
        k.win2000OrLater = major >= 5;
    }
    return k;
}

unsigned PickUiLanguage(unsigned lcid) {
    for (unsigned l : kUiLanguages)
        if (l == lcid) return l;
    for (unsigned l : kUiLanguages)
        if ((l & 0xFF) == (lcid & 0xFF)) return l;
    return 1033;
}

Box PlaceBelowBand(const Box& work, int width, int height, int band) {
    Box b;
    b.left = work.left + (work.right - work.left - width) / 2;
    b.top = work.top + (work.bottom - work.top - height) / 2;
    if (b.top < band) {
        b.top = band;
        if (b.top + height > work.bottom) b.top = work.bottom - height;
    }
    b.right = b.left + width;
    b.bottom = b.top + height;
    return b;
}

std::size_t TitleBreak(const std::string& text, int maxWidth,
                       const std::function<int(const char*, std::size_t)>& width) {
    if (width(text.c_str(), text.size()) <= maxWidth) return text.size();
    for (std::size_t at = text.rfind(' '); at != std::string::npos && at > 0; at = text.rfind(' ', at - 1)) {
        if (width(text.c_str(), at) <= maxWidth) return at;
    }
    return text.size();
}

namespace {

std::size_t FindNoCase(const std::string& text, const char* what) {
    std::size_t n = std::strlen(what);
    for (std::size_t i = 0; i + n <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < n) {
            char a = text[i + j], b = what[j];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
            if (a != b) break;
            ++j;
        }
        if (j == n) return i;
    }
    return std::string::npos;
}

}  // namespace

std::string InsertRenameLine(const std::string& text, const std::string& line) {
    static const char kHeader[] = "[Rename]\r\n";
    std::size_t at = FindNoCase(text, kHeader);
    if (at != std::string::npos) {
        std::string out = text;
        out.insert(at + sizeof kHeader - 1, line);
        return out;
    }
    std::string out = text;
    // A last line without its line break would otherwise run into the new header.
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return out + kHeader + line;
}

bool SameText(const char* a, const char* b) {
    if (!a || !b) return false;
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
        if (!x) return true;
    }
}

}  // namespace instutil
