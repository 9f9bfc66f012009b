#include "setup/driver_step.h"

#include <setupapi.h>

#include "common/handles.h"
#include "common/text.h"
#include "drvsetup/vnsetup.h"
#include "setup/script/work_rules.h"

namespace setup {

namespace {

using setupscript::DriverEntry;

constexpr DWORD kSettleTime = 3000;     // after a device was installed
constexpr DWORD kPollInterval = 1000;   // while a re-detected device comes back
constexpr int kPolls = 30;
constexpr DWORD kInstallFlagForce = 1;  // INSTALLFLAG_FORCE
const char kPreloadValue[] = "Keyboard Preload Check";

// The driver setup library, loaded by name for each use; a missing library or export does nothing.
class DriverLibrary {
public:
    DriverLibrary() : module_(LoadLibraryA("vnsetup.dll")) {}
    template <typename Fn>
    Fn Get(const char* name) const {
        return module_ ? reinterpret_cast<Fn>(GetProcAddress(module_.get(), name)) : nullptr;
    }

private:
    vn::Module module_;
};

// Installs and counts the install only when a device with that description is connected.
int InstallThroughLibrary(const DriverEntry& e, const std::string& inf, bool callConfigMg) {
    DriverLibrary library;
    auto install = library.Get<decltype(&InstallPnPDeviceDriver)>("InstallPnPDeviceDriver");
    auto connected = library.Get<decltype(&GetConnectedDeviceNumber)>("GetConnectedDeviceNumber");
    if (!install || !connected) return 0;
    install(e[1].c_str(), inf.c_str(), e[5].c_str(), e[3].c_str(), e[4].c_str(), e.CopyFlag(), callConfigMg);
    return connected(e[1].c_str(), e[5].c_str(), e[3].c_str());
}

// Removes the device and waits until it is found again (at most 30 polls).
void Redetect(const std::string& hardwareId) {
    DriverLibrary library;
    auto remove = library.Get<decltype(&RemoveAndReenumerateDevice)>("RemoveAndReenumerateDevice");
    auto find = library.Get<decltype(&FindExistingDevice)>("FindExistingDevice");
    if (!remove || !find || !remove("", hardwareId.c_str())) return;
    for (int i = 0; i < kPolls && !find("", hardwareId.c_str()); ++i) Sleep(kPollInterval);
}

// Registers an INF with the system; the system's copy's path on success, else empty.
std::string RegisterInf(const std::string& inf, DWORD copyStyle) {
    vn::Module setupapi(LoadLibraryA("setupapi.dll"));
    using CopyFn = BOOL(WINAPI*)(const char*, const char*, DWORD, DWORD, char*, DWORD, DWORD*, char**);
    auto copy = setupapi ? reinterpret_cast<CopyFn>(GetProcAddress(setupapi.get(), "SetupCopyOEMInfA")) : nullptr;
    char systemCopy[vn::kMaxText] = {};
    if (!copy || !copy(inf.c_str(), nullptr, SPOST_PATH, copyStyle, systemCopy, sizeof systemCopy, nullptr, nullptr))
        return "";
    return systemCopy;
}

// The system's own updater (Windows Me); true when it installed the driver.
bool UpdateThroughSystem(const std::string& hardwareId, const std::string& inf) {
    vn::Module newdev(LoadLibraryA("newdev.dll"));
    using UpdateFn = BOOL(WINAPI*)(HWND, const char*, const char*, DWORD, BOOL*);
    auto update = newdev ? reinterpret_cast<UpdateFn>(GetProcAddress(newdev.get(), "UpdateDriverForPlugAndPlayDevicesA"))
                         : nullptr;
    BOOL reboot = FALSE;
    return update && update(nullptr, hardwareId.c_str(), inf.c_str(), kInstallFlagForce, &reboot) > 0;
}

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA((from + "\\*").c_str(), &data));
    if (!find) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + "\\" + name, to + "\\" + name);
            continue;
        }
        std::string target = to + "\\" + name;
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        CopyFileA((from + "\\" + name).c_str(), target.c_str(), FALSE);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    } while (FindNextFileA(find.get(), &data));
}

