// "Add Registry", "Add Registry Files" and the check of the launch command they leave behind.
#pragma once
#include "setup/profile.h"
#include "setup/run.h"
#include "setup/uninstall_record.h"

namespace setup {

void AddRegistry(const FileProfile& profile, const setupscript::Folders& folders, const UninstallRecord& record);
void AddRegistryFiles(const SetupRun& run, const FileProfile& profile, const setupscript::Folders& folders);

// True when HKLM "...\HOTKEY01" ends up with a usable "ActionCommand" (an existing file),
// found directly or through the key its "PathInRegName" names.
bool LaunchCommandUsable();

}  // namespace setup
