// The installation work that the Installation Procedures page starts on its worker thread, and
// what the page and the worker share.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "setup/run.h"

namespace setup {

// One "Copy Files" entry.
struct FileRecord {
    DWORD size = 0;            // from the medium or the cabinet; 0 when unknown
    std::string folder;        // destination folder, placeholders replaced
    std::string source;        // the entry's key
    std::string target;        // destination name; empty: the source name
    std::string backup;        // the destination as it was before this run overwrote it
    bool extracted = false;    // lies in the temporary folder
    bool copied = false;       // this run copied it over the destination
};

struct InstallShared {
    SetupRun* run = nullptr;
    HWND sheet = nullptr;
    HWND page = nullptr;
    HANDLE pause = nullptr;      // manual reset; reset while the "Exit Setup" question is open
    volatile LONG pausing = 0;   // set before the pause event is reset, cleared after it is set
    volatile LONG cancelled = 0;
    volatile LONG percent = 0;   // for display only
    volatile LONG busy = 0;      // files are copied or drivers installed: the hourglass shows
    volatile LONG current = -1;  // the record being copied, for display only
    volatile LONG posted = 0;    // a progress message waits for the page
    DWORD postedAt = 0;          // when the worker posted the last one (the worker's own)
    LONG shown = -1;             // the record the page shows (the page's own)
    std::vector<FileRecord> files;
    std::string tempFolder;      // cabinet extraction and the backups of overwritten files
};

// Where a record is copied to.
std::string Destination(const FileRecord& r);

// Posted by the worker to the page when the progress or the current file changed, at most once
// in this many milliseconds while files are copied.
constexpr UINT kProgressChanged = WM_APP + 1;
constexpr DWORD kProgressInterval = 50;
// Posted by the worker when the copy is over: the page shows the registry and driver stage.
constexpr UINT kCopyDone = WM_APP + 2;

// The worker thread's body: the installation steps, then Next is pressed.
DWORD WINAPI InstallThread(void* shared);

// Creates a folder and every missing level above it.
void CreateFolderLevels(const std::string& folder);

// After "Exit Setup" on the progress page, once the worker has stopped: removes what this run
// copied and puts back what it overwrote.
void RollBack(InstallShared& shared);

}  // namespace setup
