// Installs a medium of 200 files of 100 kB (half loose, half in a cabinet) and a registry file
// with the real setup.exe in one silent run, and prints the time against copying the same files
// with xcopy and importing the same registry file with regedit under the same Wine. A run of an
// empty script shows what setup's own start and end cost.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/testing/winetest.h"

namespace {

std::string Here() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    return std::string(path, n);
}

// Runs a command line and returns its duration in milliseconds (-1 when it could not start).
// Setup gets only the system folders on its path: the service it starts at its end is not found,
// as on a machine where it is not installed yet.
double Timed(std::string command) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> env = vntest::SystemPathEnvironment();
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, env.data(), nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&b);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

void Write(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

void Empty(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + data.cFileName).c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
}

int Count(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*.bin").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++n;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
}

// A medium folder with setup.exe and a script; returns setup's command line.
std::string Medium(const std::string& name, const std::string& script) {
    std::string folder = Here() + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA((Here() + "..\\bin\\setup.exe").c_str(), (folder + "\\setup.exe").c_str(), FALSE);
    Write(folder + "\\SETUPNT.INI", "[Setup]\r\nProductName=Bench\r\nUninstallKey=VnSetupBench\r\n" + script);
    return folder + "\\setup.exe /S /H /NR";
}

}  // namespace

int main() {
    const std::string medium = Here() + "setup_medium";
    const std::string target = Here() + "bench_target";
    // The loose files lie beside the cabinet in the medium's file folder.
    std::string script = "CabFile=TRUE\r\nCabFileName=bench.cab\r\nSrcFileDir=..\\setup_medium\\files\r\n[Copy Files]\r\n";
    for (int i = 0; i < 100; ++i) script += "l" + std::to_string(i) + ".bin=" + target + "\r\n";
    for (int i = 0; i < 100; ++i) script += "p" + std::to_string(i) + ".bin=" + target + "\r\n";
    script += "[Add Registry Files]\r\nbench=bench.reg\r\n";
    const std::string install = Medium("bench_medium", script);
    const std::string nothing = Medium("bench_empty", "");
    const int rounds = 5;  // the test bed is shared: more rounds, steadier figures
    double setupMs = 0, emptyMs = 0, copyMs = 0;
    for (int r = 0; r < rounds; ++r) {
        Empty(target);
        setupMs += Timed(install);
        if (r == rounds - 1) std::printf("files installed by setup: %d of 200\n", Count(target));
        emptyMs += Timed(nothing);
        Empty(target);
        copyMs += Timed("xcopy /Y /Q /I \"" + medium + "\\files\\l*.bin\" \"" + target + "\"") +
                  Timed("xcopy /Y /Q /I \"" + medium + "\\cabsrc\\*.bin\" \"" + target + "\"") +
                  Timed("regedit /s \"" + medium + "\\files\\bench.reg\"");
    }
    Empty(target);
    std::printf("setup.exe, 200 files of 100 kB (100 from a cabinet) and a registry file: %.0f ms\n", setupMs / rounds);
    std::printf("  of which setup's start and end (a run of an empty script):        %.0f ms\n", emptyMs / rounds);
    std::printf("xcopy of the same files and regedit /s of the same file:            %.0f ms\n", copyMs / rounds);
    std::printf("ratio: %.2f (goal <= 1.5)\n", setupMs / copyMs);
    return 0;
}
