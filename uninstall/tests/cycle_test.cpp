// A medium installed by the real setup.exe and removed again by the real VNUninst.exe: the
// registry and the file tree are as they were before, but for what must stay.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/handles.h"
#include "common/testing/snapshot.h"
#include "common/testing/winetest.h"
#include "uninstall/resource.h"
#include "uninstall/tests/dialogs.h"

namespace {

using namespace uninsttest;
using vntest::Snapshot;
using vntest::TakeSnapshot;

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
    Snapshot before = TakeSnapshot({dir.path()});

    // Only the system folders on the path: setup starts the service by name at its end, and the
    // real one in the output folder would stay running.
    vntest::ChildOptions quiet;
    quiet.env.push_back(vntest::SystemPathEntry());
    ASSERT_EQ(vntest::RunProgram("\"" + medium + "\\setup.exe\" /S /H /NR", quiet), 0);
    ASSERT_TRUE(GetFileAttributesA((product + "\\VnCycle.dll").c_str()) != INVALID_FILE_ATTRIBUTES);
    Snapshot installed = TakeSnapshot({dir.path()});
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
    EXPECT_EQ(WaitForSingleObject(copy.get(), vntest::Scaled(20000)), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(launcher.get(), vntest::Scaled(20000)), WAIT_OBJECT_0);

    EXPECT_EQ("", vntest::SnapshotDifferences(before, TakeSnapshot({dir.path()})));
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnCycle");
}

}  // namespace
