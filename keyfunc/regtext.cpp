#include "keyfunc/regtext.h"

#include <vector>

#include "common/text.h"
#include "keyfunc/registry.h"

namespace vn {

bool ReadRegText(HKEY hive, const char* keyPath, const char* name, std::string* text) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!ReadRawValue(hive, keyPath, name, &type, &data)) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    data.push_back(0);
    std::string raw(reinterpret_cast<const char*>(data.data()));
    if (raw.size() >= kMaxText) return false;
    if (type == REG_EXPAND_SZ) {
        char expanded[kMaxText];
        DWORD need = ExpandEnvironmentStringsA(raw.c_str(), expanded, sizeof expanded);
        if (need == 0 || need > sizeof expanded) return false;
        raw = expanded;
    }
    *text = raw;
    return true;
}

int CopyOut(const std::string& text, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return 0;
    return CopyText(buffer, static_cast<size_t>(bufferSize), text.c_str()) ? 1 : 0;
}

}  // namespace vn
