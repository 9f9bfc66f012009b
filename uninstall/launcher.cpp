#include "uninstall/launcher.h"

#include <commctrl.h>

#include <cstdio>

#include "common/handles.h"
#include "common/text.h"
#include "uninstall/run.h"
#include "uninstall/ui.h"

namespace uninst {

namespace {

constexpr char kEventName[] = "DeleteSelfEvent";

std::string ProgramPath() {
    char path[vn::kMaxText] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n && n < sizeof path ? path : "";
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SystemFolder(bool windows) {
    char path[vn::kMaxText] = {};
    UINT n = windows ? GetWindowsDirectoryA(path, sizeof path) : GetSystemDirectoryA(path, sizeof path);
    std::string folder = n && n < sizeof path ? path : "";
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

int Work(HINSTANCE instance, const std::string& key, const std::string& ownFolder, vn::Handle event) {
    InitCommonControls();
    UninstallRun run;
    run.instance = instance;
    run.system = instutil::DetectSystem();
    if (run.system.nt) instutil::AdjustThreadLanguage();
    run.key = key;
    run.folders = Folders{SystemFolder(true), SystemFolder(false), ownFolder};
    run.deleteSelfEvent = std::move(event);
    if (!ReadRecord(run)) {
        // The launcher must not wait for a copy that has nothing to do.
        SetEvent(run.deleteSelfEvent.get());
        return 0;
    }
    RunUninstall(run);
    SetEvent(run.deleteSelfEvent.get());
    return 0;
}

}  // namespace

bool LaunchWorkingCopy(const std::string& key, const std::string& ownFolder) {
    std::string self = ProgramPath();
    char tempFolder[vn::kMaxText] = {};
    char temp[vn::kMaxText] = {};
    DWORD n = GetTempPathA(sizeof tempFolder, tempFolder);
    if (n == 0 || n >= sizeof tempFolder || !GetTempFileNameA(tempFolder, "www", 0, temp)) return false;
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileA(self.c_str(), temp, FALSE)) {
        DeleteFileA(temp);
        return false;
    }
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    instutil::ScheduleBootRename(nullptr, temp, instutil::DetectSystem());
    // The copy goes when this handle and the copy's process are gone.
    vn::FileHandle keep(CreateFileA(temp, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    vn::Handle event(CreateEventA(nullptr, FALSE, FALSE, kEventName));
    if (!event) return false;
    std::string command = WorkingCopyCommand(temp, key, ownFolder);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
    vn::Handle process(pi.hProcess), thread(pi.hThread);
    // The copy's end counts as its signal too, so that a copy that fails cannot leave this waiting.
    HANDLE waits[2] = {event.get(), process.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return true;
}

int Main(HINSTANCE instance, const std::vector<std::string>& args) {
    std::string self = ProgramPath();
    switch (RoleFor(args)) {
    case Role::Launcher:
        return LaunchWorkingCopy(args[0], FolderOf(self)) ? 0 : 1;
    case Role::Working: {
        vn::Handle event(OpenEventA(EVENT_ALL_ACCESS, FALSE, kEventName));
        return Work(instance, args[0], args[2], std::move(event));
    }
    case Role::InPlace: {
        std::string folder = FolderOf(self);
        std::string ini = folder + "\\Uninstal.ini";
        char key[vn::kMaxText] = {};
        GetPrivateProfileStringA("Uninstall", "UninstallKey", "", key, sizeof key, ini.c_str());
        if (!key[0]) return 0;
        return Work(instance, key, folder, vn::Handle());
    }
    case Role::Quit:
        break;
    }
    return 0;
}

}  // namespace uninst
