#include "setup/profile.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"
#include "setup/util/installer_util.h"

namespace setup {

namespace {

// Far more names than any script lists.
constexpr DWORD kMaxKeyList = 1024 * 1024;

// Keys and section names match whatever their case, as the reader matches them.
using instutil::UpperText;

// Reads what the profile reader returns into a buffer that grows from `first` characters up to
// kMaxKeyList while the result fills it (a full buffer means a cut list); true when it fit whole.
template <class Reader>
bool ReadGrowing(DWORD first, std::vector<char>* block, DWORD* n, Reader read) {
    for (DWORD size = first; size <= kMaxKeyList; size *= 4) {
        block->assign(size, '\0');
        *n = read(block->data(), size);
        if (*n < size - 2) return true;
    }
    return false;
}

}  // namespace

const FileProfile::Section& FileProfile::Read(const char* section) const {
    Section& s = sections_[UpperText(section)];
    if (s.read) return s;
    s.read = true;
    std::vector<char> block;
    DWORD n = 0;
    if (!ReadGrowing(4096, &block, &n, [&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionA(section, buffer, size, path_.c_str());
        }))
        return s;
    for (const setupscript::SectionEntry& e : setupscript::SplitSection(block.data(), n, vn::kMaxText - 1))
        s.entries.emplace(UpperText(e.key), e);
    s.whole = true;
    return s;
}

std::string FileProfile::Get(const char* section, const char* key, const char* fallback) const {
    const Section& s = Read(section);
    if (s.whole) {
        auto found = s.entries.find(UpperText(key));
        return found != s.entries.end() && found->second.hasValue ? found->second.value : fallback;
    }
    char value[vn::kMaxText] = {};
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path_.c_str());
    return value;
}

std::vector<std::string> FileProfile::Keys(const char* section) const {
    // A list that fills the buffer was cut: it is read again into a larger one, so that a long
    // "Copy Files" section loses none of its files. Past the last size only whole names count.
    std::vector<char> list;
    DWORD n = 0;
    ReadGrowing(1024, &list, &n, [&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section, nullptr, "", buffer, size, path_.c_str());
    });
    std::vector<std::string> keys;
    for (DWORD at = 0; at < n && list[at];) {
        const void* end = std::memchr(list.data() + at, '\0', n - at);
        std::size_t len = end ? static_cast<const char*>(end) - (list.data() + at) : n - at;
        if (at + len >= n && n >= list.size() - 2) break;
        keys.emplace_back(list.data() + at, len);
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
