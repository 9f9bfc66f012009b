// The built-in ASPI layer: answers ASPI requests for the CD-ROM drives itself and passes SCSI
// commands to them through the system's SCSI pass-through control code.
#include <cstddef>
#include <cstring>

#include "keyfunc/aspi.h"

namespace vn {
namespace aspi {
namespace {

class SystemScsi : public ScsiPort {
public:
    HANDLE Open(const char* devicePath, DWORD access) override {
        return CreateFileA(devicePath, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    bool PassThrough(HANDLE device, PassThroughRequest* request, DWORD* error) override {
        DWORD returned = 0;
        if (DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, request, sizeof *request, request,
                            sizeof *request, &returned, nullptr))
            return true;
        *error = GetLastError();
        return false;
    }
    void Close(HANDLE device) override { CloseHandle(device); }
};

SystemScsi g_systemScsi;
ScsiPort* g_scsi = &g_systemScsi;

struct DriveEntry {
    bool used = false;
    BYTE pathId = 0, targetId = 0, lun = 0;
    int driveNumber = 0;  // 0 = A:
    HANDLE handle = INVALID_HANDLE_VALUE;
    BYTE inquiry[36] = {};
};

DriveEntry g_drives[26];
int g_adapterCount = 0;
bool g_ready = false;

constexpr BYTE kInquiry = 0x12;

// Read and write access on Windows 2000 and later, read access on older systems.
DWORD DefaultAccess() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    bool nt5 = v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 5;
    return nt5 ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
}

HANDLE OpenDrive(int driveNumber) {
    char path[] = "\\\\.\\A:";
    path[4] = static_cast<char>('A' + driveNumber);
    DWORD access = DefaultAccess();
    HANDLE h = g_scsi->Open(path, access);
    if (h == INVALID_HANDLE_VALUE) h = g_scsi->Open(path, access ^ GENERIC_WRITE);
    return h;
}

bool SendPassThrough(HANDLE h, const BYTE* cdb, BYTE cdbLength, BYTE direction, void* buffer, DWORD length,
                     ULONG timeoutSeconds, PassThroughRequest* request, DWORD* error) {
    std::memset(request, 0, sizeof *request);
    SCSI_PASS_THROUGH_DIRECT& s = request->sptd;
    s.Length = sizeof s;
    s.CdbLength = cdbLength;
    s.SenseInfoLength = 24;
    s.DataIn = direction;
    s.DataTransferLength = length;
    s.TimeOutValue = timeoutSeconds;
    s.DataBuffer = buffer;
    s.SenseInfoOffset = offsetof(PassThroughRequest, sense);
    std::memcpy(s.Cdb, cdb, cdbLength);
    *error = 0;
    return g_scsi->PassThrough(h, request, error);
}

// Opens the drive, asks for its INQUIRY data and address, and closes it again.
bool BuildEntry(int driveNumber) {
    DriveEntry& e = g_drives[driveNumber];
    HANDLE h = OpenDrive(driveNumber);
    if (h == INVALID_HANDLE_VALUE) return false;
    BYTE data[100] = {};
    BYTE cdb[6] = {kInquiry, 0, 0, 0, sizeof data, 0};
    PassThroughRequest request;
    DWORD error = 0;
    bool ok = SendPassThrough(h, cdb, sizeof cdb, SCSI_IOCTL_DATA_IN, data, sizeof data, 2, &request, &error);
    g_scsi->Close(h);
    if (!ok) return false;
    e.pathId = request.sptd.PathId;
    e.targetId = request.sptd.TargetId;
    e.lun = request.sptd.Lun;
    e.driveNumber = driveNumber;
    e.used = true;
    e.handle = INVALID_HANDLE_VALUE;
    std::memcpy(e.inquiry, data, sizeof e.inquiry);
    return true;
}

DriveEntry* FindEntry(BYTE pathId, BYTE target, BYTE lun) {
    for (DriveEntry& e : g_drives)
        if (e.used && e.pathId == pathId && e.targetId == target && e.lun == lun) return &e;
    return nullptr;
}

void FillAdapterInquiry(SRB_HAInquiry* srb) {
    if (srb->SRB_HaId >= g_adapterCount) {
        srb->SRB_Status = SS_INVALID_HA;
        return;
    }
    srb->HA_Count = static_cast<BYTE>(g_adapterCount);
    srb->HA_SCSI_ID = 7;
    std::memset(srb->HA_ManagerId, 0, sizeof srb->HA_ManagerId);
    std::memcpy(srb->HA_ManagerId, "VNASPI v1.0", 11);
    std::memcpy(srb->HA_Identifier, "SCSI Adapter    ", 16);
    srb->HA_Identifier[13] = static_cast<BYTE>('0' + srb->SRB_HaId % 10);
    std::memset(srb->HA_Unique, 0, sizeof srb->HA_Unique);
    srb->HA_Unique[3] = 8;  // targets per adapter
    // Maximum transfer length 0x00010000, little-endian.
    srb->HA_Unique[6] = 0x01;
    srb->SRB_Status = SS_COMP;
}

void GetDeviceType(SRB_GDEVBlock* srb) {
    if (FindEntry(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun)) {
        srb->SRB_Status = SS_COMP;
        srb->SRB_DeviceType = DTYPE_CDROM;
    } else {
        srb->SRB_Status = SS_NO_DEVICE;
        srb->SRB_DeviceType = DTYPE_UNKNOWN;
    }
}

void Execute(SRB_ExecSCSICmd* srb) {
    DriveEntry* e = FindEntry(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun);
    if (!e) {
        srb->SRB_Status = SS_ERR;
        return;
    }
    if (srb->CDBByte[0] == kInquiry) {  // answered from the data kept when the table was built
        DWORD n = srb->SRB_BufLen < sizeof e->inquiry ? srb->SRB_BufLen : sizeof e->inquiry;
        if (srb->SRB_BufPointer && n) std::memcpy(srb->SRB_BufPointer, e->inquiry, n);
        srb->SRB_Status = SS_COMP;
        return;
    }
    BYTE direction = SCSI_IOCTL_DATA_UNSPECIFIED;
    if (srb->SRB_Flags & SRB_DIR_IN)
        direction = SCSI_IOCTL_DATA_IN;
    else if (srb->SRB_Flags & SRB_DIR_OUT)
        direction = SCSI_IOCTL_DATA_OUT;
    BYTE cdbLength = srb->SRB_CDBLen > 16 ? 16 : srb->SRB_CDBLen;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (e->handle == INVALID_HANDLE_VALUE) e->handle = OpenDrive(e->driveNumber);
        PassThroughRequest request;
        DWORD error = 0;
        if (e->handle != INVALID_HANDLE_VALUE &&
            SendPassThrough(e->handle, srb->CDBByte, cdbLength, direction, srb->SRB_BufPointer, srb->SRB_BufLen, 5,
                            &request, &error)) {
            BYTE senseLength = srb->SRB_SenseLen < sizeof srb->SenseArea ? srb->SRB_SenseLen : sizeof srb->SenseArea;
            std::memcpy(srb->SenseArea, request.sense, senseLength);
            srb->SRB_TargStat = request.sptd.ScsiStatus;
            srb->SRB_Status = SS_COMP;
            return;
        }
        if (e->handle == INVALID_HANDLE_VALUE) error = ERROR_INVALID_HANDLE;
        srb->SRB_Status = SS_ERR;
        // A changed disc or a stale handle: reopen the drive and try once more.
        if (attempt > 0 || (error != ERROR_MEDIA_CHANGED && error != ERROR_INVALID_HANDLE)) return;
        if (e->handle != INVALID_HANDLE_VALUE) g_scsi->Close(e->handle);
        e->handle = INVALID_HANDLE_VALUE;
        int driveNumber = e->driveNumber;
        if (!BuildEntry(driveNumber)) {
            g_drives[driveNumber].used = false;
            return;
        }
        e = &g_drives[driveNumber];
    }
}

}  // namespace

ScsiPort* SetScsiPort(ScsiPort* port) {
    ScsiPort* old = g_scsi;
    g_scsi = port ? port : &g_systemScsi;
    return old;
}

bool BuiltinBuild() {
    if (g_ready) return false;
    g_adapterCount = 0;
    bool any = false;
    for (int d = 2; d < 26; ++d) {  // the letters after A and B
        g_drives[d] = DriveEntry();
        char root[] = "A:\\";
        root[0] = static_cast<char>('A' + d);
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        if (!BuildEntry(d)) continue;
        any = true;
        bool seen = false;
        for (int k = 2; k < d; ++k)
            if (g_drives[k].used && g_drives[k].pathId == g_drives[d].pathId) seen = true;
        if (!seen) ++g_adapterCount;
    }
    g_ready = true;
    return any;
}

bool BuiltinTearDown() {
    if (!g_ready) return false;
    for (DriveEntry& e : g_drives) {
        if (e.used && e.handle != INVALID_HANDLE_VALUE) g_scsi->Close(e.handle);
        e = DriveEntry();
    }
    g_adapterCount = 0;
    g_ready = false;
    return true;
}

DWORD __cdecl BuiltinSupportInfo(void) {
    if (g_adapterCount == 0) return SS_NO_ADAPTERS << 8;
    return (SS_COMP << 8) | static_cast<DWORD>(g_adapterCount);
}

DWORD __cdecl BuiltinSendCommand(void* block) {
    if (!block) return SS_ERR;
    BYTE* header = static_cast<BYTE*>(block);
    switch (header[0]) {
        case SC_HA_INQUIRY:
            FillAdapterInquiry(static_cast<SRB_HAInquiry*>(block));
            break;
        case SC_GET_DEV_TYPE:
            GetDeviceType(static_cast<SRB_GDEVBlock*>(block));
            break;
        case SC_EXEC_SCSI_CMD:
            Execute(static_cast<SRB_ExecSCSICmd*>(block));
            break;
        default:
            header[1] = SS_ERR;
            return SS_ERR;
    }
    return header[1];
}

}  // namespace aspi
}  // namespace vn
