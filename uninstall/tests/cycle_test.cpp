// A medium installed by the real setup.exe and removed again by the real VNUninst.exe: the
// registry and the file tree are as they were before, but for what must stay.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "uninstall/resource.h"
#include "uninstall/tests/dialogs.h"

namespace {

using namespace uninsttest;

using Snapshot = std::set<std::string>;

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
        out.insert(label + "\\" + path + " [" + name + "]=" + std::string(reinterpret_cast<char*>(data), d));
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

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

// The parts of the prefix an installation may change: the machine's and the user's software
// keys (without the class registrations, the 32-bit view, Wine's own settings and the system's
// own branch, of which only the uninstall records, the start-up entries and the shell folders are
// kept), the system's list of boot-time operations, the Windows folder's top level and system
// folder, and the test's own folder.
Snapshot Take(const std::string& testFolder) {
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
    DumpFolder(WindowsFolder(), s, false);
    DumpFolder(WindowsFolder() + "\\system32", s, false);
    DumpFolder(testFolder, s, true);
    return s;
}

std::string Differences(const Snapshot& a, const Snapshot& b) {
    std::string text;
    for (const std::string& s : a)
        if (!b.count(s)) text += "  gone: " + s.substr(0, 200) + "\n";
    for (const std::string& s : b)
        if (!a.count(s)) text += "  new:  " + s.substr(0, 200) + "\n";
    return text;
}

TEST(InstallCycle, UninstallAfterInstallLeavesTheSystemAsItWas) {
    vntest::TempDir dir;
    std::string medium = dir.file("medium"), product = dir.file("Product");
    ASSERT_TRUE(CreateDirectoryA(medium.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((medium + "\\files").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(product.c_str(), nullptr));
    std::string bin = vntest::ExeFolder() + "..\\bin\\";
    const std::string clean = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnCycle\\CleanRegs";
    ASSERT_TRUE(CopyFileA((bin + "setup.exe").c_str(), (medium + "\\setup.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((bin + "VNUninst.exe").c_str(), (medium + "\\files\\VNUninst.exe").c_str(), FALSE));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\files\\VnCycle.dll", "library"));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\files\\VnCycle.hlp", "help"));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\SETUPNT.INI",
        "[Setup]\r\nProductName=Tessaro Cycle\r\nUninstallKey=VnCycle\r\nSrcFileDir=files\r\n"
        "[Strings]\r\nOut=" + product + "\r\n"
        "[Copy Files]\r\nVNUninst.exe=%Out%\r\nVnCycle.dll=%Out%\r\nVnCycle.hlp=%Out%\r\n"
        "[Add Registry]\r\nv=HKLM, Software\\VnCycle, Setting, 0, on\r\nk=HKCU, Software\\VnCycle\\Keys\r\n"
        // The keys made to hold those entries go too, once empty.
        "c=HKLM, " + clean + "\\HKEY_LOCAL_MACHINE, Software\\VnCycle@, 0,\r\n"
        "u=HKLM, " + clean + "\\HKEY_CURRENT_USER, Software\\VnCycle, 0,\r\n"));
    Snapshot before = Take(dir.path());

    // Only the system folders on the path: setup starts the service by name at its end, and the
    // real one in the output folder would stay running.
    vntest::ChildOptions quiet;
    quiet.env.push_back(vntest::SystemPathEntry());
    ASSERT_EQ(vntest::RunProgram("\"" + medium + "\\setup.exe\" /S /H /NR", quiet), 0);
    ASSERT_TRUE(GetFileAttributesA((product + "\\VnCycle.dll").c_str()) != INVALID_FILE_ATTRIBUTES);
    Snapshot installed = Take(dir.path());
    EXPECT_NE(installed, before);

    // Started as the system starts it: the uninstall string in the program's folder.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + product + "\\VNUninst.exe\" VnCycle";
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, product.c_str(), &si, &pi));
    vn::Handle launcher(pi.hProcess), thread(pi.hThread);
    HWND box = WaitDialog("Tessaro Cycle Uninstallation");
    ASSERT_TRUE(box);
    DWORD copyPid = 0;
    GetWindowThreadProcessId(box, &copyPid);
    vn::Handle copy(OpenProcess(SYNCHRONIZE, FALSE, copyPid));
    Click(box, IDYES);
    HWND result = WaitDialog("Uninstall Result");
    ASSERT_TRUE(result);
    Click(result, IDC_FINISH);
    EXPECT_EQ(WaitForSingleObject(copy.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(launcher.get(), 20000), WAIT_OBJECT_0);

    Snapshot after = Take(dir.path());
    // What must stay: the system's list of deletions at the next start, which now also names the
    // uninstaller's temporary copy in case the system could not remove it when its last handle
    // closed. Compared without that value, before and after are the same.
    Snapshot compared;
    for (const std::string& s : after)
        if (before.count(s) || s.find("PendingFileRenameOperations") == std::string::npos) compared.insert(s);
    for (const std::string& s : before)
        if (s.find("PendingFileRenameOperations") != std::string::npos && !after.count(s)) compared.insert(s);
    EXPECT_EQ(compared, before) << Differences(before, compared);
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnCycle");
}

}  // namespace
