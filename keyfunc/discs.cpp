// What kind of disc each CD-ROM drive holds, and which drive the media keys act on.
#include <string>

#include "keyfunc/media.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace media {
namespace {

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
    DWORD n = GetLogicalDriveStringsA(sizeof list, list);
    if (n == 0 || n > sizeof list) return choice;
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

}  // namespace media
}  // namespace vn
