// Entries added to a product's uninstall record so that the uninstaller removes a file or a
// folder. A product whose uninstall key is missing is skipped: these functions never create it.
#include <string>

#include "common/handles.h"
#include "keyfunc/sysrules.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSharedFileRoot[] = "Software\\Varnel\\Uninstall\\SharedFile\\";

bool SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// Opens the product's existing uninstall key and creates (or opens) the named subkey below it.
bool OpenRecordSubkey(const char* product, const char* subkey, RegKey* out) {
    RegKey productKey;
    std::string path = std::string(kUninstallRoot) + product;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, productKey.out()) != ERROR_SUCCESS)
        return false;
    return RegCreateKeyExA(productKey.get(), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           out->out(), nullptr) == ERROR_SUCCESS;
}

void RecordFile(const char* product, const std::string& folder, const std::string& name) {
    RegKey deleteFiles;
    if (!OpenRecordSubkey(product, "DeleteFiles", &deleteFiles)) return;
    if (!SetText(deleteFiles.get(), name.c_str(), folder)) return;
    RegKey shared;
    std::string sharedPath = kSharedFileRoot + name;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, sharedPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, shared.out(), nullptr) != ERROR_SUCCESS)
        return;
    SetText(shared.get(), product, folder);
}

void RecordDirectory(const char* product, const char* valueName, const char* folder) {
    RegKey deleteDirectory;
    if (!OpenRecordSubkey(product, "DeleteDirectory", &deleteDirectory)) return;
    SetText(deleteDirectory.get(), valueName, folder);
}

bool Given(const char* text) { return text && *text; }

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

void VNAPI CreateUninstallDeleteFileRegistry(const char* file, const char* firstKey, const char* secondKey) {
    if (!file) return;
    std::string folder, name;
    SplitFilePath(file, &folder, &name);
    // A path without a file name would record the DeleteFiles key's default value and the
    // SharedFile key itself.
    if (name.empty()) return;
    if (Given(firstKey)) RecordFile(firstKey, folder, name);
    if (Given(secondKey)) RecordFile(secondKey, folder, name);
}

void VNAPI CreateUninstallDeleteDirRegistry(const char* valueName, const char* folder, const char* firstKey,
                                            const char* secondKey) {
    if (!folder) return;
    if (Given(firstKey)) RecordDirectory(firstKey, valueName, folder);
    if (Given(secondKey)) RecordDirectory(secondKey, valueName, folder);
}

}  // extern "C"
