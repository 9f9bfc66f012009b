// The settings store: per-user values under HKEY_CURRENT_USER falling back to the machine-wide
// copy under HKEY_LOCAL_MACHINE; writes skip values that already read back equal.
#include <cstring>
#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/registry.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

// One profile per process, shared by every module that calls VNUtil.
struct Profile {
    char root[kMaxText] = {};
    char user[kMaxText] = {};
    bool machineOnly = false;
} g_profile;

constexpr size_t kKeptChars = 258;
constexpr int kBinaryCompareSize = 1040;

// Paths longer than the system's 260-character texts are refused (false).
bool FormPath(bool userBranch, const char* section, std::string* path) {
    *path = g_profile.root;
    if (userBranch && g_profile.user[0]) {
        *path += "\\users\\";
        *path += g_profile.user;
    }
    if (section && *section) {
        *path += '\\';
        *path += section;
    }
    return path->size() < kMaxText;
}

// Tries the user branch, then the machine-wide copy.
template <typename Read>
bool ReadProfile(const char* section, Read read) {
    std::string path;
    if (!g_profile.machineOnly && FormPath(true, section, &path) && read(HKEY_CURRENT_USER, path.c_str()))
        return true;
    return FormPath(false, section, &path) && read(HKEY_LOCAL_MACHINE, path.c_str());
}

// Number and Bool reads: the first branch that decodes wins, else the default.
int ReadProfileInt(const char* section, const char* name, int* result, int defaultValue,
                   int(VNAPI* read)(HKEY, const char*, const char*, int*)) {
    int value = 0;
    bool found = ReadProfile(section, [&](HKEY hive, const char* path) { return read(hive, path, name, &value) != 0; });
    if (result) *result = found ? value : defaultValue;
    return found ? 1 : 0;
}

template <typename Write>
int WriteProfile(const char* section, Write write) {
    // Until a caller has given the store its root there is no store: a write would land at the
    // top of the hive.
    if (!g_profile.root[0]) return 0;
    std::string path;
    HKEY hive = g_profile.machineOnly ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (!FormPath(!g_profile.machineOnly, section, &path)) return 0;
    CreateKeyPath(hive, path.c_str());  // a failure shows in the write itself
    return write(hive, path.c_str());
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

void VNAPI Reg_InitProfile(const char* root, const char* userName) {
    std::memset(g_profile.root, 0, sizeof g_profile.root);
    CopyTruncated(g_profile.root, kKeptChars + 1, root);
    std::memset(g_profile.user, 0, sizeof g_profile.user);
    g_profile.machineOnly = userName == nullptr;
    if (userName) CopyTruncated(g_profile.user, kKeptChars + 1, userName);
}

int VNAPI Reg_GetProfileString(const char* section, const char* name, char* buffer, int bufferSize,
                               const char* defaultText) {
    if (ReadProfile(section, [&](HKEY hive, const char* path) {
            return Reg_GetValueString(hive, path, name, buffer, bufferSize) != 0;
        }))
        return 1;
    if (defaultText && buffer && bufferSize > 0 && !CopyText(buffer, static_cast<size_t>(bufferSize), defaultText))
        buffer[0] = '\0';  // a default that does not fit is not cut: the caller gets an empty text
    return 0;
}

int VNAPI Reg_GetProfileNumber(const char* section, const char* name, int* result, int defaultValue) {
    return ReadProfileInt(section, name, result, defaultValue, Reg_GetValueNumber);
}

int VNAPI Reg_GetProfileBool(const char* section, const char* name, int* result, int defaultValue) {
    return ReadProfileInt(section, name, result, defaultValue, Reg_GetValueBool);
}

int VNAPI Reg_GetProfileBinary(const char* section, const char* name, void* buffer, int* byteCount,
                               const void* defaultBytes, int defaultCount) {
    const int capacity = byteCount ? *byteCount : 0;
    if (ReadProfile(section, [&](HKEY hive, const char* path) {
            if (byteCount) *byteCount = capacity;  // each attempt gets the caller's capacity
            return Reg_GetValueBinary(hive, path, name, buffer, byteCount) != 0;
        }))
        return 1;
    if (byteCount) *byteCount = capacity;
    if (defaultBytes && buffer && byteCount) {
        int n = defaultCount < capacity ? defaultCount : capacity;
        if (n < 0) n = 0;
        std::memcpy(buffer, defaultBytes, static_cast<size_t>(n));
        *byteCount = n;
    }
    return 0;
}

int VNAPI Reg_SetProfileString(const char* section, const char* name, const char* text) {
    // The store's texts are 260-character buffers: a longer one could never be read back.
    if (!text || std::strlen(text) >= kMaxText) return 0;
    char current[kMaxText];
    if (Reg_GetProfileString(section, name, current, sizeof current, nullptr) && std::strcmp(current, text) == 0)
        return 0;
    return WriteProfile(section, [&](HKEY hive, const char* path) {
        return Reg_SetValueString(hive, path, name, text);
    });
}

int VNAPI Reg_SetProfileNumber(const char* section, const char* name, int value) {
    int current = 0;
    if (Reg_GetProfileNumber(section, name, &current, 0) && current == value) return 0;
    return WriteProfile(section, [&](HKEY hive, const char* path) {
        return Reg_SetValueNumber(hive, path, name, value);
    });
}

int VNAPI Reg_SetProfileBool(const char* section, const char* name, int value) {
    int current = 0;
    if (Reg_GetProfileBool(section, name, &current, 0) && current == value) return 0;
    // Profile switches are stored as REG_DWORD (the explicit-hive Bool writes REG_BINARY).
    return WriteProfile(section, [&](HKEY hive, const char* path) {
        return Reg_SetValueNumber(hive, path, name, value);
    });
}

int VNAPI Reg_SetProfileBinary(const char* section, const char* name, const void* bytes, int byteCount) {
    if (byteCount < 0 || (byteCount > 0 && !bytes)) return 0;
    unsigned char current[kBinaryCompareSize];
    int count = kBinaryCompareSize;
    if (Reg_GetProfileBinary(section, name, current, &count, nullptr, 0) && count == byteCount &&
        (byteCount == 0 || std::memcmp(current, bytes, static_cast<size_t>(byteCount)) == 0))
        return 0;
    return WriteProfile(section, [&](HKEY hive, const char* path) {
        return Reg_SetValueBinary(hive, path, name, bytes, byteCount);
    });
}

int VNAPI Reg_DelProfileKey(const char* section, const char* subkey) {
    if (!subkey || !*subkey || !g_profile.root[0]) return 0;  // never the section itself, nor without a store
    const REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    RegKey key;
    std::string path;
    bool opened = !g_profile.machineOnly && FormPath(true, section, &path) &&
                  RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, key.out()) == ERROR_SUCCESS;
    // Removal works in HKEY_CURRENT_USER only; the machine-wide copy is never deleted.
    if (!opened && !(FormPath(false, section, &path) &&
                     RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, key.out()) == ERROR_SUCCESS))
        return 0;
    return DeleteKeyTree(key.get(), subkey) ? 1 : 0;
}

}  // extern "C"
