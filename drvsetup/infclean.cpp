#include "drvsetup/infclean.h"

#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "drvsetup/devsystem.h"
#include "drvsetup/idrules.h"

namespace vnsetup {
namespace {

const char kCatalogFolder[] = "\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\";

bool DeleteAnyway(const std::string& path) {
    if (path.empty() || path.size() >= vn::kMaxText) return false;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE;
}

// A folder from the system as a string; empty when it cannot be had.
template <typename Get>
std::string Folder(Get get) {
    char path[vn::kMaxText] = {};
    UINT n = get(path, vn::kMaxText);
    return (n == 0 || n >= vn::kMaxText) ? std::string() : std::string(path, n);
}

void DeleteInfFiles(const char* infPath) {
    DeviceSystem& sys = System();
    std::string windows = Folder([&](char* p, UINT n) { return sys.WindowsFolder(p, n); });
    std::string system = Folder([&](char* p, UINT n) { return sys.SystemFolder(p, n); });
    const std::string name = FileNamePart(infPath);

    // The value names a file in the INF folders. Only a full path is taken as it stands: a bare
    // name must not be resolved against whatever folder the caller happens to be in.
    std::string tried;
    bool gone = false;
    if (IsFullPath(infPath)) gone = DeleteAnyway(tried = infPath);
    if (!gone && !windows.empty() && !name.empty()) {
        gone = DeleteAnyway(tried = windows + "\\INF\\OTHER\\" + name);
        if (!gone) DeleteAnyway(tried = windows + "\\INF\\" + name);
    }
    char pnf[vn::kMaxText];
    if (PnfPathFor(tried.c_str(), pnf, sizeof pnf)) DeleteAnyway(pnf);

    char catalog[vn::kMaxText];
    if (!system.empty() && CatalogNameFor(name.c_str(), catalog, sizeof catalog))
        DeleteAnyway(system + kCatalogFolder + catalog);

    // The 9x family's driver index; the system builds it again.
    if (!windows.empty()) {
        DeleteAnyway(windows + "\\INF\\DRVIDX.BIN");
        DeleteAnyway(windows + "\\INF\\DRVDATA.BIN");
    }
}

}  // namespace

void CleanUpDeviceInf(HDEVINFO set, SP_DEVINFO_DATA* device) {
    vn::RegKey key(System().OpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_ALL_ACCESS));
    if (!key) return;
    char infPath[vn::kMaxText] = {};
    DWORD size = sizeof infPath - 1;  // keeps a terminator after a value that fills the buffer
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "InfPath", nullptr, &type, reinterpret_cast<BYTE*>(infPath), &size) !=
        ERROR_SUCCESS)
        return;
    if (infPath[0]) DeleteInfFiles(infPath);
}

}  // namespace vnsetup
