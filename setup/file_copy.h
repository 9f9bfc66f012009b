// Copying the "Copy Files" list from the medium or out of a cabinet.
#pragma once
#include "setup/install_work.h"
#include "setup/profile.h"
#include "setup/uninstall_record.h"

namespace setup {

// Reads "Copy Files" in script order.
std::vector<FileRecord> ReadCopyFiles(const FileProfile& profile, const setupscript::Folders& folders);

// Copies every record; false (the run's failure set) when the cabinet could not be read or a file
// could not be written. Stops early when the run is cancelled.
bool CopyFiles(InstallShared& shared, const UninstallRecord& record);

// Removes the temporary folder with what is left in it.
void RemoveTempFolder(InstallShared& shared);

}  // namespace setup
