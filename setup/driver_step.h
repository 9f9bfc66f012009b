// The driver step: the "Update Driver" entries installed the way the running Windows needs.
#pragma once
#include "setup/install_work.h"
#include "setup/profile.h"
#include "setup/uninstall_record.h"

namespace setup {

void InstallDrivers(InstallShared& shared, const FileProfile& profile, const UninstallRecord& record);

}  // namespace setup
