// The state of one setup run, shared by the start-up, the background window and the wizard.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "setup/script/cmdline.h"
#include "setup/script/fields.h"
#include "setup/script/script.h"
#include "setup/util/installer_util.h"

namespace setup {

// Failure codes: the result page names the file and tells what to do.
constexpr int kCabinetFailure = 3;  // the cabinet could not be read
constexpr int kFileFailure = 4;     // a file could not be written: the copy stopped there

inline bool DiskFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

struct SetupRun {
    HINSTANCE instance = nullptr;
    instutil::SystemKind system;
    std::string sourceFolder;  // the program's folder, without a trailing backslash
    std::string scriptPath;
    setupscript::SetupKeys keys;
    setupscript::InterfaceState iface;

    // Page flags from the script, changed by the command line.
    bool askLicense = false, askType = false, askPath = false, askProgramFolder = false;
    // Run flags from the command line.
    bool hidden = false, silent = false, noRestart = false, preload = false;
    int failureCode = 0;  // kCabinetFailure or kFileFailure
    std::string failedFile;  // the file the failure names
    DWORD failedError = 0;   // why a file could not be written

    char userLocale[16] = "00000409";
    std::string licencePath;  // empty: no agreement text
    DWORD licenceLength = 0;
    std::string destination;  // the system folder unless changed
    std::string programFolder;

    // Files that were in use: destination and side copy, replaced at the next start.
    std::vector<std::pair<std::string, std::string>> renames;

    int bandHeight = 0;  // the wizard is never placed above it
};

std::string WindowsFolder();
std::string SystemFolder();
// What the script's placeholders stand for in this run.
setupscript::Folders RunFolders(const SetupRun& run);

using instutil::FillIn;
using instutil::LoadText;

// Start-up: classify the system, read the script, pick the licence text, run "PreRun Programs",
// apply the command line. False (after telling the user) when setup cannot go on.
bool StartUp(SetupRun& run, const char* commandLine);
// Applies the command-line options to the run.
void ApplyCommandLine(SetupRun& run, const setupscript::CommandOptions& options);

// On Windows 95 the C runtime library is not part of every system: makes sure systemFolder holds
// the one this program runs with, copying it there when missing. False when it is missing and
// could not be copied.
bool EnsureRuntime(const char* systemFolder);

// The background window and the wizard; returns when the wizard has ended.
int RunBackground(SetupRun& run);
// The wizard (modal on the given owner).
void RunWizard(SetupRun& run, HWND owner);

// End of the run: starts the hot-key service when no window of it exists.
void StartService();

}  // namespace setup
