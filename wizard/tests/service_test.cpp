// The wizard with the real hot-key service: a key given a new program in the wizard starts that
// program at its next press, without restarting the service.
#include <shlobj.h>

#include "keyfunc/vnutil.h"
#include "service/tests/program_fixture.h"
#include "wizard/tests/wizard_fixture.h"

namespace tkcfg::test {
namespace {

class WithService : public vnd::test::Program {};

TEST_F(WithService, NewAssignmentStartsAtTheNextKeyPress) {
    ASSERT_TRUE(CopyFileA((vnd::test::Bin() + "TKCfg.exe").c_str(), dir.file("TKCfg.exe").c_str(), FALSE));
    char programs[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE);
    std::string folder = std::string(programs) + "\\VnService";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string link = folder + "\\Proof.lnk";
    ASSERT_GE(CreateShortcut(dir.file("proof.exe").c_str(), "from wizard", 0, link.c_str()), 0);
    Launch();

    WizardProcess wizard;
    ASSERT_TRUE(wizard.Start(dir.file("TKCfg.exe"), dir.path()));
    wizard.GoTo(3);
    wizard.ClickPage(236, 175);
    wizard.ClickButton(1063);
    RemoteTree tree(wizard.Control(1025));
    HTREEITEM item = tree.Find(tree.Find(tree.Find(nullptr, "Programs"), "VnService"), "Proof");
    ASSERT_NE(nullptr, item);
    tree.Select(item);
    wizard.Sync();
    wizard.ClickButton(1080);
    PostMessageA(wizard.sheet(), WM_COMMAND, kExtraFinish, 0);
    ASSERT_EQ(0, wizard.WaitExit());

    Key(2, 0x09);
    EXPECT_TRUE(vntest::WaitUntil([&] { return Proofs().find("proof.exe|from wizard") != std::string::npos; }, 10000))
        << Proofs();
    DeleteFileA(link.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(WithService, StartsTheServiceOnlyToShowTheTrayIcon) {
    ASSERT_TRUE(CopyFileA((vnd::test::Bin() + "TKCfg.exe").c_str(), dir.file("TKCfg.exe").c_str(), FALSE));
    for (int show = 0; show < 2; ++show) {
        WizardProcess wizard;
        ASSERT_TRUE(wizard.Start(dir.file("TKCfg.exe"), dir.path()));
        wizard.GoTo(5);
        wizard.ClickButton(show ? 1041 : 1042);
        wizard.GoTo(6);
        PostMessageA(wizard.sheet(), PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        ASSERT_EQ(0, wizard.WaitExit());
        DWORD hide = 2;
        EXPECT_TRUE(ReadNumber("SysTrayIcon", "Hide", &hide));
        EXPECT_EQ(show ? 0u : 1u, hide);
        bool started = vntest::WaitUntil([] { return FindWindowA("VNDaemon", nullptr) != nullptr; }, show ? 10000 : 1500);
        EXPECT_EQ(show != 0, started);
    }
    HWND started = FindWindowA("VNDaemon", nullptr);
    PostMessageA(started, WM_COMMAND, 57665, 0);  // unload
    EXPECT_TRUE(vntest::WaitUntil([] { return FindWindowA("VNDaemon", nullptr) == nullptr; }, 10000));
}

}  // namespace
}  // namespace tkcfg::test
