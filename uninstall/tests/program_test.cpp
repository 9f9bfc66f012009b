// The real VNUninst.exe under Wine: uninstall records written as the installer writes them, the
// program started as the system starts it, its dialogs answered as a user would, and what is left
// on disk and in the registry checked afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "uninstall/resource.h"
#include "uninstall/tests/dialogs.h"

namespace {

using namespace uninsttest;

const char kRecords[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSharedFile[] = "Software\\Varnel\\Uninstall\\SharedFile\\";
const char kSharedReg[] = "Software\\Varnel\\Uninstall\\SharedReg\\";

void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    vn::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
}

bool HasKey(HKEY root, const std::string& path) {
    vn::RegKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

bool HasValue(HKEY root, const std::string& path, const char* name) {
    vn::RegKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS &&
           RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The boot-time operations the system keeps, as one text.
std::string PendingOperations() {
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      key.out()) != ERROR_SUCCESS)
        return "";
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return "";
    std::string data(size, '\0');
    RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
    for (char& c : data) c = static_cast<char>(c == '\0' ? '|' : std::tolower(static_cast<unsigned char>(c)));
    return data;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// What the result dialog showed.
struct Result {
    std::string text;
    bool restartOffered = false;
    std::vector<std::string> skipped;
};

class Uninstaller : public ::testing::Test {
protected:
    vntest::TempDir dir;  // the product's own folder
    PROCESS_INFORMATION pi{};
    std::vector<std::string> keys;

    void SetUp() override {
        ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "..\\bin\\VNUninst.exe").c_str(), dir.file("VNUninst.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "double\\vnsetup.dll").c_str(), dir.file("vnsetup.dll").c_str(),
                              FALSE));
    }
    void TearDown() override {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        for (const std::string& k : keys) {
            vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kRecords + k).c_str());
            vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kSharedReg + k).c_str());
        }
    }

    // A record as the installer writes it, with its display name.
    std::string Record(const std::string& key, const std::string& product) {
        keys.push_back(key);
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kRecords + key).c_str());
        std::string path = kRecords + key;
        SetText(HKEY_LOCAL_MACHINE, path, "UninstallString", "VNUninst.exe " + key);
        if (!product.empty()) SetText(HKEY_LOCAL_MACHINE, path, "DisplayName", product);
        return path;
    }
    // A file of the product in its own folder, counted as the installer counts it.
    void OwnFile(const std::string& key, const std::string& name) {
        ASSERT_TRUE(vntest::WriteFileBytes(dir.file(name.c_str()), "x"));
        SetText(HKEY_LOCAL_MACHINE, kRecords + key + "\\DeleteFiles", name, "%99%");
        SetText(HKEY_LOCAL_MACHINE, kSharedFile + name, key, "%99%");
    }
    void RegEntry(const std::string& key, const std::string& name, const std::string& data) {
        SetText(HKEY_LOCAL_MACHINE, kRecords + key + "\\DeleteRegs\\HKEY_CURRENT_USER", name, data);
        SetText(HKEY_LOCAL_MACHINE, kSharedReg + key + "\\HKEY_CURRENT_USER", name, data);
    }

    void Start(const std::string& args) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + dir.file("VNUninst.exe") + "\" " + args;
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.path().c_str(), &si, &pi));
    }
    void StartWorking(const std::string& key) { Start("\"" + key + "\" /DeleteSelf \"" + dir.path() + "\""); }

    void Confirm(const std::string& product) {
        HWND box = WaitDialog(product + " Uninstallation");
        ASSERT_TRUE(box) << "no confirmation";
        EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), "Are you sure you want to uninstall " + product + " and all of its components?");
        Click(box, IDYES);
    }
    // Answers the shared-file questions by file name until the result dialog shows; records
    // the names asked. Then leaves with "later" and Finish.
    Result Finish(const std::map<std::string, int>& answers = {}, std::vector<std::string>* asked = nullptr) {
        Result r;
        HWND result = nullptr;
        vntest::WaitUntil([&] {
            if (HWND q = Dialog("Remove Shared File")) {
                std::string name = WindowText(GetDlgItem(q, IDC_SHARED_NAME));
                if (asked) asked->push_back(name);
                auto it = answers.find(name);
                Click(q, it == answers.end() ? IDNO : it->second);
                vntest::WaitUntil([&] { return !IsWindow(q); }, 5000);
            }
            return (result = Dialog("Uninstall Result")) != nullptr;
        }, 30000);
        if (!result) return r;
        r.text = WindowText(GetDlgItem(result, IDC_RESULT_TEXT1));
        r.restartOffered = IsWindowVisible(GetDlgItem(result, IDC_RESTART_NOW));
        HWND list = GetDlgItem(result, IDC_SKIPPED_LIST);
        if (IsWindowVisible(list)) {
            std::stringstream lines(WindowText(list));
            for (std::string line; std::getline(lines, line);) r.skipped.push_back(line.substr(0, line.find('\r')));
        }
        // Never a real restart of the test bed.
        SendMessageA(GetDlgItem(result, IDC_RESTART_LATER), BM_CLICK, 0, 0);
        Click(result, IDC_FINISH);
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(20000)), WAIT_OBJECT_0);
        return r;
    }
    std::string DriverLog() {
        std::ifstream in(dir.file("vnsetup.log"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(Uninstaller, LauncherWaitsForTheCopyThatRemovesEverythingTheRecordNames) {
    // The key's quotes and blank must reach the working copy as they are.
    const std::string key = "VnTest \"Full\"", rec = Record(key, "Tessaro Test");
    SetText(HKEY_LOCAL_MACHINE, rec, "CallConfigMg", "FALSE");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\RestoreDrivers", "Tessaro USB Keyboard", "Kalvo");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDevices", "Tessaro HID Keys", "Kalvo");
    OwnFile(key, "VnDaemon.exe");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteFiles", "VNUninst.exe", "%99%");
    OwnFile(key, "keys.hlp");
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("keys.cnt"), "c"));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("keys.gid"), "g"));
    // A folder named through "Uninstal.ini", and a tree removed whole.
    ASSERT_TRUE(CreateDirectoryA(dir.file("App").c_str(), nullptr));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("Uninstal.ini"), "[Strings]\r\nAppData=" + dir.file("App") + "\r\n"));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("App\\keys.cfg"), "k"));
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteFiles", "keys.cfg", "AppData");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDirectory", dir.file("App"), "0");
    ASSERT_TRUE(CreateDirectoryA(dir.file("Media").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir.file("Media\\Disk1").c_str(), nullptr));
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("Media\\Disk1\\setup.ini"), "s"));
    SetFileAttributesA(dir.file("Media\\Disk1\\setup.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDirectory", dir.file("Media"), "1");
    // Registry: a value, a whole key named with at-signs, and a tree cleaned of empty keys.
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnUninstTest");
    SetText(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Keep", "Gone", "1");
    SetText(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Keep", "Stay", "1");
    SetText(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Whole\\Sub", "A", "1");
    SetText(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Empty\\Deeper", "", "");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Empty\\Deeper");
    vn::RegKey deeper;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Empty\\Deeper", deeper.out());
    deeper.reset();
    RegEntry(key, "Software\\VnUninstTest\\Keep\\\\Gone", "Gone");
    RegEntry(key, "Software\\VnUninstTest\\Whole@@", "");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\CleanRegs\\HKEY_CURRENT_USER", "Software\\VnUninstTest@", "");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\CloseWindows\\Helper", "Caption", "VnTest window to close");
    HWND victim = CreateWindowExA(0, "STATIC", "VnTest window to close", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);

    Start("\"VnTest \\\"Full\\\"\"");
    HWND box = WaitDialog("Tessaro Test Uninstallation");
    ASSERT_TRUE(box);
    // The launcher is still waiting, and its temporary copy goes at the next start at the latest.
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    DWORD copyPid = 0;
    GetWindowThreadProcessId(box, &copyPid);
    EXPECT_NE(copyPid, pi.dwProcessId);
    EXPECT_NE(PendingOperations().find("\\www"), std::string::npos);
    Confirm("Tessaro Test");
    vntest::WaitUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 || !IsWindow(victim); }, 20000);
    Result r;
    {
        // The launcher returns once the copy no longer needs the installed program.
        HWND result = WaitDialog("Uninstall Result");
        ASSERT_TRUE(result);
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(5000)), WAIT_OBJECT_0);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
        vn::Handle copy(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, copyPid));
        pi.hProcess = copy.release();
        r = Finish();
    }
    EXPECT_EQ(r.text, "Uninstall has successfully finished removing Tessaro Test from your computer.");
    EXPECT_FALSE(r.restartOffered);
    EXPECT_TRUE(r.skipped.empty());
    EXPECT_FALSE(IsWindow(victim));

    for (const char* gone : {"VnDaemon.exe", "VNUninst.exe", "keys.hlp", "keys.cnt", "keys.gid", "App", "Media"})
        EXPECT_FALSE(Exists(dir.file(gone))) << gone;
    EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Keep", "Gone"));
    EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Keep", "Stay"));
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Whole"));
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, "Software\\VnUninstTest\\Empty"));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, rec));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kSharedFile + std::string("VnDaemon.exe")));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kSharedReg + key));
    EXPECT_EQ(DriverLog(),
              "RestoreDeviceDriver (null)|Tessaro USB Keyboard|Kalvo|(null)|0\n"
              "RemoveDeviceDriver (null)|Tessaro HID Keys|Kalvo\n"
              "ReenumerateDevice\n");
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnUninstTest");
}

