#include "setup/uninstall_record.h"

#include "common/handles.h"
#include "setup/script/work_rules.h"

namespace setup {

namespace {

const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSharedRoot[] = "Software\\Varnel\\Uninstall\\";

bool SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool Create(const std::string& path, HKEY* out) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, out, nullptr) == ERROR_SUCCESS;
}

// Writes one value of a key below HKLM; false when nothing was written.
bool Put(const std::string& path, const std::string& name, const std::string& data) {
    vn::RegKey key;
    return Create(path, key.out()) && SetText(key.get(), name.c_str(), data);
}

}  // namespace

UninstallRecord::UninstallRecord(const SetupRun& run)
    : key_(run.keys.uninstallKey),
      displayName_(run.keys.uninstallDisplayName.empty() ? run.keys.productName : run.keys.uninstallDisplayName) {}

bool UninstallRecord::Open(const std::string& subkey, HKEY* out) const {
    if (key_.empty()) return false;
    if (!product_) {
        if (!Create(kUninstallRoot + key_, product_.out())) return false;
        SetText(product_.get(), "UninstallString", "VNUninst.exe " + key_);
        SetText(product_.get(), "DisplayName", displayName_);
    }
    return RegCreateKeyExA(product_.get(), subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           out, nullptr) == ERROR_SUCCESS;
}

void UninstallRecord::File(const std::string& path) const {
    std::string folder, name;
    setupscript::SplitPath(path, &folder, &name);
    if (name.empty() || (!files_ && !Open("DeleteFiles", files_.out())) || !SetText(files_.get(), name.c_str(), folder))
        return;
    if (!sharedFiles_ && !Create(kSharedRoot + std::string("SharedFile"), sharedFiles_.out())) return;
    vn::RegKey shared;
    if (RegCreateKeyExA(sharedFiles_.get(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        shared.out(), nullptr) == ERROR_SUCCESS)
        SetText(shared.get(), key_.c_str(), folder);
}

void UninstallRecord::Forget(const std::string& path) const {
    std::string folder, name;
    setupscript::SplitPath(path, &folder, &name);
    if (name.empty() || !files_) return;
    RegDeleteValueA(files_.get(), name.c_str());
    if (!sharedFiles_) return;
    vn::RegKey shared;
    if (RegOpenKeyExA(sharedFiles_.get(), name.c_str(), 0, KEY_ALL_ACCESS, shared.out()) != ERROR_SUCCESS) return;
    RegDeleteValueA(shared.get(), key_.c_str());
    DWORD values = 0, keys = 0;
    const bool empty = RegQueryInfoKeyA(shared.get(), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                                        nullptr, nullptr, nullptr) == ERROR_SUCCESS && values == 0 && keys == 0;
    shared.reset();
    if (empty) RegDeleteKeyA(sharedFiles_.get(), name.c_str());
}

void UninstallRecord::Directory(const std::string& folder, const char* data) const {
    vn::RegKey dirs;
    if (Open("DeleteDirectory", dirs.out())) SetText(dirs.get(), folder.c_str(), data);
}

void UninstallRecord::Registry(const char* rootName, const std::string& name, const std::string& data) const {
    vn::RegKey regs;
    if (!Open(std::string("DeleteRegs\\") + rootName, regs.out()) || !SetText(regs.get(), name.c_str(), data)) return;
    Put(kSharedRoot + std::string("SharedReg\\") + key_ + "\\" + rootName, name, data);
}

}  // namespace setup
