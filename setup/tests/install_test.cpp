// The installation work of the real setup.exe: a medium folder beside it with versioned files, a
// cabinet, registry lines and a registry file, installed as a user would, and then what is on
// disk, in the registry and in the uninstall record.
#include <map>

#include "setup/resource.h"
#include "setup/tests/setup_program.h"

namespace {

using setuptest::WindowText;

const char kKey[] = "VnSetupTest";
const char kRecord[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnSetupTest";
const char kShared[] = "Software\\Varnel\\Uninstall\\";
const char kHotkey[] = "Software\\OSTRL_KBD\\Productivity\\HOTKEY01";

std::string RegText(HKEY hive, const std::string& path, const char* name) {
    vn::RegKey key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return "<no key>";
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "<no value>";
    if (type == REG_SZ) return data;
    std::string hex = type == REG_DWORD ? "dword:" : "hex:";
    for (DWORD i = 0; i < size; ++i) {
        char b[4];
        wsprintfA(b, "%02x", static_cast<unsigned char>(data[i]));
        hex += b;
    }
    return hex;
}

// Every value of a key, name to data.
std::map<std::string, std::string> RegValues(const std::string& path) {
    std::map<std::string, std::string> values;
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[512] = {}, data[512] = {};
        DWORD n = sizeof name, d = sizeof data - 1;
        if (RegEnumValueA(key.get(), i, name, &n, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &d) != ERROR_SUCCESS)
            break;
        values[name] = data;
    }
    return values;
}

std::string FileText(const std::string& path) {
    vn::FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    std::string text(GetFileSize(f.get(), nullptr), '\0');
    DWORD read = 0;
    if (!text.empty()) ReadFile(f.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Moves a file's last-write time by whole days.
void ShiftTime(const std::string& path, int days) {
    vn::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME t{};
    GetFileTime(f.get(), nullptr, nullptr, &t);
    ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
    v.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
    t = {v.LowPart, v.HighPart};
    SetFileTime(f.get(), nullptr, nullptr, &t);
}

class SetupInstall : public setuptest::SetupProgram {
protected:
    std::string medium, out;

    void SetUp() override {
        SetupProgram::SetUp();
        medium = dir.file("files");
        out = dir.file("out");
        CreateDirectoryA(medium.c_str(), nullptr);
        CreateDirectoryA(out.c_str(), nullptr);
        Clean();
    }
    void TearDown() override {
        SetupProgram::TearDown();
        Clean();
    }
    void Clean() {
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, kRecord);
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kShared) + "SharedReg\\" + kKey).c_str());
        for (const char* f : {"vnst_new.txt", "vnst_newer.exe", "vnst_older.exe", "vnst_sameold.exe", "vnst_samenew.exe",
                              "vnst_missing.txt", "vnst_empty.txt", "vnst_busy.dll", "one.txt", "two.txt", "renamed.txt",
                              "small.txt", "big.bin", "after.txt"})
            vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, (std::string(kShared) + "SharedFile\\" + f).c_str());
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest");
        vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnSetupTest");
        vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, kHotkey);
    }
    void Versioned(int version, const std::string& path) {
        char name[32];
        wsprintfA(name, "setup_file_v%d.exe", version);
        ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + name).c_str(), path.c_str(), FALSE));
    }
    // A silent, hidden run without restart, waited for.
    void InstallSilently(const char* version = nullptr) {
        Start("/S /H /NR", version);
        ASSERT_TRUE(Ends(60000));
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
};

