// The uninstaller's decisions as plain code: roles, folders, entry names and the limits on removal.
#include <gtest/gtest.h>

#include "uninstall/rules.h"

using namespace uninst;

TEST(Rules, CommandLineRoles) {
    EXPECT_EQ(RoleFor({}), Role::InPlace);
    EXPECT_EQ(RoleFor({"/DeleteSelf"}), Role::InPlace);
    EXPECT_EQ(RoleFor({"Product"}), Role::Launcher);
    EXPECT_EQ(RoleFor({"Product", "/DeleteSelf", "C:\\P"}), Role::Working);
    EXPECT_EQ(RoleFor({"Product", "/deleteself", "C:\\P"}), Role::Quit);
    EXPECT_EQ(RoleFor({"Product", "/DeleteSelf"}), Role::Quit);
    EXPECT_EQ(RoleFor({"a", "b", "c", "d"}), Role::Quit);
    // Quotes and backslashes of a key survive the trip to the working copy.
    EXPECT_EQ(WorkingCopyCommand("C:\\T\\www1.tmp", "Kalvo \"Pro\"\\", "C:\\P F"),
              "\"C:\\T\\www1.tmp\" \"Kalvo \\\"Pro\\\"\\\\\" /DeleteSelf \"C:\\P F\"");
    EXPECT_TRUE(IsRecordKey("Tessaro Keyboard"));
    EXPECT_FALSE(IsRecordKey(""));
    EXPECT_FALSE(IsRecordKey("A\\B"));
}

TEST(Rules, FolderPlaceholders) {
    Folders f{"C:\\WIN", "C:\\WIN\\SYSTEM", "C:\\Prog"};
    auto strings = [](const std::string& name, std::string* out) {
        if (name != "AppDir") return false;
        *out = "D:\\App";
        return true;
    };
    EXPECT_EQ(ResolveFolder("", f, strings), "C:\\WIN\\SYSTEM");
    EXPECT_EQ(ResolveFolder("%11%", f, strings), "C:\\WIN\\SYSTEM");
    EXPECT_EQ(ResolveFolder("%10%", f, strings), "C:\\WIN");
    EXPECT_EQ(ResolveFolder("%99%", f, strings), "C:\\Prog");
    EXPECT_EQ(ResolveFolder("%12%", f, strings), "C:\\WIN\\System32\\Drivers");
    EXPECT_EQ(ResolveFolder("%17%", f, strings), "C:\\WIN\\Inf");
    EXPECT_EQ(ResolveFolder("%18%", f, strings), "C:\\WIN\\Help");
    EXPECT_EQ(ResolveFolder("AppDir", f, strings), "D:\\App");
    EXPECT_EQ(ResolveFolder("E:\\Other", f, strings), "E:\\Other");
}

TEST(Rules, RegistryEntryNames) {
    EXPECT_EQ(TrimAtSigns("Software\\Kalvo@@"), "Software\\Kalvo");
    EXPECT_EQ(TrimAtSigns("Software\\Kalvo\\\\Run@"), "Software\\Kalvo\\\\Run");
    EXPECT_EQ(TrimAtSigns("@@@"), "");
    EXPECT_EQ(KeyPathOfValueEntry("Software\\A\\B\\\\Value"), "Software\\A\\B");
    EXPECT_TRUE(SameRegData("", "0"));
    EXPECT_TRUE(SameRegData("Run", "Run"));
    EXPECT_FALSE(SameRegData("Run", ""));
}

