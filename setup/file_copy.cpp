#include "setup/file_copy.h"

#include <windows.h>
#include <setupapi.h>

#include <cstdint>
#include <cstring>
#include <map>

#include "common/handles.h"
#include "keyfunc/sysrules.h"
#include "setup/resource.h"
#include "setup/script/work_rules.h"

namespace setup {

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Post(InstallShared& shared, UINT msg) { PostMessageA(shared.page, msg, 0, 0); }

// Waits while the "Exit Setup" question is open; true when the run goes on. The event is waited
// for only while the page says it is reset: a wait is a round trip to the system even when it
// returns at once, and the copy asks before every file. The page first shows where it stopped.
bool GoOn(InstallShared& shared) {
    if (shared.pausing) {
        Post(shared, kProgressChanged);
        WaitForSingleObject(shared.pause, INFINITE);
    }
    return shared.cancelled == 0;
}

// Clears read-only, hidden and system, so that the file can be replaced and is seen. Only a file
// that has one of them is changed: the change costs far more than the look on some file systems,
// and a new file has none (the archive bit is left as it is).
void MakeNormal(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)))
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
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

// The sizes of the files in a folder (its path ending with a backslash), by upper-case name: one
// look at the folder instead of one per file.
std::map<std::string, DWORD> SizesIn(const std::string& folder) {
    std::map<std::string, DWORD> sizes;
    WIN32_FIND_DATAA data{};
    vn::FindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return sizes;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            sizes.emplace(instutil::UpperText(data.cFileName), data.nFileSizeLow);
    } while (FindNextFileA(find.get(), &data));
    return sizes;
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

struct CabinetWalk {
    InstallShared* shared;
    DWORD total = 0;
    FileRecord* pending = nullptr;
    FILETIME time{};
    std::string failedFile;  // an extraction that could not be written
    DWORD failedError = 0;
};

