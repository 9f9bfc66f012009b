// The Customize Keys page driven from outside: hot spots, the four sources, Apply, Reset, and
// stored records that do not fit what the wizard expects.
#include <shlobj.h>

#include <fstream>

#include "common/handles.h"
#include "keyfunc/vnutil.h"
#include "wizard/tests/wizard_fixture.h"

namespace tkcfg::test {
namespace {

const int kKeyX[7] = {236, 312, 386, 458, 531, 605, 678};

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

class Keys : public WizardTest {
protected:
    void OpenPage() {
        StartWizard();
        wizard.GoTo(3);
        ASSERT_EQ(3, wizard.PageIndex());
    }
    bool Lit(int key) const { return IsWindowVisible(wizard.Control(1125 + key)) != 0; }
    // Clicks key k, picks a source and selects the item found by the path of tree texts.
    void Choose(int key, int radio, int tree, std::initializer_list<std::string> path) {
        wizard.ClickPage(kKeyX[key], 175);
        wizard.ClickButton(radio);
        RemoteTree t(wizard.Control(tree));
        HTREEITEM item = nullptr;
        for (const std::string& name : path) {
            item = t.Find(item, name);
            ASSERT_NE(nullptr, item) << name;
        }
        t.Select(item);
        wizard.Sync();
    }
};

TEST_F(Keys, HotSpotsSelectTheirKeys) {
    OpenPage();
    wizard.ClickPage(260, 175);
    EXPECT_FALSE(IsWindowVisible(wizard.Control(1100)));
    wizard.ClickPage(236, 175);
    EXPECT_TRUE(Lit(0));
    EXPECT_EQ("Lock Desktop", wizard.Text(1100));
    EXPECT_TRUE(IsWindowEnabled(wizard.Control(1060)));
    wizard.ClickPage(678, 175);
    EXPECT_TRUE(Lit(6));
    EXPECT_FALSE(Lit(0));
}

// A larger system font changes the dialog units; the normalised page keeps its pixel layout.
TEST_F(Keys, HotSpotsHoldWithALargeSystemFont) {
    if (!vntest::InChild()) {
        vn::RegKey key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
        DWORD dpi = 120, old = 0, size = sizeof old;
        bool had = RegQueryValueExA(key.get(), "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old), &size) == 0;
        RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof dpi);
        int result = vntest::RunSelf("Keys.HotSpotsHoldWithALargeSystemFont", {});
        if (had)
            RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&old), sizeof old);
        else
            RegDeleteValueA(key.get(), "LogPixels");
        EXPECT_EQ(0, result);
        return;
    }
    OpenPage();
    RECT unit = {0, 0, 4, 8};
    MapDialogRect(wizard.Page(), &unit);
    RECT label;
    GetWindowRect(wizard.Control(1092), &label);
    MapWindowPoints(nullptr, wizard.Page(), reinterpret_cast<POINT*>(&label), 2);
    EXPECT_EQ(201, label.left);  // the key 1 label sits over key 1, whatever the font
    wizard.ClickPage(236, 175);
    EXPECT_TRUE(Lit(0)) << "dialog units " << unit.right << " x " << unit.bottom;
    wizard.ClickPage(678, 175);
    EXPECT_TRUE(Lit(6));
}

