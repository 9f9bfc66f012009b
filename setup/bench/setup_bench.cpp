// Installs a medium of 200 files of 100 kB (half loose, half in a cabinet) and a registry file
// with the real setup.exe, silently, and prints the time against copying the same files with
// xcopy and importing the same registry file with regedit under the same Wine.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Here() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    return std::string(path, n);
}

// Runs a command line and returns its duration in milliseconds (-1 when it could not start).
double Timed(std::string command) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
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

// A medium folder with setup.exe and a script that takes its files loose or from the cabinet.
std::string Medium(const std::string& name, const std::string& medium, const std::string& target, bool cabinet) {
    std::string folder = Here() + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA((Here() + "..\\bin\\setup.exe").c_str(), (folder + "\\setup.exe").c_str(), FALSE);
    // Files come from the sub-folder, or, without one, out of the cabinet.
    std::string script = "[Setup]\r\nProductName=Bench\r\nUninstallKey=VnSetupBench\r\n";
    script += cabinet ? "CabFile=TRUE\r\nCabFileName=" + medium + "\\bench.cab\r\n" : "SrcFileDir=" + medium + "\r\n";
    script += "[Copy Files]\r\n";
    for (int i = 0; i < 100; ++i)
        script += (cabinet ? "p" : "l") + std::to_string(i) + ".bin=" + target + "\r\n";
    if (!cabinet) script += "[Add Registry Files]\r\nbench=bench.reg\r\n";
    Write(folder + "\\SETUPNT.INI", script);
    return folder + "\\setup.exe /S /H /NR";
}

}  // namespace

int main() {
    const std::string medium = Here() + "setup_medium";
    const std::string target = Here() + "bench_target";
    std::string loose = Medium("bench_loose", "..\\setup_medium\\files", target, false);
    std::string packed = Medium("bench_packed", "..\\setup_medium\\files", target, true);
    const int rounds = 3;
    double setupMs = 0, copyMs = 0;
    for (int r = 0; r < rounds; ++r) {
        Empty(target);
        setupMs += Timed(loose) + Timed(packed);
        if (r == rounds - 1) std::printf("files installed by setup: %d of 200\n", Count(target));
        Empty(target);
        copyMs += Timed("xcopy /Y /Q /I \"" + medium + "\\files\\l*.bin\" \"" + target + "\"") +
                  Timed("xcopy /Y /Q /I \"" + medium + "\\cabsrc\\*.bin\" \"" + target + "\"") +
                  Timed("regedit /s \"" + medium + "\\files\\bench.reg\"");
    }
    Empty(target);
    std::printf("setup.exe, 200 files of 100 kB (100 from a cabinet) and a registry file: %.0f ms\n", setupMs / rounds);
    std::printf("xcopy of the same files and regedit /s of the same file:            %.0f ms\n", copyMs / rounds);
    std::printf("ratio: %.2f (goal <= 1.5)\n", setupMs / copyMs);
    return 0;
}