TEST_F(Uninstaller, SharedFilesAndEntriesStayWithTheProductsThatStillCountThem) {
    // B shares four files and a registry value with A, and two files with C.
    Record("VnShareB", "Product B");
    Record("VnShareA", "Product A");
    Record("VnShareC", "Product C");
    for (const char* name : {"s1.dll", "s2.dll", "s3.dll", "s4.dll"}) {
        OwnFile("VnShareA", name);
        OwnFile("VnShareB", name);
    }
    for (const char* name : {"t1.dll", "t2.dll"}) {
        OwnFile("VnShareC", name);
        OwnFile("VnShareB", name);
    }
    OwnFile("VnShareA", "own.dll");
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnShared");
    SetText(HKEY_CURRENT_USER, "Software\\VnShared", "Both", "1");
    SetText(HKEY_CURRENT_USER, "Software\\VnShared\\OnlyA", "A", "1");
    RegEntry("VnShareA", "Software\\VnShared\\\\Both", "Both");
    RegEntry("VnShareB", "Software\\VnShared\\\\Both", "Both");
    RegEntry("VnShareA", "Software\\VnShared\\OnlyA", "0");

    StartWorking("VnShareA");
    Confirm("Product A");
    std::vector<std::string> asked;
    Finish({{"s1.dll", IDYES}, {"s2.dll", IDNO}, {"s3.dll", IDC_YES_TO_ALL}}, &asked);
    EXPECT_EQ(asked, (std::vector<std::string>{"s1.dll", "s2.dll", "s3.dll"}));
    EXPECT_FALSE(Exists(dir.file("s1.dll")));
    EXPECT_TRUE(Exists(dir.file("s2.dll")));
    EXPECT_FALSE(Exists(dir.file("s3.dll")));
    EXPECT_FALSE(Exists(dir.file("s4.dll")));
    EXPECT_FALSE(Exists(dir.file("own.dll")));
    EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, "Software\\VnShared", "Both"));
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, "Software\\VnShared\\OnlyA"));
    EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, kSharedFile + std::string("s2.dll"), "VnShareB"));
    EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, kSharedFile + std::string("s2.dll"), "VnShareA"));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kSharedFile + std::string("own.dll")));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kSharedReg + std::string("VnShareA")));
    EXPECT_TRUE(HasKey(HKEY_LOCAL_MACHINE, kSharedReg + std::string("VnShareB")));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};

    StartWorking("VnShareC");
    Confirm("Product C");
    asked.clear();
    Finish({{"t1.dll", IDC_NO_TO_ALL}}, &asked);
    EXPECT_EQ(asked, (std::vector<std::string>{"t1.dll"}));
    EXPECT_TRUE(Exists(dir.file("t1.dll")));
    EXPECT_TRUE(Exists(dir.file("t2.dll")));
    vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnShared");
    for (const char* name : {"s1.dll", "s2.dll", "s3.dll", "s4.dll", "t1.dll", "t2.dll"})
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kSharedFile + std::string(name)).c_str());
}

