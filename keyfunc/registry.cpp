// The explicit-hive family: one value under a given hive and key path. Keys are opened and
// closed within each call.
#include "keyfunc/registry.h"

#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/fields.h"
#include "keyfunc/valuerules.h"
#include "keyfunc/vnutil.h"

namespace vn {

bool ReadRawValue(HKEY hive, const char* keyPath, const char* name, DWORD* type, std::vector<unsigned char>* data) {
    RegKey key;
    if (!keyPath || RegOpenKeyExA(hive, keyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    // The value may change size between the two queries: retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
        data->assign(size + 1, 0);  // never a zero-size buffer
        DWORD got = size + 1;
        LONG rc = RegQueryValueExA(key.get(), name, nullptr, type, data->data(), &got);
        if (rc == ERROR_SUCCESS) {
            data->resize(got);
            return true;
        }
        if (rc != ERROR_MORE_DATA) return false;
    }
    return false;
}

bool CreateKeyPath(HKEY hive, const char* keyPath) {
    if (!keyPath) return false;
    RegKey whole;
    if (RegCreateKeyExA(hive, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, whole.out(),
                        nullptr) == ERROR_SUCCESS)
        return true;
    // Some systems refuse a multi-level path in one call: create it one component at a time.
    RegKey parent;
    HKEY below = hive;
    char component[kFieldMax + 1];
    for (int k = 1; NthField(keyPath, k, component, '\\') != -1; ++k) {
        RegKey next;
        if (RegCreateKeyExA(below, component, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            next.out(), nullptr) != ERROR_SUCCESS)
            return false;
        parent = std::move(next);
        below = parent.get();
    }
    return true;
}

bool DeleteKeyTree(HKEY parent, const char* subkey) {
    if (!subkey || !*subkey) return false;
    {
        RegKey key;
        if (RegOpenKeyExA(parent, subkey, 0, KEY_READ | KEY_WRITE, key.out()) != ERROR_SUCCESS) return false;
        char child[kMaxText];
        // Always enumerate index 0: each pass deletes the child found.
        for (;;) {
            DWORD len = sizeof child;
            if (RegEnumKeyExA(key.get(), 0, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (!DeleteKeyTree(key.get(), child)) return false;
        }
    }
    return RegDeleteKeyA(parent, subkey) == ERROR_SUCCESS;
}

namespace {

bool ReadDecoded(HKEY hive, const char* keyPath, const char* name, int* result,
                 bool (*decode)(unsigned long, const unsigned char*, std::size_t, int*)) {
    RegKey key;
    if (!keyPath || RegOpenKeyExA(hive, keyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    unsigned char data[kMaxNumberData];
    DWORD type = 0, size = sizeof data;
    // Longer values fail here with ERROR_MORE_DATA and are refused.
    if (RegQueryValueExA(key.get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
    return decode(type, data, size, result);
}

bool WriteValue(HKEY hive, const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    RegKey key;
    if (!keyPath || RegOpenKeyExA(hive, keyPath, 0, KEY_WRITE, key.out()) != ERROR_SUCCESS) return false;
    return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI Reg_GetValueString(HKEY hive, const char* keyPath, const char* name, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return 0;
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!ReadRawValue(hive, keyPath, name, &type, &data)) return 0;
    // Texts are returned zero-terminated; raw bytes of other types pass through as they are.
    if (data.empty() || data.back() != 0) data.push_back(0);
    if (type == REG_EXPAND_SZ) {
        char expanded[kMaxText];
        DWORD need = ExpandEnvironmentStringsA(reinterpret_cast<const char*>(data.data()), expanded, kMaxText);
        if (need == 0 || need > kMaxText || need > static_cast<DWORD>(bufferSize)) return 0;
        std::memcpy(buffer, expanded, need);
        buffer[need - 1] = '\0';
        return 1;
    }
    if (data.size() > static_cast<size_t>(bufferSize)) return 0;
    std::memcpy(buffer, data.data(), data.size());
    return 1;
}

int VNAPI Reg_GetValueNumber(HKEY hive, const char* keyPath, const char* name, int* result) {
    return ReadDecoded(hive, keyPath, name, result, DecodeNumber) ? 1 : 0;
}

int VNAPI Reg_GetValueBool(HKEY hive, const char* keyPath, const char* name, int* result) {
    return ReadDecoded(hive, keyPath, name, result, DecodeBool) ? 1 : 0;
}

int VNAPI Reg_GetValueBinary(HKEY hive, const char* keyPath, const char* name, void* buffer, int* byteCount) {
    RegKey key;
    if (!keyPath || RegOpenKeyExA(hive, keyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return 0;
    DWORD capacity = (byteCount && *byteCount > 0) ? static_cast<DWORD>(*byteCount) : 0;
    DWORD size = capacity;
    // Without a buffer the query only reports the stored size.
    LONG rc = RegQueryValueExA(key.get(), name, nullptr, nullptr, capacity && buffer ? static_cast<BYTE*>(buffer) : nullptr,
                               &size);
    if (rc == ERROR_SUCCESS && buffer && capacity == 0 && size > 0) rc = ERROR_MORE_DATA;
    if (byteCount) *byteCount = static_cast<int>(size);
    return rc == ERROR_SUCCESS ? 1 : 0;
}

int VNAPI Reg_SetValueString(HKEY hive, const char* keyPath, const char* name, const char* text) {
    if (!text) return 0;
    return WriteValue(hive, keyPath, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1)) ? 1 : 0;
}

int VNAPI Reg_SetValueNumber(HKEY hive, const char* keyPath, const char* name, int value) {
    return WriteValue(hive, keyPath, name, REG_DWORD, &value, sizeof value) ? 1 : 0;
}

int VNAPI Reg_SetValueBool(HKEY hive, const char* keyPath, const char* name, int value) {
    return WriteValue(hive, keyPath, name, REG_BINARY, &value, sizeof value) ? 1 : 0;
}

int VNAPI Reg_SetValueBinary(HKEY hive, const char* keyPath, const char* name, const void* bytes, int byteCount) {
    if (byteCount < 0 || (byteCount > 0 && !bytes)) return 0;
    return WriteValue(hive, keyPath, name, REG_BINARY, bytes, static_cast<DWORD>(byteCount)) ? 1 : 0;
}

int VNAPI StringToInteger(const char* text) { return ParseInteger(text); }

char* VNAPI Str_GetFirstField(const char* text, char* field, char separator, int* startOffset) {
    return const_cast<char*>(FirstField(text, field, separator, startOffset));
}

int VNAPI Str_GetField(const char* text, int fieldNumber, char* field, char separator) {
    return NthField(text, fieldNumber, field, separator);
}

}  // extern "C"
