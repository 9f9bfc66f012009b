// Internal handles on the library's state for its tests and benchmark.
#pragma once
#include <windows.h>

namespace vnhid {

// How long an arrival waits before opening the device (one second unless a test shortens it).
void SetSettleTime(DWORD ms);
bool ShellHookInstalled();
// The running reader threads in list order (for the benchmark's processor-time figures).
int ReaderThreads(HANDLE* threads, int max);
// How readers are ended and how long the stopping side waits for each step (tests put in an end
// that leaves the thread running). Null restores TerminateThread and two seconds.
using ThreadEnd = BOOL(WINAPI*)(HANDLE thread, DWORD exitCode);
void SetReaderEnd(ThreadEnd end, DWORD waitMs);

}  // namespace vnhid
