// The toolhelp process functions, looked up by name in KERNEL32.DLL once per process: Windows NT
// 4.0 lacks them, and there process tracking is simply unavailable.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

namespace vn {

struct ProcessEntry {
    DWORD id;
    DWORD parentId;
    char exeFile[MAX_PATH];
};

// True when the three process functions exist.
bool ToolhelpAvailable();

// Every running process, in the order of the snapshot; false when no snapshot could be taken.
bool SnapshotProcesses(std::vector<ProcessEntry>* processes);

}  // namespace vn