TEST_F(SetupInstall, SilentInstallCopiesByVersionAndTimeWritesRegistryAndRecordsEverything) {
    // Destination already there: older and newer versions, equal versions with either time.
    Versioned(1, medium + "\\vnst_newer.exe");
    Versioned(2, out + "\\vnst_newer.exe");
    Versioned(2, medium + "\\vnst_newer.exe");
    Versioned(1, out + "\\vnst_newer.exe");
    Versioned(1, medium + "\\vnst_older.exe");
    Versioned(2, out + "\\vnst_older.exe");
    Versioned(1, medium + "\\vnst_sameold.exe");
    Versioned(1, out + "\\vnst_sameold.exe");
    ShiftTime(medium + "\\vnst_sameold.exe", -2);
    Versioned(1, medium + "\\vnst_samenew.exe");
    Versioned(1, out + "\\vnst_samenew.exe");
    ShiftTime(out + "\\vnst_samenew.exe", -2);
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\vnst_new.txt", "new file"));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\vnst_empty.txt", ""));
    ASSERT_TRUE(vntest::WriteFileBytes(out + "\\vnst_older.txt.keep", "untouched"));
    SetFileAttributesA((out + "\\vnst_sameold.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((out + "\\vnst_newer.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    // The registry file brings the launch command; its target exists.
    std::string target = out + "\\vnst_new.txt";
    std::string escaped;
    for (char c : target) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\keys.reg",
                                       "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::string(kHotkey) +
                                           "]\r\n\"ActionCommand\"=\"" + escaped + "\"\r\n\"Origin\"=\"file\"\r\n"));
    Script("SETUPNT.INI", std::string(
        "[Setup]\r\nProductName=Tessaro Keyboard\r\nUninstallKey=VnSetupTest\r\nSrcFileDir=files\r\n"
        "[Strings]\r\nOut=") + out + "\r\n"
        "[Copy Files]\r\nvnst_new.txt=%Out%\r\nvnst_newer.exe=%Out%\r\nvnst_older.exe=%Out%\r\n"
        "vnst_sameold.exe=%Out%\r\nvnst_samenew.exe=%Out%\r\nvnst_missing.txt=%Out%, renamed.txt\r\n"
        "vnst_empty.txt=%Out%\r\n"
        "[Add Registry]\r\ns=HKLM, Software\\VnSetupTest, Text, 0, \"a, b\"\r\nd=HKLM, Software\\VnSetupTest, Byte, 1, 2A\r\n"
        "b=HKLM, Software\\VnSetupTest, Bytes, 1, 01, fF\r\nk=HKCU, Software\\VnSetupTest\\Whole\r\n"
        "e=HKLM, Software\\VnSetupTest, Empty\r\n"
        "[Add Registry Files]\r\nf=keys.reg\r\nnever=missing.reg\r\n"
        "[Run Programs]\r\nVnDaemon.exe=%1%, from script\r\n");
    InstallSilently();

    EXPECT_EQ(FileText(out + "\\vnst_new.txt"), "new file");
    EXPECT_EQ(FileText(out + "\\vnst_newer.exe"), FileText(medium + "\\vnst_newer.exe")) << "read-only, replaced";
    EXPECT_FALSE(GetFileAttributesA((out + "\\vnst_newer.exe").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(FileText(out + "\\vnst_older.exe"), FileText(medium + "\\vnst_older.exe"));
    FILETIME kept{}, source{};
    WIN32_FILE_ATTRIBUTE_DATA a{}, b{};
    GetFileAttributesExA((out + "\\vnst_sameold.exe").c_str(), GetFileExInfoStandard, &a);
    GetFileAttributesExA((medium + "\\vnst_sameold.exe").c_str(), GetFileExInfoStandard, &b);
    kept = a.ftLastWriteTime, source = b.ftLastWriteTime;
    EXPECT_GT(CompareFileTime(&kept, &source), 0) << "equal version, older source: left alone";
    GetFileAttributesExA((out + "\\vnst_samenew.exe").c_str(), GetFileExInfoStandard, &a);
    GetFileAttributesExA((medium + "\\vnst_samenew.exe").c_str(), GetFileExInfoStandard, &b);
    EXPECT_EQ(CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime), 0) << "equal version, newer source: copied";
    EXPECT_FALSE(Exists(out + "\\renamed.txt"));
    EXPECT_TRUE(Exists(out + "\\vnst_empty.txt")) << "a last entry of size 0 is copied";
    EXPECT_EQ(FileText(out + "\\vnst_older.txt.keep"), "untouched");

    // Registry lines and the registry file.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Text"), "a, b");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Byte"), "dword:2a000000");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Bytes"), "hex:01ff");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Empty"), "");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\VnSetupTest\\Whole", nullptr), "<no value>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kHotkey, "Origin"), "file");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kHotkey, "ActionCommand"), target);

    // The uninstall record: every listed file, copied or not, every registry line, shared counts.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRecord, "UninstallString"), "VNUninst.exe VnSetupTest");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRecord, "DisplayName"), "Tessaro Keyboard");
    const std::map<std::string, std::string> files = {
        {"vnst_new.txt", out},     {"vnst_newer.exe", out},   {"vnst_older.exe", out}, {"vnst_sameold.exe", out},
        {"vnst_samenew.exe", out}, {"renamed.txt", out},      {"vnst_empty.txt", out}};
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteFiles"), files);
    for (const auto& f : files)
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kShared) + "SharedFile\\" + f.first, kKey), out) << f.first;
    const std::map<std::string, std::string> machine = {{"Software\\VnSetupTest\\\\Text", "Text"},
                                                        {"Software\\VnSetupTest\\\\Byte", "Byte"},
                                                        {"Software\\VnSetupTest\\\\Bytes", "Bytes"},
                                                        {"Software\\VnSetupTest\\\\Empty", "Empty"}};
    const std::map<std::string, std::string> user = {{"Software\\VnSetupTest\\Whole", ""}};
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteRegs\\HKEY_LOCAL_MACHINE"), machine);
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteRegs\\HKEY_CURRENT_USER"), user);
    EXPECT_EQ(RegValues(std::string(kShared) + "SharedReg\\VnSetupTest\\HKEY_LOCAL_MACHINE"), machine);
    EXPECT_EQ(RegValues(std::string(kShared) + "SharedReg\\VnSetupTest\\HKEY_CURRENT_USER"), user);

    // "Run Programs" started the program with its arguments quoted.
    EXPECT_TRUE(vntest::WaitUntil([&] { return FileText(dir.file("service.log")).find("\"from script\"") != std::string::npos; }));
}

