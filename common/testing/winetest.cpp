#include "common/testing/winetest.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/handles.h"

namespace vntest {
namespace {

const char kChildVar[] = "VNTEST_CHILD";

std::string SelfPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string BaseName(const std::string& path) {
    size_t pos = path.find_last_of("\\/");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

// Builds an environment block: the current one with the additions (same names replaced).
std::vector<char> BuildEnvironment(const std::vector<std::string>& additions) {
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p && *p; p += std::strlen(p) + 1) entries.emplace_back(p);
    if (block) FreeEnvironmentStringsA(block);
    for (const std::string& add : additions) {
        std::string name = add.substr(0, add.find('=') + 1);
        bool replaced = false;
        for (std::string& e : entries) {
            if (_strnicmp(e.c_str(), name.c_str(), name.size()) == 0) {
                e = add;
                replaced = true;
            }
        }
        if (!replaced) entries.push_back(add);
    }
    std::vector<char> out;
    for (const std::string& e : entries) out.insert(out.end(), e.c_str(), e.c_str() + e.size() + 1);
    out.push_back('\0');
    return out;
}

}  // namespace

bool InChild() { return std::getenv(kChildVar) != nullptr; }

const char* TestLocale() { return std::getenv("VNTEST_LANG"); }

void SetProgramWindowsVersion(const char* exeName, const char* version) {
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!version) {
        DeleteRegTree(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    vn::RegKey k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(),
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(k.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(std::strlen(version) + 1));
    }
}

int RunProgram(const std::string& commandLine, const ChildOptions& options) {
    std::vector<char> block = BuildEnvironment(options.env);
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, block.data(), nullptr, &si, &pi))
        return -1;
    vn::Handle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, Scaled(options.timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

int RunSelf(const char* gtestFilter, const ChildOptions& options) {
    std::string self = SelfPath();
    std::string exe = BaseName(self);
    if (options.windowsVersion) SetProgramWindowsVersion(exe.c_str(), options.windowsVersion);
    ChildOptions opts = options;
    opts.env.push_back(std::string(kChildVar) + "=1");
    std::string cmd = "\"" + self + "\" --gtest_filter=" + gtestFilter;
    int rc = RunProgram(cmd, opts);
    if (options.windowsVersion) SetProgramWindowsVersion(exe.c_str(), nullptr);
    return rc;
}

std::string CdromBackingFolder(char letter) {
    char drive = static_cast<char>(letter | 0x20);
    const char* root = std::getenv("VNTEST_CDROM_ROOT");  // Unix folder set by the test rig
    if (!root) return std::string();
    std::string path = std::string("Z:") + root + "/cdrom-" + drive;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ExeFolder() {
    std::string self = SelfPath();
    return self.substr(0, self.find_last_of("\\/") + 1);
}

void DeleteRegTree(HKEY hive, const char* path) { SHDeleteKeyA(hive, path); }

TempDir::TempDir() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%svntest_%lu_%u", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    // SHFileOperation needs a double-zero-terminated list.
    std::string from = path_;
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    vn::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!f) return false;
    DWORD written = 0;
    return WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

DWORD Scaled(DWORD ms) {
    static const DWORD scale = [] {
        const char* text = std::getenv("VN_TIME_SCALE");
        long n = text ? std::strtol(text, nullptr, 10) : 1;
        return n >= 1 && n <= 100 ? static_cast<DWORD>(n) : 1u;
    }();
    return ms == INFINITE ? ms : ms * scale;
}

namespace {

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) { return PumpUntil(pred, Scaled(timeoutMs)); }

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

std::string WindowText(HWND w) {
    char text[4096] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, Scaled(5000), &n);
    return text;
}

std::string SystemPathEntry() {
    char system[MAX_PATH], windows[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string("PATH=") + system + ";" + windows;
}

std::vector<char> SystemPathEnvironment() { return BuildEnvironment({SystemPathEntry()}); }

}  // namespace vntest