TEST_F(Uninstaller, FileInUseIsDeletedAtTheNextStartAfterTheRestartOffer) {
    Record("VnTestBusy", "Busy Product");
    OwnFile("VnTestBusy", "busy.dll");
    vn::FileHandle hold(CreateFileA(dir.file("busy.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    StartWorking("VnTestBusy");
    Confirm("Busy Product");
    Result r = Finish();
    EXPECT_TRUE(r.restartOffered);
    EXPECT_NE(PendingOperations().find(Lower(dir.file("busy.dll"))), std::string::npos);
}

TEST_F(Uninstaller, DamagedRecordTouchesNothingBeyondTheProductAndSaysWhatItSkipped) {
    vntest::TempDir outside;
    ASSERT_TRUE(vntest::WriteFileBytes(outside.file("precious.txt"), "p"));
    std::string parent = dir.path().substr(0, dir.path().rfind('\\'));
    std::string escape = parent + "\\vn_escape.txt";
    ASSERT_TRUE(vntest::WriteFileBytes(escape, "e"));
    std::string rec = Record("VnTestBad", "");  // no display name: the key stands for it
    SetText(HKEY_LOCAL_MACHINE, rec, "NeedRestart", "-1");
    SetText(HKEY_LOCAL_MACHINE, rec, "CallConfigMg", "many");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteFiles", "..\\vn_escape.txt", "%99%");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteFiles", "long.dll", "C:\\" + std::string(300, 'L'));
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteFiles", "rel.dll", "relative\\folder");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDirectory", outside.path(), "1");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDirectory", "C:\\", "1");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteDirectory", dir.file("Missing"), "-7");
    vn::RegKey dirs;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, (rec + "\\DeleteDirectory").c_str(), 0, KEY_ALL_ACCESS, dirs.out());
    DWORD count = 12;
    RegSetValueExA(dirs.get(), "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    dirs.reset();
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteRegs\\HKEY_CURRENT_USER", "Software", "");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteRegs\\HKEY_CURRENT_USER", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "0");
    SetText(HKEY_CURRENT_USER, "Software\\VnBad\\Gone", "x", "1");
    SetText(HKEY_LOCAL_MACHINE, rec + "\\DeleteRegs\\HKEY_CURRENT_USER", "Software\\VnBad", "");

    StartWorking("VnTestBad");
    Confirm("VnTestBad");
    Result r = Finish();
    EXPECT_EQ(r.text, "Uninstall has successfully finished removing VnTestBad from your computer.");
    EXPECT_TRUE(Exists(outside.file("precious.txt")));
    EXPECT_TRUE(Exists(escape));
    EXPECT_TRUE(HasKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, "Software\\VnBad"));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, rec));
    auto listed = [&](const std::string& item) {
        for (const std::string& s : r.skipped)
            if (Lower(s).find(Lower(item)) != std::string::npos) return true;
        return false;
    };
    for (std::string item : {dir.path() + "\\..\\vn_escape.txt", std::string("C:\\LLLLLLLL"), std::string("relative\\folder"),
                             outside.path(), std::string("HKEY_CURRENT_USER\\Software"),
                             std::string("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run")})
        EXPECT_TRUE(listed(item)) << item;
    EXPECT_EQ(r.skipped.size(), 7u);  // the drive root too
    DeleteFileA(escape.c_str());
}

