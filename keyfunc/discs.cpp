// What kind of disc each CD-ROM drive holds, and which drive the media keys act on.
#include <cstring>
#include <string>

#include "keyfunc/media.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace media {
namespace {

const char* g_driveList = nullptr;

// The logical drive roots, as GetLogicalDriveStringsA gives them; false when they do not fit.
bool DriveRoots(char* list, DWORD size) {
    if (!g_driveList) {
        DWORD n = GetLogicalDriveStringsA(size, list);
        return n != 0 && n <= size;
    }
    DWORD at = 0;
    for (const char* root = g_driveList; *root; root += lstrlenA(root) + 1) {
        DWORD len = static_cast<DWORD>(lstrlenA(root)) + 1;
        if (at + len + 1 > size) return false;
        std::memcpy(list + at, root, len);
        at += len;
    }
    list[at] = '\0';
    return at != 0;
}

bool Exists(const char* root, const char* pattern) {
    std::string path = std::string(root) + pattern;
    return FileExisted(path.c_str()) != 0;
}

bool HasVolume(const char* root) {
    // An empty drive must not bring up the system's "insert a disc" box.
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
    char name[MAX_PATH] = {}, fs[MAX_PATH] = {};
    DWORD serial = 0, maxLength = 0, flags = 0;
    BOOL ok = GetVolumeInformationA(root, name, sizeof name, &serial, &maxLength, &flags, fs, sizeof fs);
    // Some systems report a volume for an empty drive too; its root is unreadable all the same.
    bool readable = ok && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
    SetErrorMode(old);
    return readable;
}

}  // namespace

int ClassifyDrive(const char* root) {
    if (!HasVolume(root)) return kNoDisc;
    if (Exists(root, "*.cda")) return kAudioCd;
    if (Exists(root, "vcd\\info.vcd")) return kVcd;
    if (AudioCD_FindAudioByMCI(root) == 0) return kAudioCd;
    if (Exists(root, "AUTORUN.*")) return kSoftware;
    if (Exists(root, "video_ts\\vts_01_0.ifo")) return kDvd;
    return kDataDisc;
}

DriveChoice ChooseDrive() {
    DriveChoice choice;
    char list[27 * 4 + 1] = {};
    if (!DriveRoots(list, sizeof list)) return choice;
    bool any = false;
    for (const char* root = list; *root; root += lstrlenA(root) + 1) {
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        if (any && !Replaces(choice.kind, kAudioCd)) break;  // a playable disc is never given up
        int kind = ClassifyDrive(root);
        if (!any || Replaces(choice.kind, kind)) {
            lstrcpynA(choice.root, root, sizeof choice.root);
            choice.kind = kind;
        }
        any = true;
    }
    return choice;
}

void SetDriveList(const char* roots) { g_driveList = roots; }

}  // namespace media
}  // namespace vn
