#include "setup/file_copy.h"

#include <windows.h>
#include <setupapi.h>

#include <cstdint>
#include <cstring>

#include "common/handles.h"
#include "keyfunc/sysrules.h"
#include "setup/resource.h"
#include "setup/script/work_rules.h"

namespace setup {

namespace {

bool DiskFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits while the "Exit Setup" question is open; true when the run goes on.
bool GoOn(InstallShared& shared) {
    WaitForSingleObject(shared.pause, INFINITE);
    return shared.cancelled == 0;
}

setupscript::FileVersionFacts VersionOf(const std::string& path) {
    setupscript::FileVersionFacts facts;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return facts;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return facts;
    void* data = nullptr;
    UINT len = 0;
    if (VerQueryValueA(block.data(), "\\", &data, &len) && data && len >= sizeof(VS_FIXEDFILEINFO)) {
        auto* fixed = static_cast<VS_FIXEDFILEINFO*>(data);
        facts.fixed = true;
        facts.fixedHigh = fixed->dwFileVersionMS;
        facts.fixedLow = fixed->dwFileVersionLS;
    }
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &data, &len) || !data || len < 4) return facts;
    const WORD* pair = static_cast<const WORD*>(data);
    char query[64];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\FileVersion", pair[0], pair[1]);
    if (!VerQueryValueA(block.data(), query, &data, &len) || !data) return facts;
    const char* text = static_cast<const char*>(data);
    std::string value(text, lstrlenA(text) < static_cast<int>(len) ? lstrlenA(text) : len);
    std::uint32_t high = 0, low = 0;
    if (vn::ParseVersionText(value.c_str(), &high, &low)) {
        facts.text = true;
        facts.textHigh = high;
        facts.textLow = low;
    }
    return facts;
}

bool LastWrite(const std::string& path, FILETIME* time) {
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find) return false;
    *time = data.ftLastWriteTime;
    return true;
}

bool SourceReplaces(const std::string& source, const std::string& destination) {
    FILETIME s{}, d{};
    bool later = LastWrite(source, &s) && LastWrite(destination, &d) && CompareFileTime(&s, &d) > 0;
    return setupscript::SourceReplaces(VersionOf(source), VersionOf(destination), later);
}

DWORD SizeOf(const std::string& path) {
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA(path.c_str(), &data));
    return find ? data.nFileSizeLow : 0;
}

// The temporary folder: the Windows folder's "_VarnelTempDir" and the first free number.
bool MakeTempFolder(InstallShared& shared) {
    if (!shared.tempFolder.empty()) return true;
    for (int i = 0; i < 1000; ++i) {
        std::string folder = WindowsFolder() + "\\_VarnelTempDir" + std::to_string(i);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            shared.tempFolder = folder;
            return true;
        }
    }
    return false;
}

void Post(InstallShared& shared, UINT msg) { PostMessageA(shared.page, msg, 0, 0); }

struct CabinetWalk {
    InstallShared* shared;
    DWORD total = 0;
    FileRecord* pending = nullptr;
    FILETIME time{};
};

UINT CALLBACK OnCabinetFile(void* context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto& walk = *static_cast<CabinetWalk*>(context);
    InstallShared& shared = *walk.shared;
    if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto& info = *reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        WaitForSingleObject(shared.pause, INFINITE);
        const char* slash = std::strrchr(info.NameInCabinet, '\\');
        const char* name = slash ? slash + 1 : info.NameInCabinet;
        for (FileRecord& r : shared.files) {
            if (lstrcmpiA(r.source.c_str(), name) != 0) continue;
            r.size = info.FileSize;
            walk.total += info.FileSize;
            std::string target = shared.tempFolder + "\\" + name;
            if (shared.cancelled || target.size() >= sizeof info.FullTargetName) return FILEOP_SKIP;
            lstrcpyA(info.FullTargetName, target.c_str());
            FILETIME local{};
            DosDateTimeToFileTime(info.DosDate, info.DosTime, &local);
            LocalFileTimeToFileTime(&local, &walk.time);
            walk.pending = &r;
            return FILEOP_DOIT;
        }
        return FILEOP_SKIP;
    }
    if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        auto& paths = *reinterpret_cast<FILEPATHS_A*>(param1);
        if (walk.pending && paths.Win32Error == NO_ERROR) {
            walk.pending->extracted = true;
            vn::FileHandle file(CreateFileA(paths.Target, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (file) SetFileTime(file.get(), &walk.time, nullptr, &walk.time);
            file.reset();
            SetFileAttributesA(paths.Target, FILE_ATTRIBUTE_NORMAL);
        }
        walk.pending = nullptr;
        return paths.Win32Error;
    }
    return NO_ERROR;  // a further cabinet is never asked for: the walk ends there
}

// Extracts the listed files into the temporary folder; false when the cabinet cannot be read.
bool ExtractCabinet(InstallShared& shared, DWORD* total) {
    const setupscript::SetupKeys& keys = shared.run->keys;
    std::string cabinet = shared.run->sourceFolder + "\\";
    if (!keys.srcFileDir.empty()) cabinet += keys.srcFileDir + "\\";
    cabinet += keys.cabFileName;
    vn::Module setupapi(LoadLibraryA("setupapi.dll"));
    using IterateFn = BOOL(WINAPI*)(const char*, DWORD, PSP_FILE_CALLBACK_A, void*);
    auto iterate = setupapi ? reinterpret_cast<IterateFn>(GetProcAddress(setupapi.get(), "SetupIterateCabinetA")) : nullptr;
    if (!iterate || keys.cabFileName.empty() || !Exists(cabinet) || !MakeTempFolder(shared)) return false;
    CabinetWalk walk{&shared};
    BOOL ok = iterate(cabinet.c_str(), 0, OnCabinetFile, &walk);
    *total = walk.total;
    return ok != FALSE;
}

