// The removal stages that the worker thread runs, following the uninstall record.
#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "uninstall/registry.h"
#include "uninstall/run.h"

namespace uninst {

namespace {

// "vnsetup.dll" is loaded for each call; a missing library or export counts as nothing done.
using RestoreFn = int(__stdcall*)(const char*, const char*, const char*, const char*, int);
using RemoveFn = int(__stdcall*)(const char*, const char*, const char*);
using ReenumerateFn = void(__stdcall*)();

template <typename Fn, typename... Args>
int CallDriverSetup(const char* name, Args... args) {
    vn::Module library(LoadLibraryA("vnsetup.dll"));
    if (!library) return 0;
    auto fn = reinterpret_cast<Fn>(GetProcAddress(library.get(), name));
    if (!fn) return 0;
    if constexpr (std::is_same_v<Fn, ReenumerateFn>) {
        fn(args...);
        return 0;
    } else {
        return fn(args...);
    }
}

std::string Sub(const UninstallRun& run, const char* part) { return RecordPath(run.key) + "\\" + part; }

// A text of section "Strings" of "Uninstal.ini" in the own folder.
bool IniString(const UninstallRun& run, const std::string& name, std::string* out) {
    std::string ini = run.folders.own + "\\Uninstal.ini";
    char text[vn::kMaxText] = {};
    GetPrivateProfileStringA("Strings", name.c_str(), "\x01", text, sizeof text, ini.c_str());
    if (std::strcmp(text, "\x01") == 0) return false;
    *out = text;
    return true;
}

bool SameName(const std::string& a, const std::string& b) { return instutil::SameText(a.c_str(), b.c_str()); }

// The product's use of a file leaves the shared count; true when another product still uses it.
bool ReleaseSharedFile(const UninstallRun& run, const std::string& name) {
    std::string path = std::string(kSharedFileRoot) + "\\" + name;
    bool others = false;
    for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, path))
        if (!SameName(v.first, run.key)) others = true;
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, key.out()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.get(), run.key.c_str());
        key.reset();
        if (!others) DeleteEmptyKeys(HKEY_LOCAL_MACHINE, path);
    }
    return others;
}

// The same for a registry entry: shared when more than one product counts it.
bool ReleaseSharedReg(const UninstallRun& run, const std::string& root, const NamedText& entry) {
    int count = 0;
    for (const std::string& product : SubKeys(HKEY_LOCAL_MACHINE, kSharedRegRoot))
        for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, std::string(kSharedRegRoot) + "\\" + product + "\\" + root))
            if (SameName(v.first, entry.first) && SameRegData(v.second, entry.second)) ++count;
    std::string mine = std::string(kSharedRegRoot) + "\\" + run.key;
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (mine + "\\" + root).c_str(), 0, KEY_ALL_ACCESS, key.out()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.get(), entry.first.c_str());
        key.reset();
        DeleteEmptyKeys(HKEY_LOCAL_MACHINE, mine + "\\" + root);
        DeleteEmptyKeys(HKEY_LOCAL_MACHINE, mine);
    }
    return count > 1;
}

void DeleteOneFile(UninstallRun& run, const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) return;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    run.pending.push_back(path);
    run.restart = true;
}

void DeleteFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    vn::FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
        do {
            if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0) continue;
            std::string path = folder + "\\" + data.cFileName;
            if (path.size() >= vn::kMaxText) continue;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A linked folder is unlinked, never followed.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                DeleteFolderTree(path);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(path.c_str());
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find.get(), &data));
    }
    find.reset();
    RemoveDirectoryA(folder.c_str());
}

// Removes keys of Varnel's shared-use bookkeeping that the last product left empty.
void RemoveEmptyBookkeeping() {
    for (const char* path : {kSharedFileRoot, kSharedRegRoot, "Software\\Varnel\\Uninstall", "Software\\Varnel"})
        if (SubKeys(HKEY_LOCAL_MACHINE, path).empty()) DeleteEmptyKeys(HKEY_LOCAL_MACHINE, path);
}