TEST_F(SetupInstall, WithoutUninstallKeyNothingIsRecorded) {
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\vnst_new.txt", "new file"));
    Script("SETUPNT.INI", "[Setup]\r\nSrcFileDir=files\r\n[Copy Files]\r\nvnst_new.txt=" + out +
                              "\r\n[Add Registry]\r\ns=HKLM, Software\\VnSetupTest, Text, 0, x\r\n");
    InstallSilently();
    EXPECT_EQ(FileText(out + "\\vnst_new.txt"), "new file");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Text"), "x");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRecord, nullptr), "<no key>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kShared) + "SharedFile\\vnst_new.txt", nullptr), "<no key>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kShared) + "SharedReg\\VnSetupTest", nullptr), "<no key>");
}

// No "_VarnelTempDir" folder is left in the Windows folder.
bool NoTempFolder() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA((std::string(windows) + "\\_VarnelTempDir*").c_str(), &data));
    return !find;
}

TEST_F(SetupInstall, CabinetFilesExtractedCopiedAndTheTemporaryFolderRemoved) {
    ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "setup_test.cab").c_str(), dir.file("medium.cab").c_str(), FALSE));
    // A medium may hold some files loose beside the cabinet.
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("vnst_new.txt"), "loose"));
    Script("SETUPNT.INI", "[Setup]\r\nUninstallKey=VnSetupTest\r\nCabFile=TRUE\r\nCabFileName=medium.cab\r\n"
                          "[Copy Files]\r\none.txt=" + out + "\r\ntwo.txt=" + out + ", renamed.txt\r\nvnst_missing.txt=" +
                              out + "\r\nvnst_new.txt=" + out + "\r\n");
    InstallSilently();
    EXPECT_EQ(FileText(out + "\\vnst_new.txt"), "loose");
    EXPECT_EQ(FileText(out + "\\one.txt"), "first file out of the cabinet\r\n");
    EXPECT_EQ(FileText(out + "\\renamed.txt"), "second file out of the cabinet\r\n");
    EXPECT_FALSE(Exists(out + "\\unlisted.txt"));
    EXPECT_FALSE(Exists(out + "\\vnst_missing.txt"));
    EXPECT_TRUE(NoTempFolder());
    const std::map<std::string, std::string> files = {
        {"one.txt", out}, {"renamed.txt", out}, {"vnst_missing.txt", out}, {"vnst_new.txt", out}};
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteFiles"), files);
}

