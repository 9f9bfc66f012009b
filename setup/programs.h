// The programs the script names: closed before the copy, started after the installation.
#pragma once
#include "setup/profile.h"
#include "setup/run.h"

namespace setup {

// "Kill Programs": the window found by class and title is closed (9x family) or its process ended.
void KillPrograms(const SetupRun& run, const FileProfile& profile, const setupscript::Folders& folders);

// "Run Programs": each opened with the shell's default verb, not waited for.
void RunPrograms(const FileProfile& profile, const setupscript::Folders& folders);

}  // namespace setup
