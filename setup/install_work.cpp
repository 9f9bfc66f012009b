#include "setup/install_work.h"

#include <commctrl.h>
#include <prsht.h>

#include "setup/driver_step.h"
#include "setup/file_copy.h"
#include "setup/programs.h"
#include "setup/registry_work.h"

namespace setup {

std::string Destination(const FileRecord& r) { return r.folder + "\\" + (r.target.empty() ? r.source : r.target); }

void CreateFolderLevels(const std::string& folder) {
    for (std::size_t at = folder.find('\\', 3); ; at = folder.find('\\', at + 1)) {
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
        if (at == std::string::npos) break;
    }
}

namespace {

void MakeDestination(const SetupRun& run, const UninstallRecord& record) {
    std::string folder = run.destination;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.empty() || GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    record.Directory(folder, "0");
    CreateFolderLevels(folder);
}

}  // namespace

DWORD WINAPI InstallThread(void* param) {
    auto& shared = *static_cast<InstallShared*>(param);
    SetupRun& run = *shared.run;
    FileProfile profile(run.scriptPath);
    const setupscript::Folders folders = RunFolders(run);
    const UninstallRecord record(run);

    InterlockedExchange(&shared.busy, 1);
    KillPrograms(run, profile, folders);
    if (run.askPath) MakeDestination(run, record);
    shared.files = ReadCopyFiles(profile, folders);
    bool copied = CopyFiles(shared, record);
    if (shared.cancelled) return 1;
    if (copied) {
        PostMessageA(shared.page, kCopyDone, 0, 0);
        InstallDrivers(shared, profile, record);
        InterlockedExchange(&shared.busy, 0);
        AddRegistry(profile, folders, record);
        AddRegistryFiles(run, profile, folders);
        if (!run.preload) RunPrograms(profile, folders);
    }
    RemoveTempFolder(shared);
    InterlockedExchange(&shared.busy, 0);
    PostMessageA(shared.sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    return 0;
}

}  // namespace setup