// Replaces a file in the system's INF folder, attributes normal before and after.
void ReplaceFile(const std::string& source, const std::string& target) {
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    CopyFileA(source.c_str(), target.c_str(), FALSE);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

class DriverStep {
public:
    DriverStep(const SetupRun& run, const UninstallRecord& record)
        : run_(run), record_(record), windows_(WindowsFolder()), callConfigMg_(run.iface.callConfigMg && !run.preload) {}

    void Run(const FileProfile& profile) {
        if (!run_.system.win2000OrLater && run_.keys.deleteInfIndex) {
            for (const char* index : {"\\INF\\DRVIDX.BIN", "\\INF\\DRVDATA.BIN"}) {
                SetFileAttributesA((windows_ + index).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((windows_ + index).c_str());
            }
        }
        for (const std::string& label : profile.Keys("Update Driver")) {
            DriverEntry e = setupscript::ReadDriverEntry(profile.Get("Update Driver", label.c_str(), ""));
            if (run_.system.win2000OrLater)
                Modern(e);
            else
                Older(e);
        }
    }

private:
    std::string MediumInf(const DriverEntry& e) const { return setupscript::EntryInf(run_.sourceFolder, e); }

    // The folder the driver files are taken from: a copy on disk when the medium is removable.
    const std::string& Local() {
        if (!local_.empty()) return local_;
        std::string drive = run_.sourceFolder.substr(0, 3);
        if (drive.size() == 2) drive += "\\";
        if (GetDriveTypeA(drive.c_str()) == DRIVE_FIXED) return local_ = run_.sourceFolder;
        local_ = setupscript::LocalMediumFolder(windows_, run_.keys.productName);
        if (GetFileAttributesA(local_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            CreateFolderLevels(local_);
            record_.Directory(local_, "1");
        }
        CopyTree(run_.sourceFolder, local_);
        return local_;
    }

    void Counted(int installed) {
        if (installed <= 0) return;
        count_ += installed;
        Sleep(kSettleTime);
    }

    void Modern(const DriverEntry& e) {
        std::string systemInf = RegisterInf(setupscript::EntryInf(Local(), e), SP_COPY_NOOVERWRITE);
        if (systemInf.empty()) return;
        Counted(InstallThroughLibrary(e, systemInf, true));
        record_.File(systemInf);
    }

    void Older(const DriverEntry& e) {
        if (run_.system.winMe) {
            if (UpdateThroughSystem(e[9], MediumInf(e))) {
                std::string copied = windows_ + "\\inf\\INTERNET\\" + e[3] + e[2];
                if (GetFileAttributesA(copied.c_str()) != INVALID_FILE_ATTRIBUTES) record_.File(copied);
                Counted(1);
            } else {
                MeFallback(e);
            }
            return;
        }
        if (!e.Unknown()) {
            int installed = InstallThroughLibrary(e, MediumInf(e), callConfigMg_);
            Counted(installed);
            if (installed > 0) return;
        }
        if (e[7].empty()) return;
        std::string target = windows_ + "\\inf\\" + e[2];
        ReplaceFile(run_.sourceFolder + "\\" + e[7], target);
        record_.File(target);
        if (e.Unknown()) Redetect(e[9]);
    }

    void MeFallback(const DriverEntry& e) {
        const std::string& local = Local();
        DeleteFileA((windows_ + "\\inf\\" + e[2]).c_str());
        if (run_.preload) {
            vn::RegKey key;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_ALL_ACCESS,
                              key.out()) != ERROR_SUCCESS)
                return;
            std::string command = setupscript::PreloadCommand(local, e, kPreloadValue);
            RegSetValueExA(key.get(), kPreloadValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
            return;
        }
        std::string systemInf = RegisterInf(setupscript::EntryInf(local, e), 0);
        if (systemInf.empty()) return;
        if (e.Unknown()) Redetect(e[9]);
        record_.File(systemInf);
    }

    const SetupRun& run_;
    const UninstallRecord& record_;
    const std::string windows_;
    const bool callConfigMg_;
    std::string local_;
    int count_ = 0;  // kept for the entries' waits; nothing else reads it
};

}  // namespace

void InstallDrivers(InstallShared& shared, const FileProfile& profile, const UninstallRecord& record) {
    DriverStep(*shared.run, record).Run(profile);
}

}  // namespace setup