TEST_F(SetupInstall, CabinetCutShortFailsVisiblyWithNothingInstalledOrRecorded) {
    std::string cab = FileText(vntest::ExeFolder() + "setup_test.cab");
    ASSERT_TRUE(vntest::WriteFileBytes(dir.file("medium.cab"), cab.substr(0, cab.size() / 2)));
    Script("SETUPNT.INI", "[Setup]\r\nUninstallKey=VnSetupTest\r\nCabFile=TRUE\r\nCabFileName=medium.cab\r\n"
                          "[Copy Files]\r\none.txt=" + out + "\r\ntwo.txt=" + out + "\r\n"
                          "[Add Registry]\r\ns=HKLM, Software\\VnSetupTest, Text, 0, x\r\n");
    Start("/S /NR");
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 20000));
    EXPECT_EQ(Item(sheet, IDC_TEXT1), "Setup failed to install the driver on your system.\n\nSetup could not read this "
                                      "file:\n" + dir.file("medium.cab"));
    EXPECT_FALSE(Exists(out + "\\one.txt"));
    EXPECT_FALSE(Exists(out + "\\two.txt"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Text"), "<no key>");
    EXPECT_TRUE(RegValues(std::string(kRecord) + "\\DeleteFiles").empty());
    EXPECT_TRUE(NoTempFolder());
    Press(sheet, PSBTN_FINISH);
    EXPECT_TRUE(Ends());
}

// The host's path of a file or folder the test made.
std::string UnixPath(const std::string& path) {
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixNameFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = unixName ? unixName(wide) : nullptr;
    std::string result = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a shell command on the host; true when it exited with 0. Wine starts host programs without
// a handle to wait on, so the command leaves its exit code in a file.
bool HostShell(const std::string& command) {
    vntest::TempDir scratch;
    const std::string done = scratch.file("done");
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? >'" + UnixPath(scratch.path()) + "/done'\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    vntest::WaitUntil([&] { return FileText(done).find('\n') != std::string::npos; }, 10000);
    return FileText(done) == "0\n";
}

// The destination folder is a disk of 64 kB of its own.
class SetupSmallDisk : public SetupInstall {
protected:
    std::string disk;
    bool mounted = false;

    void SetUp() override {
        SetupInstall::SetUp();
        disk = UnixPath(out);
        mounted = !disk.empty() && HostShell("mount -t tmpfs -o size=64k tmpfs '" + disk + "'");
        if (!mounted) GTEST_SKIP() << "this machine lets no small disk be mounted (needs root)";
    }
    void TearDown() override {
        if (mounted) HostShell("umount -l '" + disk + "'");
        SetupInstall::TearDown();
    }
};

TEST_F(SetupSmallDisk, FullOrWriteProtectedDiskStopsTheCopyNamingTheFileWithATrueRecord) {
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\small.txt", std::string(8 * 1024, 's')));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\big.bin", std::string(200 * 1024, 'b')));
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\after.txt", "after"));
    Script("SETUPNT.INI", "[Setup]\r\nProductName=Tessaro Keyboard\r\nUninstallKey=VnSetupTest\r\nSrcFileDir=files\r\n"
                          "[Copy Files]\r\nsmall.txt=" + out + "\r\nbig.bin=" + out + "\r\nafter.txt=" + out + "\r\n"
                          "[Add Registry]\r\ns=HKLM, Software\\VnSetupTest, Text, 0, x\r\n");
    // Silent: a failed run waits on the result page for the user.
    auto resultAfterRun = [&] {
        Start("/S /NR");
        HWND sheet = Sheet();
        EXPECT_TRUE(vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 20000));
        std::string text = Item(sheet, IDC_TEXT1) + "|" + Item(sheet, IDC_TEXT2);
        Press(sheet, PSBTN_FINISH);
        EXPECT_TRUE(Ends());
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
        return text;
    };
    EXPECT_EQ(resultAfterRun(), "The disk is full. Setup could not copy this file:\n" + out +
                                    "\\big.bin|Free some space on the disk, then run Setup again.");
    EXPECT_EQ(FileText(out + "\\small.txt"), std::string(8 * 1024, 's'));
    EXPECT_FALSE(Exists(out + "\\big.bin")) << "the copy cut short is removed";
    EXPECT_FALSE(Exists(out + "\\after.txt")) << "the copy stops at the full disk";
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\VnSetupTest", "Text"), "<no key>");
    const std::map<std::string, std::string> small = {{"small.txt", out}};
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteFiles"), small);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kShared) + "SharedFile\\big.bin", nullptr), "<no key>");
    EXPECT_TRUE(NoTempFolder());

    // A newer source over a read-only file on a write-protected disk: neither it nor a side copy
    // can be written.
    SetFileAttributesA((out + "\\small.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\small.txt", "newer"));
    ASSERT_TRUE(HostShell("mount -o remount,ro '" + disk + "'"));
    EXPECT_EQ(resultAfterRun(), "Setup could not write this file:\n" + out +
                                    "\\small.txt|Make sure the folder exists and the disk is not write-protected, then run Setup again.");
    EXPECT_EQ(FileText(out + "\\small.txt"), std::string(8 * 1024, 's'));
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteFiles"), small);
    EXPECT_TRUE(NoTempFolder());
}

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