std::string Clip(const std::string& text) { return text.size() > 300 ? text.substr(0, 300) + "..." : text; }

}  // namespace

std::string RecordPath(const std::string& key) { return std::string(kUninstallRoot) + "\\" + key; }

bool ReadRecord(UninstallRun& run) {
    if (!IsRecordKey(run.key)) return false;
    std::string path = RecordPath(run.key);
    if (!KeyExists(HKEY_LOCAL_MACHINE, path)) return false;
    // A record without a name still gets one in the texts: its key.
    if (!ReadText(HKEY_LOCAL_MACHINE, path, "DisplayName", &run.product) || run.product.empty()) run.product = run.key;
    std::string text;
    if (ReadText(HKEY_LOCAL_MACHINE, path, "NeedRestart", &text) && (text == "TRUE" || text == "1")) run.restart = true;
    if (ReadText(HKEY_LOCAL_MACHINE, path, "CallConfigMg", &text) && (text == "FALSE" || text == "0"))
        run.callConfigManager = 0;
    return true;
}

void RestoreDrivers(UninstallRun& run) {
    for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, Sub(run, "RestoreDrivers")))
        CallDriverSetup<RestoreFn>("RestoreDeviceDriver", static_cast<const char*>(nullptr), v.first.c_str(),
                                   v.second.c_str(), static_cast<const char*>(nullptr), run.callConfigManager);
    int removed = 0;
    for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, Sub(run, "DeleteDevices")))
        removed += CallDriverSetup<RemoveFn>("RemoveDeviceDriver", static_cast<const char*>(nullptr), v.first.c_str(),
                                             v.second.c_str());
    if (removed > 0) CallDriverSetup<ReenumerateFn>("ReenumerateDevice");
}

void CloseWindows(UninstallRun& run) {
    std::string base = Sub(run, "CloseWindows");
    for (const std::string& sub : SubKeys(HKEY_LOCAL_MACHINE, base)) {
        std::string cls, caption;
        bool hasClass = ReadText(HKEY_LOCAL_MACHINE, base + "\\" + sub, "Class", &cls) && !cls.empty();
        bool hasCaption = ReadText(HKEY_LOCAL_MACHINE, base + "\\" + sub, "Caption", &caption) && !caption.empty();
        if (!hasClass && !hasCaption) continue;
        HWND window = FindWindowA(hasClass ? cls.c_str() : nullptr, hasCaption ? caption.c_str() : nullptr);
        DWORD pid = 0;
        if (window) GetWindowThreadProcessId(window, &pid);
        if (!window || pid == GetCurrentProcessId()) continue;
        // Time-limited, so that a hung program cannot stop the removal.
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        Sleep(1000);
    }
}

void DeleteFiles(UninstallRun& run) {
    auto lookup = [&run](const std::string& name, std::string* out) { return IniString(run, name, out); };
    for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, Sub(run, "DeleteFiles"))) {
        const std::string& name = v.first;
        std::string folder = ResolveFolder(v.second, run.folders, lookup);
        if (!IsSafeFile(folder, name)) {
            run.skipped.push_back(Clip(folder + "\\" + name));
            continue;
        }
        bool shared = ReleaseSharedFile(run, name);
        std::string path = folder + "\\" + name;
        switch (StepForFile(shared, KindOf(name), run.yesToAll, run.noToAll, run.askShared != nullptr)) {
        case FileStep::Keep:
            continue;
        case FileStep::RemoveAtEnd:
            run.ownFile = path;
            run.deleteOwnFile = true;
            continue;
        case FileStep::Ask: {
            SharedAnswer answer = run.askShared(run.askContext, name, folder);
            run.yesToAll = answer == SharedAnswer::YesToAll;
            run.noToAll = answer == SharedAnswer::NoToAll;
            if (answer != SharedAnswer::Yes && answer != SharedAnswer::YesToAll) continue;
            break;
        }
        case FileStep::Remove:
            break;
        }
        for (const std::string& extra : Companions(path, name, v.second)) {
            SetFileAttributesA(extra.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(extra.c_str());
        }
        DeleteOneFile(run, path);
    }
}