TEST_F(Uninstaller, EndsQuietlyWithoutARecordOrWithAnUnknownCommandLine) {
    for (std::string args : {std::string("\"NoSuchProduct\" /DeleteSelf \"") + dir.path() + "\"", std::string(""),
                             std::string("a b")}) {
        Start(args);
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(20000)), WAIT_OBJECT_0) << args;
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
    // An empty record name would reach the list of every product's record.
    Start("\"\" /DeleteSelf \"" + dir.path() + "\"");
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, vntest::Scaled(20000)), WAIT_OBJECT_0);
    EXPECT_TRUE(HasKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

}  // namespace

namespace {

TEST(Resources, EveryLanguageCarriesTheDialogsAndTexts) {
    HMODULE self = GetModuleHandleA(nullptr);
    for (unsigned lcid : {1028u, 2052u, 1030u, 1043u, 1033u, 1035u, 1036u, 1031u, 1040u, 1041u, 1044u, 1046u, 2058u,
                          1053u, 1042u}) {
        WORD lang = static_cast<WORD>(lcid);
        for (int dialog : {IDD_PROGRESS, IDD_SHARED, IDD_RESULT})
            EXPECT_TRUE(FindResourceExA(self, reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(dialog), lang))
                << lcid << " dialog " << dialog;
        // String blocks hold 16 texts each: 25 to 27 and 41 to 57.
        for (int block : {IDS_CONFIRM / 16 + 1, IDS_STAGE1 / 16 + 1, IDS_RESULT_DONE / 16 + 1})
            EXPECT_TRUE(FindResourceExA(self, reinterpret_cast<LPCSTR>(RT_STRING), MAKEINTRESOURCEA(block), lang))
                << lcid << " strings " << block;
    }
}

}  // namespace