TEST_F(SetupInstall, InUseDestinationGetsASideCopyAScheduledReplacementAndTheRestartOffer) {
    Versioned(1, out + "\\vnst_busy.dll");
    Versioned(2, medium + "\\vnst_busy.dll");
    std::string holderCmd = "\"" + vntest::ExeFolder() + "setup_file_v1.exe\" \"" + out + "\\vnst_busy.dll\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(CreateProcessA(nullptr, &holderCmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder));
    vn::Handle holderProcess(holder.hProcess), holderThread(holder.hThread);
    ASSERT_TRUE(vntest::WaitUntil([&] { return Exists(out + "\\vnst_busy.dll.held"); }));
    Script("SETUPNT.INI", "[Setup]\r\nProductName=Tessaro Keyboard\r\nUninstallKey=VnSetupTest\r\nSrcFileDir=files\r\n"
                          "Restart=FALSE\r\n[Copy Files]\r\nvnst_busy.dll=" + out + "\r\n");
    Start("/H");
    HWND sheet = Sheet();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(WalkToResult(sheet).back(), "Setup Result");
    EXPECT_EQ(Item(sheet, IDC_TEXT1),
              "Setup has successfully installed Tessaro Keyboard.\n\nBefore you can use Tessaro Keyboard, you must "
              "restart your computer.");
    // The sheet itself is hidden: the choice's own style tells that it is shown.
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(Page(sheet), IDC_RESTART_NOW), GWL_STYLE) & WS_VISIBLE);
    SendMessageA(GetDlgItem(Page(sheet), IDC_RESTART_LATER), BM_CLICK, 0, 0);
    Press(sheet, PSBTN_FINISH);
    EXPECT_TRUE(Ends());
    TerminateProcess(holder.hProcess, 0);
    WaitForSingleObject(holder.hProcess, vntest::Scaled(5000));

    EXPECT_EQ(FileText(out + "\\vnst_busy.0"), FileText(medium + "\\vnst_busy.dll"));
    EXPECT_EQ(FileText(out + "\\vnst_busy.dll"), FileText(vntest::ExeFolder() + "setup_file_v1.exe"));
    // The system's list of replacements at the next start holds the side copy, then the target.
    vn::RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, key.out()), ERROR_SUCCESS);
    std::string pending(8192, '\0');
    DWORD size = static_cast<DWORD>(pending.size());
    ASSERT_EQ(RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&pending[0]), &size),
              ERROR_SUCCESS);
    RegDeleteValueA(key.get(), "PendingFileRenameOperations");
    pending.resize(size);
    std::size_t side = pending.find("vnst_busy.0");
    ASSERT_NE(side, std::string::npos);
    EXPECT_NE(pending.find("vnst_busy.dll", side), std::string::npos);
}

// A medium of 60 files of 256 kB after a first one, installed from the wizard (started with args)
// until the copy has begun; Cancel is pressed then. Returns the "Exit Setup" question.
class SetupLongCopy : public SetupInstall {
protected:
    HWND sheet = nullptr;

