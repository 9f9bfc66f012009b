// The state of one uninstall run, shared by the dialogs and the worker thread that removes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/handles.h"
#include "setup/util/installer_util.h"
#include "uninstall/rules.h"

namespace uninst {

enum class SharedAnswer { Yes, YesToAll, No, NoToAll };

struct UninstallRun {
    HINSTANCE instance = nullptr;
    instutil::SystemKind system;
    std::string key;  // the record's key name below the system's "Uninstall" key
    Folders folders;  // Windows, system and own folder
    std::string product;
    bool restart = false;
    int callConfigManager = 1;
    bool yesToAll = false;
    bool noToAll = false;
    std::vector<std::string> pending;  // files to delete at the next start
    std::string ownFile;               // the installed uninstaller, deleted at Finish
    bool deleteOwnFile = false;
    int failure = 0;                   // 2: the record could not be deleted
    std::vector<std::string> skipped;  // entries refused because they reach beyond the product
    vn::Handle deleteSelfEvent;        // signalled once the installed program file is no longer needed
    HWND background = nullptr;
    // Asked for every shared file; set by the progress dialog (a message to its thread).
    SharedAnswer (*askShared)(void* context, const std::string& name, const std::string& folder) = nullptr;
    void* askContext = nullptr;
};

// The record's path below HKEY_LOCAL_MACHINE.
std::string RecordPath(const std::string& key);
constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kSharedFileRoot[] = "Software\\Varnel\\Uninstall\\SharedFile";
constexpr char kSharedRegRoot[] = "Software\\Varnel\\Uninstall\\SharedReg";

// Reads "DisplayName", "NeedRestart" and "CallConfigMg"; false when the record does not exist.
bool ReadRecord(UninstallRun& run);

// The removal stages, in order, on the worker thread.
void RestoreDrivers(UninstallRun& run);  // stage 1
void CloseWindows(UninstallRun& run);    // stage 2
void DeleteFiles(UninstallRun& run);     // stage 4
void DeleteFolders(UninstallRun& run);   // stage 5
bool DeleteRegistry(UninstallRun& run);  // stage 6; false when the record key could not be deleted

// At Finish: pending deletes scheduled, the own file deleted when no record still needs it.
void FinishRemoval(UninstallRun& run);

}  // namespace uninst
