#include "drvsetup/idrules.h"

#include <cstring>

#include "common/text.h"

namespace vnsetup {
namespace {

struct ClassName {
    const char* name;
    ClassId id;
};

// The system's standard setup classes that callers name.
const ClassName kClasses[] = {
    {"USB", {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}},
    {"1394", {0x6BDD1FC1, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}}},
    {"HID", {0x745A17A0, 0x74D3, 0x11D0, {0xB6, 0xFE, 0x00, 0xA0, 0xC9, 0x0F, 0x57, 0xDA}}},
    {"Display", {0x4D36E968, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Keyboard", {0x4D36E96B, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Mouse", {0x4D36E96F, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Printer", {0x4D36E979, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Media", {0x4D36E96C, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Net", {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"Unknown", {0x4D36E97E, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"SmartCardReader", {0x50DD5230, 0xBA8A, 0x11D1, {0xBF, 0x5D, 0x00, 0x00, 0xF8, 0x05, 0xF5, 0x30}}},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares n characters of two texts, ignoring ASCII case.
bool SameChars(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Bounded length: at most max characters are looked at.
std::size_t LengthWithin(const char* s, std::size_t max) {
    std::size_t n = 0;
    while (n < max && s[n]) ++n;
    return n;
}

}  // namespace

const ClassId* FindSetupClass(const char* name) {
    if (!name || !*name) return nullptr;
    for (const ClassName& c : kClasses)
        if (SameIdText(c.name, name)) return &c.id;
    return nullptr;
}

bool SameIdText(const char* a, const char* b) {
    if (!a || !b) return false;
    std::size_t n = std::strlen(a);
    return n == std::strlen(b) && SameChars(a, b, n);
}

bool MultiStringHasId(const char* list, std::size_t size, const char* id) {
    if (!list || !id || !*id) return false;
    std::size_t idLength = std::strlen(id);
    std::size_t pos = 0;
    while (pos < size && list[pos]) {
        std::size_t n = LengthWithin(list + pos, size - pos);
        if (n == idLength && SameChars(list + pos, id, n)) return true;
        pos += n + 1;
    }
    return false;
}

bool MatchesId9x(const char* deviceId, const char* givenId) {
    if (!deviceId || !givenId || !*givenId) return false;
    std::size_t have = std::strlen(deviceId);
    std::size_t want = std::strlen(givenId);
    if (have < want) return false;
    if (have == want) return SameChars(deviceId, givenId, want);
    if (have == 36 && want == 27)  // USB\VID_v&PID_p&REV_r&MI_i without its REV_r& part
        return SameChars(deviceId, givenId, 22) && SameChars(deviceId + 31, givenId + 22, 5);
    if (have == 36 && want == 21) return SameChars(deviceId, givenId, 21);
    if (have == 13 && want == 8) return SameChars(deviceId + 5, givenId, 8);
    return false;
}

bool MatchesIdPrefix9x(const char* deviceId, const char* givenId) {
    if (!deviceId || !givenId || !*givenId) return false;
    std::size_t want = std::strlen(givenId);
    return std::strlen(deviceId) >= want && SameChars(deviceId, givenId, want);
}

bool InstanceIdHasPrefix(const char* instanceId, const char* prefix) {
    if (!instanceId || !prefix || !*prefix) return false;
    std::size_t n = std::strlen(prefix);
    if (std::strlen(instanceId) < n || !SameChars(instanceId, prefix, n)) return false;
    return instanceId[n] == '\0' || instanceId[n] == '\\';
}

std::size_t RepairCommaFilter(char* data, std::size_t length, std::size_t capacity) {
    if (!data || length > capacity) return 0;
    std::size_t end = length;
    while (end > 0 && data[end - 1] == '\0') --end;  // a stored terminator is not part of the text
    if (end == 0 || data[end - 1] != ',') return 0;
    if (end + 1 > capacity) return 0;
    data[end - 1] = '\0';
    data[end] = '\0';
    return end + 1;
}

bool PnfPathFor(const char* infPath, char* out, std::size_t size) {
    std::size_t n = vn::TextLength(infPath);
    if (n <= 3 || !SameChars(infPath + n - 3, "inf", 3)) return false;
    if (!vn::CopyText(out, size, infPath)) return false;
    out[n - 3] = (infPath[n - 3] == 'i') ? 'p' : 'P';
    return true;
}

const char* FileNamePart(const char* path) {
    if (!path) return "";
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

bool IsFullPath(const char* path) {
    if (!path) return false;
    bool drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
    bool unc = path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

bool CatalogNameFor(const char* infName, char* out, std::size_t size) {
    std::size_t n = vn::TextLength(infName);
    if (n < 4 || !vn::CopyText(out, size, infName)) return false;
    std::memcpy(out + n - 3, "cat", 3);
    return true;
}

}  // namespace vnsetup
