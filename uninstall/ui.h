// The uninstaller's windows: the background window with its confirmation, the progress dialog
// whose worker thread runs the stages, the shared-file question and the result dialog.
#pragma once
#include "uninstall/run.h"

namespace uninst {

// Shows the background window and runs the whole removal under user control; returns when done.
void RunUninstall(UninstallRun& run);

}  // namespace uninst