// Copies over an in-use destination's side name instead; the pair is replaced at the next start.
void CopyBeside(InstallShared& shared, const std::string& source, const std::string& destination) {
    for (int digit = 0; digit < 10; ++digit) {
        std::string side = setupscript::SidePath(destination, digit);
        SetFileAttributesA(side.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (CopyFileA(source.c_str(), side.c_str(), FALSE)) {
            shared.run->renames.emplace_back(destination, side);
            return;
        }
    }
}

// Keeps the destination as it was, so that "Exit Setup" can put it back.
void KeepBackup(InstallShared& shared, FileRecord& r, const std::string& destination, std::size_t index) {
    if (!MakeTempFolder(shared)) return;
    std::string backup = shared.tempFolder + "\\backup" + std::to_string(index);
    if (CopyFileA(destination.c_str(), backup.c_str(), FALSE)) r.backup = backup;
}

// movable: the source is an extracted copy that goes away after this file anyway, so a new
// destination on the same volume can simply take it over.
bool CopyRecord(InstallShared& shared, FileRecord& r, std::size_t index, const std::string& from, bool movable,
                const UninstallRecord& record) {
    const std::string destination = r.folder + "\\" + (r.target.empty() ? r.source : r.target);
    SetDlgItemTextA(shared.page, IDC_FROM, r.source.c_str());
    SetDlgItemTextA(shared.page, IDC_TO, destination.c_str());
    record.File(destination);
    const std::string source = from + r.source;
    const bool existed = Exists(destination);
    const bool copy = !existed || SourceReplaces(source, destination);
    if (!GoOn(shared)) return false;
    if (copy && Exists(source)) {
        if (existed) KeepBackup(shared, r, destination, index);
        SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((movable && !existed && MoveFileA(source.c_str(), destination.c_str())) ||
            CopyFileA(source.c_str(), destination.c_str(), FALSE)) {
            r.copied = true;
        } else if (DiskFull(GetLastError())) {
            // A copy cut short must not stay behind as if installed: the old file returns.
            if (!r.backup.empty())
                CopyFileA(r.backup.c_str(), destination.c_str(), FALSE);
            else if (!existed)
                DeleteFileA(destination.c_str());
        } else {
            CopyBeside(shared, source, destination);
        }
        SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

}  // namespace

std::vector<FileRecord> ReadCopyFiles(const FileProfile& profile, const setupscript::Folders& folders) {
    std::vector<FileRecord> files;
    for (const std::string& name : profile.Keys("Copy Files")) {
        std::vector<std::string> f = profile.Fields("Copy Files", name, folders);
        f.resize(2);
        FileRecord r;
        r.source = name;
        r.folder = f[0];
        r.target = f[1];
        files.push_back(r);
    }
    return files;
}

bool CopyFiles(InstallShared& shared, const UninstallRecord& record) {
    SetupRun& run = *shared.run;
    const bool cabinet = run.keys.cabFile;
    std::string from = run.sourceFolder + "\\";
    if (!run.keys.srcFileDir.empty()) from += run.keys.srcFileDir + "\\";
    DWORD total = 0;
    if (shared.files.empty()) {
        InterlockedExchange(&shared.percent, 100);
        Post(shared, kProgressChanged);
        return true;
    }
    if (cabinet) {
        if (!ExtractCabinet(shared, &total)) {
            run.failureCode = 3;
            return false;
        }
        if (shared.cancelled) return true;
        if (run.keys.srcFileDir.empty()) from = shared.tempFolder + "\\";
    } else {
        for (FileRecord& r : shared.files) total += r.size = SizeOf(from + r.source);
    }
    DWORD done = 0;
    for (std::size_t i = 0; i < shared.files.size(); ++i) {
        FileRecord& r = shared.files[i];
        if (!CopyRecord(shared, r, i, from, cabinet && run.keys.srcFileDir.empty(), record)) return true;
        if (cabinet && run.keys.srcFileDir.empty() && r.extracted) {
            DeleteFileA((from + r.source).c_str());
            r.extracted = false;
        }
        done += r.size;
        InterlockedExchange(&shared.percent, setupscript::Percent(done, total));
        Post(shared, kProgressChanged);
    }
    return true;
}

void RemoveTempFolder(InstallShared& shared) {
    if (shared.tempFolder.empty()) return;
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA((shared.tempFolder + "\\*").c_str(), &data));
    if (find) {
        do {
            std::string path = shared.tempFolder + "\\" + data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find.get(), &data));
    }
    find.reset();
    RemoveDirectoryA(shared.tempFolder.c_str());
    for (FileRecord& r : shared.files) r.extracted = false, r.backup.clear();
    shared.tempFolder.clear();
}

void RollBack(InstallShared& shared) {
    for (FileRecord& r : shared.files) {
        if (!r.copied) continue;
        const std::string destination = r.folder + "\\" + (r.target.empty() ? r.source : r.target);
        SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (r.backup.empty() ? DeleteFileA(destination.c_str()) : CopyFileA(r.backup.c_str(), destination.c_str(), FALSE))
            r.copied = false;
    }
    for (const auto& pair : shared.run->renames) {
        SetFileAttributesA(pair.second.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(pair.second.c_str());
    }
    shared.run->renames.clear();
    RemoveTempFolder(shared);
}

}  // namespace setup