    HWND CancelDuringTheCopy(const std::string& first, const std::string& args) {
        std::string list = first + "=" + out + "\r\n";
        const std::string block(256 * 1024, 'x');
        for (int i = 0; i < 60; ++i) {
            std::string name = "f" + std::to_string(i) + ".bin";
            if (!vntest::WriteFileBytes(medium + "\\" + name, block)) return nullptr;
            list += name + "=" + out + "\r\n";
        }
        Script("SETUPNT.INI", "[Setup]\r\nProductName=Tessaro Keyboard\r\nUninstallKey=VnSetupTest\r\nSrcFileDir=files\r\n"
                              "AskType=FALSE\r\n[Copy Files]\r\n" + list);
        Start(args);
        sheet = Sheet();
        if (!sheet || Press(sheet, PSBTN_NEXT) != "Start Installation") return nullptr;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        if (!vntest::WaitUntil([&] { return Exists(out + "\\" + first) && WindowText(sheet) == "Installation Procedures"; },
                               10000))
            return nullptr;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return Dialog("Exit Setup");
    }
    int Copied() {
        int n = 0;
        for (int i = 0; i < 60; ++i) n += Exists(out + "\\f" + std::to_string(i) + ".bin");
        return n;
    }
};

TEST_F(SetupLongCopy, ExitSetupDuringTheCopyRemovesWhatThisRunCopiedAndPutsBackWhatItOverwrote) {
    // The first entry overwrites an older file.
    Versioned(1, out + "\\vnst_newer.exe");
    Versioned(2, medium + "\\vnst_newer.exe");
    ASSERT_TRUE(vntest::WriteFileBytes(out + "\\vnst_older.txt.keep", "untouched"));
    HWND exit = CancelDuringTheCopy("vnst_newer.exe", "/H");
    ASSERT_TRUE(exit);
    Click(exit, IDC_EXIT_SETUP);
    ASSERT_TRUE(Ends());

    EXPECT_EQ(FileText(out + "\\vnst_newer.exe"), FileText(vntest::ExeFolder() + "setup_file_v1.exe"));
    EXPECT_EQ(FileText(out + "\\vnst_older.txt.keep"), "untouched");
    for (int i = 0; i < 60; ++i) EXPECT_FALSE(Exists(out + "\\f" + std::to_string(i) + ".bin")) << i;
    EXPECT_TRUE(NoTempFolder());
    // The cancel came before the end of the list: the record names fewer files than listed.
    EXPECT_LT(RegValues(std::string(kRecord) + "\\DeleteFiles").size(), 61u);
}

TEST_F(SetupLongCopy, TheCopyHoldsStillWhileExitSetupAsksAndGoesOnAfterResume) {
    ASSERT_TRUE(vntest::WriteFileBytes(medium + "\\vnst_new.txt", "first"));
    HWND exit = CancelDuringTheCopy("vnst_new.txt", "/H /NR");
    ASSERT_TRUE(exit);
    Sleep(vntest::Scaled(200));  // the file being copied when the question opened is finished
    const int held = Copied();
    Sleep(vntest::Scaled(500));
    EXPECT_EQ(Copied(), held);
    EXPECT_LT(held, 60);
    Click(exit, IDC_RESUME);
    ASSERT_TRUE(vntest::WaitUntil([&] { return WindowText(sheet) == "Setup Result"; }, 20000));
    EXPECT_EQ(Copied(), 60);
    EXPECT_EQ(RegValues(std::string(kRecord) + "\\DeleteFiles").size(), 61u);
    Press(sheet, PSBTN_FINISH);
    EXPECT_TRUE(Ends());
}

std::string WindowsPath(const char* rest) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + rest;
}

