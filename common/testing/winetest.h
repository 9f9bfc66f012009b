// Helpers for tests that run under Wine: child runs under another Windows version or language,
// the prepared CD-ROM drives, registry clean-up, temporary folders and waiting with a message pump.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vntest {

struct ChildOptions {
    const char* windowsVersion = nullptr;  // "win95", "win98", "winme", "nt40", "win2k", "winxp", "win2003"
    std::vector<std::string> env;          // further NAME=value entries
    DWORD timeoutMs = 60000;
};

// Runs this test program again with only the tests that match gtestFilter, under the given options,
// and returns the child's exit status (0 when every selected test passed; -1 when it could not run).
// Inside the child, InChild() is true, so a test can do its real work only there.
int RunSelf(const char* gtestFilter, const ChildOptions& options);
bool InChild();

// The Unix locale this program was started under by a vn_test_locale() run (for example
// "ja_JP.UTF-8", which makes the ANSI code page 932), or null in the ordinary run. Wine takes
// the code page from the Unix locale when a program starts from the shell, not from the
// environment a Windows parent passes, so code-page tests are separate CTest runs.
const char* TestLocale();

// Runs a program (full command line) with optional environment additions and Windows version,
// waits for it (options.timeoutMs, scaled) and returns its exit status (-1 on failure to start or
// time-out).
int RunProgram(const std::string& commandLine, const ChildOptions& options = {});

// Sets or removes (version == nullptr) Wine's reported Windows version for one program file name.
void SetProgramWindowsVersion(const char* exeName, const char* version);

// The test bed maps the drive letters R:, S: and T: as CD-ROM drives onto folders.
// CdromBackingFolder gives that folder's path as Windows sees it (writable, even when the drive
// is reported as a CD-ROM). Removing the folder makes the drive report no disc.
std::string CdromBackingFolder(char letter);

// Full path of this test program's folder, with a trailing backslash.
std::string ExeFolder();

// Deletes a registry key with everything below it; no error when missing.
void DeleteRegTree(HKEY hive, const char* path);

// A fresh, empty folder below %TEMP%, deleted with its contents at scope end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // no trailing backslash
    std::string file(const char* name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Writes a file with the given bytes; true on success.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// A test's time limit in ms, multiplied by the whole number in VN_TIME_SCALE (1 when unset): the
// test rig sets it where programs run several times slower (under full-system emulation), so that
// slowness is not reported as failure. Only limits are scaled, never delays or lower bounds.
DWORD Scaled(DWORD ms);

// True when a launch took the key function library's whole window search (about a second) while
// the tests run under a time scale: there a program takes longer than that to show its window, so
// the library rightly does not track it, and a check of the tracking cannot hold.
inline bool LaunchOutlastedTheWindowSearch(DWORD launchMs) { return Scaled(1000) > 1000 && launchMs >= 1000; }

// Pumps this thread's messages until pred() is true or Scaled(timeoutMs) passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);

// Pumps messages for the given time.
void PumpFor(DWORD ms);

// A window's text, asked with a time limit so that a hung program fails the test instead of
// blocking it.
std::string WindowText(HWND w);

// "PATH=" with only the system folders, for ChildOptions::env, and this program's environment with
// that path as a CreateProcess environment block. The test bed's path holds the output folder, so a
// program under test that starts another by bare name would otherwise find the real one there
// instead of the stand-in beside it.
std::string SystemPathEntry();
std::vector<char> SystemPathEnvironment();

}  // namespace vntest