UINT CALLBACK OnCabinetFile(void* context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto& walk = *static_cast<CabinetWalk*>(context);
    InstallShared& shared = *walk.shared;
    if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto& info = *reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        GoOn(shared);
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
        if (paths.Win32Error != NO_ERROR && walk.failedError == 0) {
            walk.failedFile = paths.Target;
            walk.failedError = paths.Win32Error;
        }
        if (walk.pending && paths.Win32Error == NO_ERROR) {
            walk.pending->extracted = true;
            vn::FileHandle file(CreateFileA(paths.Target, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (file) SetFileTime(file.get(), &walk.time, nullptr, &walk.time);
            file.reset();
            MakeNormal(paths.Target);
        }
        walk.pending = nullptr;
        return paths.Win32Error;
    }
    return NO_ERROR;  // a further cabinet is never asked for: the walk ends there
}

bool Fail(SetupRun& run, int code, const std::string& file, DWORD error) {
    run.failureCode = code;
    run.failedFile = file;
    run.failedError = error;
    return false;
}

// Extracts the listed files into the temporary folder; false (the failure set) when the cabinet
// cannot be read or an extracted file cannot be written.
bool ExtractCabinet(InstallShared& shared, DWORD* total) {
    SetupRun& run = *shared.run;
    std::string cabinet = run.sourceFolder + "\\";
    if (!run.keys.srcFileDir.empty()) cabinet += run.keys.srcFileDir + "\\";
    cabinet += run.keys.cabFileName;
    vn::Module setupapi(LoadLibraryA("setupapi.dll"));
    using IterateFn = BOOL(WINAPI*)(const char*, DWORD, PSP_FILE_CALLBACK_A, void*);
    auto iterate = setupapi ? reinterpret_cast<IterateFn>(GetProcAddress(setupapi.get(), "SetupIterateCabinetA")) : nullptr;
    if (!iterate || run.keys.cabFileName.empty() || !Exists(cabinet) || !MakeTempFolder(shared))
        return Fail(run, kCabinetFailure, cabinet, 0);
    CabinetWalk walk{&shared};
    BOOL ok = iterate(cabinet.c_str(), 0, OnCabinetFile, &walk);
    *total = walk.total;
    if (DiskFull(walk.failedError)) return Fail(run, kFileFailure, walk.failedFile, walk.failedError);
    return ok != FALSE || Fail(run, kCabinetFailure, cabinet, 0);
}

// Copies a file (onlyNew: fails when the destination exists); a copy cut short by a full disk is
// removed, the error kept.
bool CopyWhole(const std::string& source, const std::string& destination, bool onlyNew = false) {
    if (CopyFileA(source.c_str(), destination.c_str(), onlyNew)) return true;
    const DWORD error = GetLastError();
    if (DiskFull(error)) DeleteFileA(destination.c_str());
    SetLastError(error);
    return false;
}

// Copies over an in-use destination's side name instead; the pair is replaced at the next start.
// False (the error kept) when no side copy could be written either.
bool CopyBeside(InstallShared& shared, const std::string& source, const std::string& destination) {
    for (int digit = 0; digit < 10; ++digit) {
        std::string side = setupscript::SidePath(destination, digit);
        MakeNormal(side);
        if (CopyWhole(source, side)) {
            shared.run->renames.emplace_back(destination, side);
            return true;
        }
        if (DiskFull(GetLastError())) return false;  // no further name fits either
    }
    return false;
}

// Keeps the destination as it was, so that "Exit Setup" or a failed copy can put it back. False
// (the error kept) when no backup could be made.
bool KeepBackup(InstallShared& shared, FileRecord& r, const std::string& destination, std::size_t index) {
    if (!MakeTempFolder(shared)) return false;
    std::string backup = shared.tempFolder + "\\backup" + std::to_string(index);
    if (!CopyWhole(destination, backup)) return false;
    r.backup = backup;
    return true;
}

enum class Outcome { Next, Cancelled, Failed };

// A file that could not be written: nothing half-written stays, the record names only what is on
// disk, and the run stops (the files after it would not fit either).
Outcome NotWritten(InstallShared& shared, const FileRecord& r, const std::string& destination, bool existed,
                   DWORD error, const UninstallRecord& record) {
    if (!r.backup.empty())
        CopyFileA(r.backup.c_str(), destination.c_str(), FALSE);
    else if (!existed)
        DeleteFileA(destination.c_str());
    if (!Exists(destination)) record.Forget(destination);
    Fail(*shared.run, kFileFailure, destination, error);
    return Outcome::Failed;
}

// source: where the record's file is read from. movable: the source is an extracted copy that goes
// away after this file anyway, so a new destination on the same volume can simply take it over.
Outcome CopyRecord(InstallShared& shared, FileRecord& r, std::size_t index, const std::string& source, bool movable,
                   const UninstallRecord& record) {
    const std::string destination = Destination(r);
    // The page shows this file and the progress so far. Posted, not sent, so that the copy never
    // waits for the page; and only when the page took the last one, so that it never falls behind,
    // and a moment after the last one: more often than the eye follows, it only slows the copy.
    InterlockedExchange(&shared.current, static_cast<LONG>(index));
    const DWORD now = GetTickCount();
    if (now - shared.postedAt >= kProgressInterval && InterlockedExchange(&shared.posted, 1) == 0) {
        shared.postedAt = now;
        Post(shared, kProgressChanged);
    }
    record.File(destination);
    if (!GoOn(shared)) return Outcome::Cancelled;
    // Most destinations are new: the file goes there at once, and the rules decide only when one is
    // there already (a look for a missing file costs about as much as the copy's own look).
    if (movable ? MoveFileA(source.c_str(), destination.c_str()) != FALSE : CopyWhole(source, destination, true)) {
        r.copied = true;
        if (movable)
            r.extracted = false;  // taken over as extracted, attributes already normal
        else
            MakeNormal(destination);
        return Outcome::Next;
    }
    if (!movable && DiskFull(GetLastError())) return NotWritten(shared, r, destination, false, GetLastError(), record);
    const bool existed = Exists(destination);
    const bool copy = !existed || SourceReplaces(source, destination);
    if (!copy || (!movable && !Exists(source))) return Outcome::Next;
    // Without room for the backup the old file is left as it is rather than risked.
    if (existed && !KeepBackup(shared, r, destination, index) && DiskFull(GetLastError()))
        return NotWritten(shared, r, destination, existed, GetLastError(), record);
    if (existed) MakeNormal(destination);
    if (CopyWhole(source, destination)) {
        r.copied = true;
    } else {
        DWORD error = GetLastError();
        // Any other failure means the destination is in use: its replacement waits for the next start.
        if (!DiskFull(error)) error = CopyBeside(shared, source, destination) ? NO_ERROR : GetLastError();
        if (error != NO_ERROR) return NotWritten(shared, r, destination, existed, error, record);
    }
    MakeNormal(destination);
    return Outcome::Next;
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
    std::string medium = run.sourceFolder + "\\";
    if (!run.keys.srcFileDir.empty()) medium += run.keys.srcFileDir + "\\";
    DWORD total = 0;
    if (shared.files.empty()) {
        InterlockedExchange(&shared.percent, 100);
        Post(shared, kProgressChanged);
        return true;
    }
    if (run.keys.cabFile) {
        if (!ExtractCabinet(shared, &total)) return false;
        if (shared.cancelled) return true;
    }
    // Files the cabinet lacks come from the medium folder, so one medium can hold both. A name the
    // folder's listing does not show as such (a short name, a path) is looked up on its own.
    const std::map<std::string, DWORD> sizes = SizesIn(medium);
    for (FileRecord& r : shared.files) {
        if (r.extracted) continue;
        auto found = sizes.find(instutil::UpperText(r.source));
        total += r.size = found != sizes.end() ? found->second : SizeOf(medium + r.source);
    }
    DWORD done = 0;
    for (std::size_t i = 0; i < shared.files.size(); ++i) {
        FileRecord& r = shared.files[i];
        const bool extracted = r.extracted;
        const std::string source = (extracted ? shared.tempFolder + "\\" : medium) + r.source;
        const Outcome outcome = CopyRecord(shared, r, i, source, extracted, record);
        if (outcome == Outcome::Cancelled) return true;
        if (r.extracted) {
            DeleteFileA(source.c_str());
            r.extracted = false;
        }
        if (outcome == Outcome::Failed) return false;
        done += r.size;
        InterlockedExchange(&shared.percent, setupscript::Percent(done, total));
    }
    Post(shared, kProgressChanged);
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
        const std::string destination = Destination(r);
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
