#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "setup/profile.h"
#include "setup/resource.h"
#include "setup/run.h"
#include "setup/script/fields.h"
#include "setup/script/licence.h"

namespace setup {

namespace {

std::string FolderOf(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? std::string(path, slash - path) : std::string();
}

void PickLicence(SetupRun& run) {
    const char* file = setupscript::LicenceFileForLocale(run.userLocale);
    if (!file) return;
    std::string folder = run.sourceFolder;
    if (!run.keys.licenseFolder.empty()) folder += "\\" + run.keys.licenseFolder;
    char found[vn::kMaxText] = {};
    char* namePart = nullptr;
    DWORD n = SearchPathA(folder.c_str(), file, nullptr, sizeof found, found, &namePart);
    if (n == 0 || n >= sizeof found) return;
    WIN32_FIND_DATAA data{};
    vn::FindHandle search(FindFirstFileA(found, &data));
    if (!search) return;
    run.licencePath = found;
    run.licenceLength = data.nFileSizeLow;
}

// "PreRun Programs": each started from its folder with its arguments, waited for when asked.
void RunPreRunPrograms(const SetupRun& run, const FileProfile& profile) {
    setupscript::Folders folders = RunFolders(run);
    for (const std::string& program : profile.Keys("PreRun Programs")) {
        std::vector<std::string> f = profile.Fields("PreRun Programs", program, folders);
        f.resize(3);
        std::string command = "\"" + f[0] + "\\" + program + "\" " + f[1];
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) continue;
        vn::Handle process(pi.hProcess), thread(pi.hThread);
        if (f[2] == "1") WaitForSingleObject(pi.hProcess, INFINITE);
    }
}

}  // namespace

std::string SystemFolder() {
    char path[vn::kMaxText] = {};
    UINT n = GetSystemDirectoryA(path, sizeof path);
    return n && n < sizeof path ? path : "";
}

std::string WindowsFolder() {
    char path[vn::kMaxText] = {};
    UINT n = GetWindowsDirectoryA(path, sizeof path);
    return n && n < sizeof path ? path : "";
}

setupscript::Folders RunFolders(const SetupRun& run) {
    return {WindowsFolder(), SystemFolder(), run.destination, run.sourceFolder};
}

std::string LoadText(HINSTANCE instance, UINT id) {
    char text[1024] = {};
    LoadStringA(instance, id, text, sizeof text);
    return text;
}

std::string FillIn(std::string text, const std::string& value) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
    return text;
}

bool EnsureRuntime(const char* systemFolder) {
    std::string target = std::string(systemFolder) + "\\msvcrt.dll";
    if (instutil::FileExists(target.c_str())) return true;
    char loaded[vn::kMaxText] = {};
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    DWORD n = runtime ? GetModuleFileNameA(runtime, loaded, sizeof loaded) : 0;
    if (n == 0 || n >= sizeof loaded) return false;
    return CopyFileA(loaded, target.c_str(), TRUE) != 0;
}

void ApplyCommandLine(SetupRun& run, const setupscript::CommandOptions& o) {
    if (o.hidden) run.hidden = true;
    if (o.silent) {
        run.silent = true;
        run.askType = run.askPath = run.askProgramFolder = false;
    }
    if (o.noRestart) run.noRestart = true;
    if (o.preload) run.preload = true;
    if (o.typeGiven) {
        setupscript::ChooseInterface(run.iface, o.type, run.system.nt, run.keys.usbInf);
        run.askType = false;
    }
}

bool StartUp(SetupRun& run, const char* commandLine) {
    run.system = instutil::DetectSystem();
    if (run.system.nt) instutil::AdjustThreadLanguage();

    char self[vn::kMaxText] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return false;
    run.sourceFolder = FolderOf(self);
    run.destination = SystemFolder();

    if (run.system.win95 && !EnsureRuntime(run.destination.c_str())) {
        MessageBoxA(nullptr, LoadText(run.instance, IDS_NO_RUNTIME).c_str(),
                    LoadText(run.instance, IDS_SETUP_WARNING).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }

    const char* script = setupscript::ChooseScript(run.system, [&run](const char* name) {
        return instutil::FileExists((run.sourceFolder + "\\" + name).c_str());
    });
    if (!script) {
        MessageBoxA(nullptr, LoadText(run.instance, IDS_NOT_SUPPORTED).c_str(),
                    LoadText(run.instance, IDS_SETUP_WARNING).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    run.scriptPath = run.sourceFolder + "\\" + script;
    FileProfile profile(run.scriptPath);
    run.keys = setupscript::ReadSetupKeys(profile, run.sourceFolder, LoadText(run.instance, IDS_SETUP));
    run.iface = setupscript::ScriptInterface(run.keys, run.system.nt, &run.askType);
    run.askLicense = run.keys.askLicense;
    run.askPath = run.keys.askPath;
    run.askProgramFolder = run.keys.askProgramFolder;

    if (!instutil::ReadUserLocale(run.system, run.userLocale, sizeof run.userLocale))
        vn::CopyText(run.userLocale, sizeof run.userLocale, "00000409");
    if (run.askLicense) PickLicence(run);

    RunPreRunPrograms(run, profile);
    ApplyCommandLine(run, setupscript::ParseCommandLine(commandLine));
    return true;
}

}  // namespace setup
