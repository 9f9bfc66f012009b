// Decisions of the uninstaller that need no system calls: the command-line role, folder
// placeholders, registry entry names, shared-use counting and the limits on what may be removed.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace uninst {

enum class Role {
    InPlace,   // no argument or "/DeleteSelf" alone: the key comes from "Uninstal.ini"
    Launcher,  // the key alone: start a temporary copy and wait for it
    Working,   // key, "/DeleteSelf", own folder: the temporary copy at work
    Quit,      // anything else
};
Role RoleFor(const std::vector<std::string>& args);

// The working copy's command line: the temporary program in quotes, then the key, "/DeleteSelf"
// and the own folder, each quoted so that the run-time library splits them back unchanged
// whatever quotes, blanks and backslashes they hold.
std::string WorkingCopyCommand(const std::string& program, const std::string& key, const std::string& ownFolder);

// A key that names one record: not empty, without a backslash (which would reach the list of
// records or another one) and within the text limit.
bool IsRecordKey(const std::string& key);

// The folders the placeholders of an uninstall record stand for.
struct Folders {
    std::string windows;  // no trailing backslash
    std::string system;
    std::string own;
};
// "%11%" and "" the system folder, "%10%" Windows, "%99%" the own folder, "%12%" the drivers,
// "%17%" Inf, "%18%" Help; any other text through lookup (the "Strings" section of
// "Uninstal.ini"), else as it stands.
std::string ResolveFolder(const std::string& text, const Folders& folders,
                          const std::function<bool(const std::string&, std::string*)>& lookup);

// A "DeleteRegs" or "CleanRegs" name without its trailing at-signs.
std::string TrimAtSigns(const std::string& name);
// The key path of a "DeleteRegs" name that names a value: everything before the last "\\".
std::string KeyPathOfValueEntry(const std::string& name);
// Empty data and "0" mean a whole key (and count as equal data).
bool MeansWholeKey(const std::string& data);
bool SameRegData(const std::string& a, const std::string& b);

enum class FileKind { Uninstaller, InUse, Other };
// "VNUninst.exe" is the installed uninstaller; "Vnuninst.exe" and "Vnsetup.dll" (exact case) are
// the files in use during the run.
FileKind KindOf(const std::string& name);

// What becomes of a "DeleteFiles" entry: a file no other product uses is removed (the installed
// uninstaller at the very end); a shared one of no special kind is asked about unless an earlier
// answer covers it; the uninstaller and the files in use stay while others use them.
enum class FileStep { Remove, RemoveAtEnd, Ask, Keep };
FileStep StepForFile(bool shared, FileKind kind, bool yesToAll, bool noToAll, bool canAsk);

// The files deleted together with a file: for a help file (".hlp", or folder "%18%") the
// ".cnt" and ".gid" files of the same name; for an ".inf" its ".pnf". Only a name with a
// three-letter extension has them: the others would name unrelated files.
std::vector<std::string> Companions(const std::string& path, const std::string& name, const std::string& folderText);

// True when an "UninstallString" still starts the installed uninstaller ("VNUninst.exe" or the
// system folder's copy), compared over that length without regard to case.
bool StartsUninstaller(const std::string& uninstallString, const std::string& systemFolder);

// Limits on what an uninstall record may make the uninstaller remove. A damaged or hostile
// record must not reach beyond what an installation creates.
// A file name must be a bare name, and the resulting path absolute and within the path limit.
bool IsSafeFile(const std::string& folder, const std::string& name);
// A folder with everything in it: only the own folder and folders below it, or the installer's
// copy of its medium (a folder directly below "Program Files" of the Windows drive).
bool MayDeleteTree(const std::string& folder, const Folders& folders);
// Removing an empty folder: any absolute folder that is not a drive root.
bool MayRemoveEmptyFolder(const std::string& folder);
// A whole registry key: at least two levels deep and never a key the system needs or one of
// its parents.
bool MayDeleteKey(const std::string& path);

// "D:\a\b" contains "D:\a\b" and "d:\A\b\c", not "D:\a\bc".
bool IsWithin(const std::string& path, const std::string& folder);

}  // namespace uninst
