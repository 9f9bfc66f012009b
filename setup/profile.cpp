#include "setup/profile.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"

namespace setup {

std::string FileProfile::Get(const char* section, const char* key, const char* fallback) const {
    char value[vn::kMaxText] = {};
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path_.c_str());
    return value;
}

std::vector<std::string> FileProfile::Keys(const char* section) const {
    char list[1024] = {};
    DWORD n = GetPrivateProfileStringA(section, nullptr, "", list, sizeof list, path_.c_str());
    std::vector<std::string> keys;
    // A list cut at the buffer's end may end in a partial name: only complete names count.
    for (DWORD at = 0; at < n && list[at];) {
        const void* end = std::memchr(list + at, '\0', n - at);
        std::size_t len = end ? static_cast<const char*>(end) - (list + at) : n - at;
        if (at + len >= n && n >= sizeof list - 2) break;
        keys.emplace_back(list + at, len);
        at += static_cast<DWORD>(len) + 1;
    }
    return keys;
}

setupscript::StringLookup FileProfile::Strings() const {
    return [this](const std::string& name, std::string* text) {
        *text = Get("Strings", name.c_str(), "\x01");
        return *text != "\x01";
    };
}

std::vector<std::string> FileProfile::Fields(const char* section, const std::string& key,
                                             const setupscript::Folders& folders) const {
    return setupscript::SplitFields(Get(section, key.c_str(), ""), folders, Strings());
}

}  // namespace setup