void DeleteFolders(UninstallRun& run) {
    for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, Sub(run, "DeleteDirectory"))) {
        std::string folder = v.first;
        while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        if (!MayRemoveEmptyFolder(folder)) {
            run.skipped.push_back(Clip(v.first));
            continue;
        }
        if (v.second == "1" && MayDeleteTree(folder, run.folders)) {
            DeleteFolderTree(folder);
            continue;
        }
        // A folder outside the product's own is removed only when nothing is left in it.
        RemoveDirectoryA(folder.c_str());
        if (v.second == "1" && GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
            run.skipped.push_back(Clip(folder));
    }
}

bool DeleteRegistry(UninstallRun& run) {
    // Read first: a script writes its "CleanRegs" list with "Add Registry", which also lists those
    // very values under "DeleteRegs", so they would be gone before their turn.
    std::string clean = Sub(run, "CleanRegs");
    std::vector<std::pair<std::string, std::vector<NamedText>>> cleanList;
    for (const std::string& rootName : SubKeys(HKEY_LOCAL_MACHINE, clean))
        cleanList.emplace_back(rootName, ReadValues(HKEY_LOCAL_MACHINE, clean + "\\" + rootName));
    std::string regs = Sub(run, "DeleteRegs");
    for (const std::string& rootName : SubKeys(HKEY_LOCAL_MACHINE, regs)) {
        HKEY root = RootByName(rootName);
        for (const NamedText& v : ReadValues(HKEY_LOCAL_MACHINE, regs + "\\" + rootName)) {
            if (ReleaseSharedReg(run, rootName, v)) continue;
            std::string name = TrimAtSigns(v.first);
            if (!MeansWholeKey(v.second)) {
                vn::RegKey key;
                if (RegOpenKeyExA(root, KeyPathOfValueEntry(name).c_str(), 0, KEY_ALL_ACCESS, key.out()) == ERROR_SUCCESS)
                    RegDeleteValueA(key.get(), v.second.c_str());
            } else if (MayDeleteKey(name)) {
                DeleteTree(root, name);
            } else {
                run.skipped.push_back(Clip(rootName + "\\" + name));
            }
        }
    }
    for (const auto& root : cleanList)
        for (const NamedText& v : root.second)
            if (MeansWholeKey(v.second) && !TrimAtSigns(v.first).empty())
                DeleteEmptyKeys(RootByName(root.first), TrimAtSigns(v.first));
    bool gone = DeleteTree(HKEY_LOCAL_MACHINE, RecordPath(run.key));
    RemoveEmptyBookkeeping();
    return gone;
}

void FinishRemoval(UninstallRun& run) {
    for (const std::string& path : run.pending) instutil::ScheduleBootRename(nullptr, path.c_str(), run.system);
    if (!run.deleteOwnFile) return;
    for (const std::string& record : SubKeys(HKEY_LOCAL_MACHINE, kUninstallRoot)) {
        std::string command;
        if (ReadText(HKEY_LOCAL_MACHINE, RecordPath(record), "UninstallString", &command) &&
            StartsUninstaller(command, run.folders.system))
            return;
    }
    SetFileAttributesA(run.ownFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    // The copy that is still running (an in-place start) goes at the next start instead.
    if (!DeleteFileA(run.ownFile.c_str()) && GetFileAttributesA(run.ownFile.c_str()) != INVALID_FILE_ATTRIBUTES)
        instutil::ScheduleBootRename(nullptr, run.ownFile.c_str(), run.system);
}

}  // namespace uninst
