#include "uninstall/registry.h"

#include <cstring>

#include "common/handles.h"
#include "common/text.h"

namespace uninst {

std::vector<NamedText> ReadValues(HKEY root, const std::string& path) {
    std::vector<NamedText> values;
    vn::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return values;
    // Sized to the longest entry, so that an over-long one is read whole and can be refused by name.
    DWORD nameMax = 0, dataMax = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nameMax, &dataMax,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::vector<char> name(nameMax + 2), data(dataMax + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1), type = 0;
        LONG r = RegEnumValueA(key.get(), i, name.data(), &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                               &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataSize] = '\0';
        values.emplace_back(std::string(name.data(), nameSize), std::string(data.data(), strnlen(data.data(), dataSize)));
    }
    return values;
}

std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    vn::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return names;
    char name[vn::kMaxText];
    for (DWORD i = 0; RegEnumKeyA(key.get(), i, name, sizeof name) == ERROR_SUCCESS; ++i) names.emplace_back(name);
    return names;
}

bool ReadText(HKEY root, const std::string& path, const char* name, std::string* out) {
    vn::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    char data[vn::kMaxText + 1] = {};
    DWORD size = vn::kMaxText, type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    *out = std::string(data, strnlen(data, size));
    return true;
}

bool KeyExists(HKEY root, const std::string& path) {
    vn::RegKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::string& path) {
    if (path.empty()) return false;
    for (const std::string& sub : SubKeys(root, path)) DeleteTree(root, path + "\\" + sub);
    RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

bool DeleteEmptyKeys(HKEY root, const std::string& path) {
    if (path.empty()) return false;
    bool empty = true;
    for (const std::string& sub : SubKeys(root, path))
        if (!DeleteEmptyKeys(root, path + "\\" + sub)) empty = false;
    vn::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return true;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS || values > 0)
        empty = false;
    key.reset();
    if (!empty) return false;
    return RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

HKEY RootByName(const std::string& name) {
    if (name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    return HKEY_USERS;
}

}  // namespace uninst
