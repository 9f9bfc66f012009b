#include "common/testing/snapshot.h"

#include <windows.h>

#include <cstdio>
#include <fstream>

#include "common/handles.h"

namespace vntest {
namespace {

std::string Printable(const BYTE* data, DWORD size) {
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        if (data[i] >= 0x20 && data[i] < 0x7F && data[i] != '\\') {
            text += static_cast<char>(data[i]);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", data[i]);
            text += hex;
        }
    }
    return text;
}

void DumpKey(HKEY root, const std::string& label, const std::string& path, Snapshot& out) {
    for (const char* skip : {"Software\\Classes", "Software\\Wow6432Node", "Software\\Wine", "Software\\Microsoft"})
        if (path == skip) return;
    vn::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return;
    out.insert(label + "\\" + path);
    for (DWORD i = 0;; ++i) {
        char name[1024] = {};
        BYTE data[4096] = {};
        DWORD n = sizeof name, d = sizeof data, type = 0;
        LONG r = RegEnumValueA(key.get(), i, name, &n, nullptr, &type, data, &d);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        out.insert(label + "\\" + path + " [" + name + "]=" + Printable(data, d));
    }
    char sub[1024];
    for (DWORD i = 0; RegEnumKeyA(key.get(), i, sub, sizeof sub) == ERROR_SUCCESS; ++i)
        DumpKey(root, label, path.empty() ? sub : path + "\\" + sub, out);
}

void DumpFolder(const std::string& folder, Snapshot& out, bool deep) {
    WIN32_FIND_DATAA data;
    vn::FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        out.insert(path + (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "\\" : ""));
        if (deep && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DumpFolder(path, out, true);
    } while (FindNextFileA(find.get(), &data));
}

// The system's list of operations at the next start: a registry value on the NT family, the
// Windows folder's "wininit.ini" on the 9x family.
bool BootOperation(const std::string& line) {
    return line.find("PendingFileRenameOperations") != std::string::npos ||
           (line.size() > 12 && lstrcmpiA(line.c_str() + line.size() - 12, "\\wininit.ini") == 0);
}

}  // namespace

Snapshot TakeSnapshot(const std::vector<std::string>& deepFolders) {
    Snapshot s;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const char* label = root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
        DumpKey(root, label, "Software", s);
        for (const char* path : {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"})
            DumpKey(root, label, path, s);
    }
    DumpKey(HKEY_LOCAL_MACHINE, "HKLM", "System\\CurrentControlSet\\Control\\Session Manager", s);
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (const char* sub : {"", "\\system32", "\\inf"}) DumpFolder(windows + std::string(sub), s, false);
    for (const std::string& folder : deepFolders) DumpFolder(folder, s, true);
    return s;
}

std::string SnapshotDifferences(const Snapshot& before, const Snapshot& after) {
    std::string text;
    for (const std::string& s : before)
        if (!after.count(s) && !BootOperation(s)) text += "gone: " + s.substr(0, 300) + "\n";
    for (const std::string& s : after)
        if (!before.count(s) && !BootOperation(s)) text += "new: " + s.substr(0, 300) + "\n";
    return text;
}

bool SaveSnapshot(const Snapshot& snapshot, const std::string& path) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : snapshot) f << line << '\n';
    return static_cast<bool>(f);
}

bool LoadSnapshot(const std::string& path, Snapshot* snapshot) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    snapshot->clear();
    for (std::string line; std::getline(f, line);) snapshot->insert(line);
    return true;
}

}  // namespace vntest