TEST_F(Keys, ShortcutFavouriteAndControlPanelBecomeAssignments) {
    std::string programs = Folder(CSIDL_PROGRAMS) + "\\VnTest";
    CreateDirectoryA(programs.c_str(), nullptr);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string target = std::string(system) + "\\notepad.exe";
    ASSERT_GE(CreateShortcut(target.c_str(), "/x", 0, (programs + "\\Editor.lnk").c_str()), 0);
    std::string favourite = Folder(CSIDL_FAVORITES) + "\\Example.url";
    std::ofstream(favourite) << "[InternetShortcut]\r\nURL=http://example.com/\r\n";
    MakeServiceWindow();
    OpenPage();

    Choose(0, 1063, 1025, {"Programs", "VnTest", "Editor"});
    EXPECT_EQ("Editor", wizard.Text(1020));
    SendMessageA(wizard.Control(1020), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("My Editor"));
    wizard.ClickButton(1080);
    EXPECT_EQ("My Editor", wizard.Text(1092));

    Choose(1, 1062, 1023, {"Example"});
    EXPECT_EQ("Example", wizard.Text(1020));
    EXPECT_EQ("http://example.com/", wizard.Text(1078));
    wizard.ClickButton(1080);

    Choose(2, 1061, 1024, {"My Computer", "Control Panel"});
    EXPECT_EQ("Control Panel", wizard.Text(1020));
    wizard.ClickButton(1080);

    Choose(3, 1060, 1026, {"Programs"});  // a folder in a program tree proposes nothing
    EXPECT_EQ("", wizard.Text(1020));
    wizard.ClickButton(1080);
    FinishWith(kExtraFinish);

    std::string text;
    DWORD n = 0;
    EXPECT_TRUE(ReadString("Buttons\\Aux1", "DisplayName", &text));
    EXPECT_EQ("My Editor", text);
    EXPECT_TRUE(ReadString("Buttons\\Aux1", "ActionCommand", &text));
    EXPECT_EQ(0, lstrcmpiA(target.c_str(), text.c_str())) << text;
    EXPECT_TRUE(ReadString("Buttons\\Aux1", "ActionParam1", &text));
    EXPECT_EQ("/x", text);
    EXPECT_TRUE(ReadNumber("Buttons\\Aux1", "ActionType", &n));
    EXPECT_EQ(1u, n);
    EXPECT_TRUE(ReadString("Buttons\\Aux2", "ActionCommand", &text));
    EXPECT_EQ("http://example.com/", text);
    DWORD type = 0;
    EXPECT_TRUE(ReadBytes("Buttons\\Aux3", "ActionCommand", &text, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_GT(text.size(), 2u);
    EXPECT_TRUE(ReadNumber("Buttons\\Aux3", "ActionType", &n));
    EXPECT_EQ(6u, n);
    EXPECT_FALSE(KeyExists("Buttons\\Aux4"));
    DeleteFileA((programs + "\\Editor.lnk").c_str());
    RemoveDirectoryA(programs.c_str());
    DeleteFileA(favourite.c_str());
}

TEST_F(Keys, ResetThenFinishRemovesTheRecords) {
    for (int k = 1; k <= 7; ++k) {
        std::string s = "Buttons\\Aux" + std::to_string(k);
        WriteText(s, "DisplayName", "Mine " + std::to_string(k));
        WriteText(s, "ActionCommand", "C:\\tool.exe");
        WriteNumber(s, "ActionType", 1);
    }
    OpenPage();
    EXPECT_EQ("Mine 1", wizard.Text(1092));
    wizard.ClickButton(1101);
    EXPECT_EQ("Lock Desktop", wizard.Text(1092));
    EXPECT_EQ("Internet", wizard.Text(1098));
    wizard.ClickPage(236, 175);
    EXPECT_EQ("Lock Desktop", wizard.Text(1100));
    FinishWith(kExtraFinish);
    for (int k = 1; k <= 7; ++k) EXPECT_FALSE(KeyExists("Buttons\\Aux" + std::to_string(k))) << k;
}

TEST_F(Keys, DamagedRecordsShowAndSurviveFinish) {
    std::string longText(400, 'L');
    WriteText("Buttons\\Aux1", "DisplayName", longText);
    WriteText("Buttons\\Aux1", "ActionCommand", std::string(300, 'C'));
    WriteValue("Buttons\\Aux2", "DisplayName", REG_SZ, "Unterminated", 12);  // no closing zero
    WriteText("Buttons\\Aux2", "ActionType", "1");
    WriteValue("Buttons\\Aux2", "ActionCommand", REG_SZ, "D:\\Tools\\app.exe", 16);
    const BYTE broken[] = {0xF0, 0x00, 0x1F, 0x50, 0x00, 0x00};  // an item that claims 240 bytes
    WriteValue("Buttons\\Aux3", "ActionCommand", REG_BINARY, broken, sizeof broken);
    WriteNumber("Buttons\\Aux3", "ActionType", 6);
    WriteText("Buttons\\Aux3", "DisplayName", "Broken");
    std::string big(300, '\x11');
    WriteValue("Buttons\\Aux4", "ActionCommand", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    WriteNumber("Buttons\\Aux4", "ActionType", 6);
    WriteValue("Buttons\\Aux5", "ActionType", REG_BINARY, "\x04\x00", 2);  // wrong type and size
    WriteNumber("Buttons\\Aux6", "ActionType", 4);
    WriteText("Buttons\\Aux6", "ActionCommand", "Calculator");
    OpenPage();
    EXPECT_EQ("Lock Desktop", wizard.Text(1092));  // too long to show: the factory label
    EXPECT_EQ("Unterminated", wizard.Text(1093));
    EXPECT_EQ("Broken", wizard.Text(1094));
    wizard.ClickPage(312, 175);
    EXPECT_EQ("D:\\Tools\\app.exe", wizard.Text(1100));
    wizard.ClickPage(605, 175);
    EXPECT_EQ("Calculator", wizard.Text(1100));
    wizard.GoTo(6);
    FinishWith(kFinishButton);

    std::string text;
    EXPECT_TRUE(ReadString("Buttons\\Aux1", "DisplayName", &text));
    EXPECT_EQ(longText, text);
    EXPECT_TRUE(ReadBytes("Buttons\\Aux3", "ActionCommand", &text));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(broken), sizeof broken), text);
    EXPECT_TRUE(ReadBytes("Buttons\\Aux4", "ActionCommand", &text));
    EXPECT_EQ(big, text);
    DWORD type = 0;
    EXPECT_TRUE(ReadNumber("Buttons\\Aux6", "ActionType", &type));
    EXPECT_EQ(4u, type);
}

TEST_F(Keys, MissingStartMenuShowsTheDesktop) {
    std::string menu = Folder(CSIDL_COMMON_STARTMENU), moved = menu + ".away";
    ASSERT_TRUE(MoveFileA(menu.c_str(), moved.c_str()));
    OpenPage();
    wizard.ClickPage(236, 175);
    wizard.ClickButton(1060);
    RemoteTree tree(wizard.Control(1026));
    EXPECT_NE(nullptr, tree.Find(nullptr, "My Computer"));
    wizard.Press(PSBTN_CANCEL);
    wizard.WaitExit();
    MoveFileA(moved.c_str(), menu.c_str());
}

}  // namespace
}  // namespace tkcfg::test
