#include "keyfunc/verinfo.h"

#include "keyfunc/sysrules.h"
#include "keyfunc/vnutil.h"

namespace vn {

bool VersionInfo::Load(const char* path) {
    block_.clear();
    if (!path || !FileExisted(path)) return false;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return false;
    block_.assign(size, 0);
    if (!GetFileVersionInfoA(path, 0, size, block_.data())) {
        block_.clear();
        return false;
    }
    return true;
}

const VS_FIXEDFILEINFO* VersionInfo::Fixed() const {
    if (block_.empty()) return nullptr;
    void* data = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(const_cast<unsigned char*>(block_.data()), "\\", &data, &len) || !data ||
        len < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(data);
}

bool VersionInfo::Text(const char* name, std::string* text) const {
    if (block_.empty()) return false;
    void* data = nullptr;
    UINT len = 0;
    void* block = const_cast<unsigned char*>(block_.data());
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &data, &len) || !data || len < 4) return false;
    const WORD* pair = static_cast<const WORD*>(data);
    std::string query = "\\StringFileInfo\\" + TranslationName(pair[0], pair[1]) + "\\" + name;
    data = nullptr;
    len = 0;
    if (!VerQueryValueA(block, query.c_str(), &data, &len) || !data) return false;
    // len counts characters and may or may not include the terminating zero.
    const char* s = static_cast<const char*>(data);
    std::string::size_type n = 0;
    while (n < len && s[n]) ++n;
    text->assign(s, n);
    return true;
}

}  // namespace vn
