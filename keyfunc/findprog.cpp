// Finding a program by its displayed title below a folder (normally the Start menu), and the
// Start menu folders themselves.
#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

// Deep enough for any real Start menu; guards against folder loops through junctions.
constexpr int kMaxDepth = 32;

bool Search(const std::string& folder, const char* name, std::string* hit, int depth) {
    if (depth > kMaxDepth) return false;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    if (!find) return false;
    do {
        if (lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0) continue;
        std::string path = folder + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (Search(path, name, hit, depth + 1)) return true;
            continue;
        }
        // The title as the user sees it: with or without the extension, by the user's settings.
        char title[kMaxText];
        if (path.size() < kMaxText && GetFileTitleA(path.c_str(), title, sizeof title) == 0 &&
            lstrcmpiA(title, name) == 0) {
            *hit = path;
            return true;
        }
    } while (FindNextFileA(find.get(), &found));
    return false;
}

bool SpecialFolder(int csidl, char* path) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return false;
    char buffer[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(items, buffer) && buffer[0];
    CoTaskMemFree(items);
    return ok && CopyText(path, kMaxText, buffer);
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI FindProgram(const char* folder, const char* name, char* result) {
    if (!folder || !*folder || !name || !*name || !result) return 0;
    std::string hit;
    if (!Search(folder, name, &hit, 0)) return 0;
    return CopyText(result, kMaxText, hit.c_str()) ? 1 : 0;
}

int VNAPI FindProgramPath(const char* name, const char* folder, char* result) {
    if (result) result[0] = '\0';
    if (!name || !*name) return 0;
    char start[kMaxText] = {};
    if (folder) {
        if (!CopyText(start, sizeof start, folder)) return 0;
    } else if (!SpecialFolder(CSIDL_PROGRAMS, start)) {
        GetWindowsDirectoryA(start, sizeof start);
    }
    char found[kMaxText];
    if (!FindProgram(start, name, found)) return 0;
    if (result) CopyText(result, kMaxText, found);
    return 1;
}

int VNAPI GetStartMenuPath(char* path) {
    if (!path) return 0;
    return SpecialFolder(CSIDL_COMMON_STARTMENU, path) || SpecialFolder(CSIDL_STARTMENU, path) ? 1 : 0;
}

int VNAPI GetProgramMenuPath(char* path) {
    if (!path) return 0;
    return SpecialFolder(CSIDL_COMMON_PROGRAMS, path) || SpecialFolder(CSIDL_PROGRAMS, path) ? 1 : 0;
}

}  // extern "C"
