#include "keyfunc/toolhelp.h"

#include "common/handles.h"
#include "common/text.h"

namespace vn {
namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

struct Functions {
    CreateSnapshotFn snapshot = nullptr;
    ProcessWalkFn first = nullptr;
    ProcessWalkFn next = nullptr;
};

const Functions& Lookup() {
    static const Functions functions = [] {
        Functions f;
        // KERNEL32 stays loaded for the life of every process: no reference is kept.
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        if (!kernel) return f;
        f.snapshot = reinterpret_cast<CreateSnapshotFn>(GetProcAddress(kernel, "CreateToolhelp32Snapshot"));
        f.first = reinterpret_cast<ProcessWalkFn>(GetProcAddress(kernel, "Process32First"));
        f.next = reinterpret_cast<ProcessWalkFn>(GetProcAddress(kernel, "Process32Next"));
        return f;
    }();
    return functions;
}

}  // namespace

bool ToolhelpAvailable() {
    const Functions& f = Lookup();
    return f.snapshot && f.first && f.next;
}

bool SnapshotProcesses(std::vector<ProcessEntry>* processes) {
    processes->clear();
    if (!ToolhelpAvailable()) return false;
    const Functions& f = Lookup();
    FileHandle snapshot(f.snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = f.first(snapshot.get(), &entry); more; more = f.next(snapshot.get(), &entry)) {
        ProcessEntry e{};
        e.id = entry.th32ProcessID;
        e.parentId = entry.th32ParentProcessID;
        CopyTruncated(e.exeFile, sizeof e.exeFile, entry.szExeFile);
        processes->push_back(e);
        entry.dwSize = sizeof entry;
    }
    return true;
}

}  // namespace vn