TEST(Rules, FileKindsAndCompanions) {
    EXPECT_EQ(KindOf("VNUninst.exe"), FileKind::Uninstaller);
    EXPECT_EQ(KindOf("vnuninst.EXE"), FileKind::Uninstaller);
    EXPECT_EQ(KindOf("Vnuninst.exe"), FileKind::InUse);
    EXPECT_EQ(KindOf("Vnsetup.dll"), FileKind::InUse);
    EXPECT_EQ(KindOf("VNSetup.dll"), FileKind::Other);
    using V = std::vector<std::string>;
    EXPECT_EQ(Companions("C:\\H\\kbd.hlp", "kbd.hlp", "C:\\H"), (V{"C:\\H\\kbd.cnt", "C:\\H\\kbd.gid"}));
    EXPECT_EQ(Companions("C:\\W\\Help\\kbd.txt", "kbd.txt", "%18%"), (V{"C:\\W\\Help\\kbd.cnt", "C:\\W\\Help\\kbd.gid"}));
    EXPECT_EQ(Companions("C:\\W\\Inf\\oem3.INF", "oem3.INF", "%17%"), (V{"C:\\W\\Inf\\oem3.pnf"}));
    EXPECT_TRUE(Companions("C:\\P\\a.exe", "a.exe", "").empty());
    EXPECT_TRUE(Companions("C:\\W\\Help\\readme", "readme", "%18%").empty());
    EXPECT_EQ(StepForFile(false, FileKind::InUse, false, false, true), FileStep::Remove);
    EXPECT_EQ(StepForFile(false, FileKind::Uninstaller, false, false, true), FileStep::RemoveAtEnd);
    EXPECT_EQ(StepForFile(true, FileKind::Other, false, false, true), FileStep::Ask);
    EXPECT_EQ(StepForFile(true, FileKind::Other, true, false, true), FileStep::Remove);
    EXPECT_EQ(StepForFile(true, FileKind::Uninstaller, true, false, true), FileStep::Keep);
    EXPECT_EQ(StepForFile(true, FileKind::Other, false, true, true), FileStep::Keep);
    EXPECT_TRUE(StartsUninstaller("vnuninst.exe Other", "C:\\WIN\\SYSTEM"));
    EXPECT_TRUE(StartsUninstaller("C:\\WIN\\SYSTEM\\VNUninst.exe Other", "C:\\WIN\\SYSTEM"));
    EXPECT_FALSE(StartsUninstaller("C:\\Other\\VNUninst.exe X", "C:\\WIN\\SYSTEM"));
}

TEST(Rules, RemovalStaysWithinTheProduct) {
    Folders f{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32", "C:\\Program Files\\Kalvo"};
    EXPECT_TRUE(IsSafeFile("C:\\Program Files\\Kalvo", "VnDaemon.exe"));
    EXPECT_FALSE(IsSafeFile("C:\\Program Files\\Kalvo", "..\\boot.ini"));
    EXPECT_FALSE(IsSafeFile("C:\\Program Files\\Kalvo", "*.*"));
    EXPECT_FALSE(IsSafeFile("relative\\folder", "a.dll"));
    EXPECT_FALSE(IsSafeFile("C:\\A\\..\\WINDOWS", "a.dll"));
    EXPECT_FALSE(IsSafeFile("C:\\" + std::string(300, 'x'), "a.dll"));

    EXPECT_TRUE(MayDeleteTree("C:\\Program Files\\Kalvo", f));
    EXPECT_TRUE(MayDeleteTree("c:\\program files\\kalvo\\Data\\", f));
    EXPECT_TRUE(MayDeleteTree("C:\\Program Files\\Tessaro Keyboard", f));  // the medium's copy
    EXPECT_FALSE(MayDeleteTree("C:\\Program Files", f));
    EXPECT_FALSE(MayDeleteTree("C:\\Program Files\\Kalvo Extra\\Sub", f));
    EXPECT_FALSE(MayDeleteTree("C:\\WINDOWS", f));
    EXPECT_FALSE(MayDeleteTree("C:\\", f));
    EXPECT_FALSE(MayDeleteTree("D:\\Data", f));
    Folders inSystem{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS\\SYSTEM32"};
    EXPECT_FALSE(MayDeleteTree("C:\\WINDOWS\\SYSTEM32", inSystem));
    EXPECT_FALSE(MayRemoveEmptyFolder("C:\\"));
    EXPECT_FALSE(MayRemoveEmptyFolder("\\\\server\\share"));
    EXPECT_TRUE(MayRemoveEmptyFolder("D:\\Data"));

    EXPECT_TRUE(MayDeleteKey("Software\\OSTRL_KBD\\Productivity"));
    EXPECT_TRUE(MayDeleteKey("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaro"));
    EXPECT_FALSE(MayDeleteKey("Software"));
    EXPECT_FALSE(MayDeleteKey("Software\\Microsoft"));
    EXPECT_FALSE(MayDeleteKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run\\"));
    EXPECT_FALSE(MayDeleteKey("System\\CurrentControlSet"));
    EXPECT_FALSE(MayDeleteKey(""));
}