// The driver step under each Windows version, with the test double of the driver setup library.
class SetupDrivers : public SetupInstall {
protected:
    void SetUp() override {
        SetupInstall::SetUp();
        ASSERT_TRUE(CopyFileA((vntest::ExeFolder() + "setup_vnsetup_double.dll").c_str(), dir.file("vnsetup.dll").c_str(),
                              FALSE));
        CreateDirectoryA(dir.file("drivers").c_str(), nullptr);
        const std::string inf = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Keyboard\r\nProvider=Varnel\r\n";
        ASSERT_TRUE(vntest::WriteFileBytes(dir.file("drivers\\vnst_kbd.inf"), inf));
        ASSERT_TRUE(vntest::WriteFileBytes(dir.file("drivers\\vnst_unk.inf"), inf + "; unknown\r\n"));
        for (const char* f : {"\\INF\\DRVIDX.BIN", "\\INF\\DRVDATA.BIN", "\\inf\\vnst_kbd.inf"})
            ASSERT_TRUE(vntest::WriteFileBytes(WindowsPath(f), "index"));
    }
    void TearDown() override {
        SetupInstall::TearDown();
        for (const char* f : {"\\INF\\DRVIDX.BIN", "\\INF\\DRVDATA.BIN", "\\inf\\vnst_kbd.inf", "\\inf\\vnst_unk2.inf"})
            DeleteFileA(WindowsPath(f).c_str());
        vn::RegKey run;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_ALL_ACCESS,
                          run.out()) == ERROR_SUCCESS)
            RegDeleteValueA(run.get(), "Keyboard Preload Check");
    }
    void Devices(const std::string& answers) {
        ASSERT_TRUE(vntest::WriteFileBytes(dir.file("vnsetup.ini"), "[Answers]\r\n" + answers));
    }
    std::string Calls() { return FileText(dir.file("vnsetup.log")); }
    const std::string kEntries =
        "[Setup]\r\nUninstallKey=VnSetupTest\r\nProductName=Tessaro Keyboard\r\n[Update Driver]\r\n"
        "kbd=Keyboard, vnst_kbd.inf, Kalvo, Varnel, \"Tessaro, USB\", , , 1, HID\\VID_1234, drivers\\\r\n";
};

TEST_F(SetupDrivers, Windows2000RegistersTheInfAndInstallsThroughTheLibraryLeavingTheIndexAlone) {
    Devices("Connected=0\r\n");
    Script("SETUP2K.INI", kEntries);
    InstallSilently("win2k");
    std::string calls = Calls();
    ASSERT_EQ(calls.find("Install|Keyboard|"), 0u) << calls;
    // The library is handed the system's copy of the INF, not the medium's.
    std::string systemInf = calls.substr(17, calls.find('|', 17) - 17);
    EXPECT_EQ(lstrcmpiA(systemInf.substr(0, WindowsPath("\\inf\\").size()).c_str(), WindowsPath("\\inf\\").c_str()), 0)
        << systemInf;
    EXPECT_NE(calls.find("|Tessaro, USB|Kalvo|Varnel|1|1\nConnected|Keyboard|Tessaro, USB|Kalvo\n"), std::string::npos)
        << calls;
    std::string folder = systemInf.substr(0, systemInf.rfind('\\'));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kRecord) + "\\DeleteFiles", systemInf.substr(folder.size() + 1).c_str()),
              folder);
    EXPECT_TRUE(Exists(WindowsPath("\\INF\\DRVIDX.BIN")));
    EXPECT_TRUE(Exists(WindowsPath("\\INF\\DRVDATA.BIN")));
    DeleteFileA(systemInf.c_str());
}

TEST_F(SetupDrivers, Windows98InstallsFromTheMediumAndRedetectsAnUnknownDeviceAfterCopyingItsInf) {
    Devices("Connected=1\r\nRemoved=1\r\nFoundAfter=3\r\n");
    Script("SETUP98.INI", kEntries + "unk=Unknown, vnst_unk2.inf, Kalvo, Varnel, Thing, , drivers\\vnst_unk.inf, 0, "
                                     "USB\\VID_1234&PID_0001, drivers\\\r\nnone=Unknown, vnst_none.inf, , , , , , , "
                                     "USB\\VID_9999, \r\n");
    InstallSilently("win98");
    const std::string mediumInf = dir.file("drivers\\vnst_kbd.inf");
    EXPECT_EQ(Calls(), "Install|Keyboard|" + mediumInf + "|Tessaro, USB|Kalvo|Varnel|1|1\n"
                       "Connected|Keyboard|Tessaro, USB|Kalvo\n"
                       "Redetect||USB\\VID_1234&PID_0001\nFind||USB\\VID_1234&PID_0001\n"
                       "Find||USB\\VID_1234&PID_0001\nFind||USB\\VID_1234&PID_0001\n");
    EXPECT_EQ(FileText(WindowsPath("\\inf\\vnst_unk2.inf")), FileText(dir.file("drivers\\vnst_unk.inf")));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kRecord) + "\\DeleteFiles", "vnst_unk2.inf"), WindowsPath("\\inf"));
    EXPECT_FALSE(Exists(WindowsPath("\\INF\\DRVIDX.BIN")));
    EXPECT_FALSE(Exists(WindowsPath("\\INF\\DRVDATA.BIN")));
}

