#include "setup/registry_work.h"

#include "common/handles.h"
#include "setup/script/work_rules.h"

namespace setup {

namespace {

constexpr DWORD kMergeWait = 30000;

HKEY RootKey(setupscript::RegistryLine::Root root) {
    switch (root) {
    case setupscript::RegistryLine::LocalMachine: return HKEY_LOCAL_MACHINE;
    case setupscript::RegistryLine::CurrentUser: return HKEY_CURRENT_USER;
    case setupscript::RegistryLine::ClassesRoot: return HKEY_CLASSES_ROOT;
    default: return HKEY_USERS;
    }
}

bool Write(const setupscript::RegistryLine& line) {
    vn::RegKey key;
    if (RegCreateKeyExA(RootKey(line.root), line.keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.out(), nullptr) != ERROR_SUCCESS)
        return false;
    const char* name = line.valueName.c_str();
    switch (line.kind) {
    case setupscript::RegistryLine::KeyOnly:
        return true;
    case setupscript::RegistryLine::Text:
        return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(line.text.c_str()),
                              static_cast<DWORD>(line.text.size() + 1)) == ERROR_SUCCESS;
    case setupscript::RegistryLine::Dword: {
        DWORD value = line.bytes[0];
        return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
               ERROR_SUCCESS;
    }
    case setupscript::RegistryLine::Binary:
        return RegSetValueExA(key.get(), name, 0, REG_BINARY, line.bytes.data(), static_cast<DWORD>(line.bytes.size())) ==
               ERROR_SUCCESS;
    }
    return false;
}

std::string Text(HKEY key, const char* name) {
    char value[260] = {};
    DWORD type = 0, size = sizeof value - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    return value;
}

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The last value of the key whose text is a full path ("C:\...").
std::string FullPathIn(const std::string& keyPath) {
    vn::RegKey key;
    if (keyPath.empty() || RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return "";
    std::string found;
    for (DWORD i = 0;; ++i) {
        char name[260] = {}, data[260] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        LONG r = RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_SUCCESS && type == REG_SZ && data[0] && data[1] == ':' && data[2] == '\\') found = data;
    }
    return found;
}

}  // namespace

void AddRegistry(const FileProfile& profile, const setupscript::Folders& folders, const UninstallRecord& record) {
    for (const std::string& label : profile.Keys("Add Registry")) {
        setupscript::RegistryLine line = setupscript::ParseRegistryLine(profile.Fields("Add Registry", label, folders));
        if (Write(line)) record.Registry(setupscript::RootName(line.root), setupscript::RecordName(line), line.valueName);
    }
}

void AddRegistryFiles(const SetupRun& run, const FileProfile& profile, const setupscript::Folders& folders) {
    for (const std::string& label : profile.Keys("Add Registry Files")) {
        std::vector<std::string> f = profile.Fields("Add Registry Files", label, folders);
        f.resize(1);
        std::string path = run.sourceFolder + "\\" + run.keys.srcFileDir + "\\" + f[0];
        if (!IsFile(path)) continue;
        std::string command = "regedit /S \"" + path + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) continue;
        vn::Handle process(pi.hProcess), thread(pi.hThread);
        // The check reads what the file brings: it runs once the editor has merged it.
        WaitForSingleObject(pi.hProcess, kMergeWait);
        if (LaunchCommandUsable()) break;
    }
}

bool LaunchCommandUsable() {
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\OSTRL_KBD\\Productivity\\HOTKEY01", 0, KEY_ALL_ACCESS,
                      key.out()) != ERROR_SUCCESS)
        return false;
    auto store = [&key](const std::string& command) {
        RegSetValueExA(key.get(), "ActionCommand", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    };
    std::string path = FullPathIn(Text(key.get(), "PathInRegName"));
    if (!path.empty()) {
        std::string command = path + Text(key.get(), "DisplayName");
        bool usable = IsFile(command);
        store(usable ? command : "");
        return usable;
    }
    if (IsFile(Text(key.get(), "ActionCommand"))) return true;
    store("");
    return false;
}

}  // namespace setup