TEST_F(SetupDrivers, WindowsMePreloadLeavesTheCheckToTheNextLogon) {
    Devices("Connected=0\r\n");
    vn::RegKey version;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, version.out(), nullptr);
    RegSetValueExA(version.get(), "VersionNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>("4.90.3000"), 10);
    // The system's updater fails: the double stands in for it too.
    ASSERT_TRUE(CopyFileA(dir.file("vnsetup.dll").c_str(), dir.file("newdev.dll").c_str(), FALSE));
    vn::RegKey overrides;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, overrides.out(), nullptr);
    RegSetValueExA(overrides.get(), "newdev", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
    Script("SETUPME.INI", "[Setup]\r\nDeleteINFIndex=FALSE\r\n" + kEntries.substr(9));
    Start("/S /H /NR /P", "winme");
    ASSERT_TRUE(Ends(60000));
    RegDeleteValueA(version.get(), "VersionNumber");
    RegDeleteValueA(overrides.get(), "newdev");
    EXPECT_EQ(Calls(), "Update|HID\\VID_1234|" + dir.file("drivers\\vnst_kbd.inf") + "|1\n");
    EXPECT_FALSE(Exists(WindowsPath("\\inf\\vnst_kbd.inf")));
    EXPECT_TRUE(Exists(WindowsPath("\\INF\\DRVIDX.BIN")));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Keyboard Preload Check"),
              dir.path() + "\\Preload.exe /DEVID:HID\\VID_1234 /CLASS:Keyboard /RunValue:\"Keyboard Preload Check\"");
}

TEST_F(SetupDrivers, FromACdTheDriverFilesComeFromACopyOnDiskRecordedWithItsTree) {
    // The medium is drive R:, which the test bed reports as a CD-ROM drive.
    Devices("Connected=0\r\n");
    const std::string cd = vntest::CdromBackingFolder('r');
    CreateDirectoryA(cd.c_str(), nullptr);
    CreateDirectoryA((cd + "\\drivers").c_str(), nullptr);
    for (const char* f : {"setup.exe", "vnsetup.dll", "vnsetup.ini", "drivers\\vnst_kbd.inf"})
        ASSERT_TRUE(CopyFileA(dir.file(f).c_str(), (cd + "\\" + f).c_str(), FALSE)) << f;
    ASSERT_TRUE(vntest::WriteFileBytes(cd + "\\SETUP2K.INI", "[Setup]\r\nProductName=Tessaro/USB Keyboard\r\n" +
                                                               kEntries.substr(9)));
    const std::string local = WindowsPath("").substr(0, 3) + "Program Files\\Tessaro.USB Keyboard";
    vntest::SetProgramWindowsVersion("setup.exe", "win2k");
    std::string cmd = "R:\\setup.exe /S /H /NR";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> env = vntest::SystemPathEnvironment();  // no real service to start at the end
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, env.data(), nullptr, &si, &pi));
    ASSERT_TRUE(Ends(60000));
    EXPECT_EQ(FileText(local + "\\drivers\\vnst_kbd.inf"), FileText(dir.file("drivers\\vnst_kbd.inf")));
    EXPECT_TRUE(Exists(local + "\\SETUP2K.INI"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kRecord) + "\\DeleteDirectory", local.c_str()), "1");
    std::string calls = FileText(cd + "\\vnsetup.log");
    EXPECT_EQ(calls.find("Install|Keyboard|"), 0u) << calls;
    std::string systemInf = calls.substr(17, calls.find('|', 17) - 17);
    DeleteFileA(systemInf.c_str());
    for (const char* f : {"setup.exe", "vnsetup.dll", "vnsetup.ini", "vnsetup.log", "SETUP2K.INI", "drivers\\vnst_kbd.inf"}) {
        DeleteFileA((cd + "\\" + f).c_str());
        DeleteFileA((local + "\\" + f).c_str());
    }
    RemoveDirectoryA((cd + "\\drivers").c_str());
    RemoveDirectoryA((local + "\\drivers").c_str());
    RemoveDirectoryA(local.c_str());
}

}  // namespace
