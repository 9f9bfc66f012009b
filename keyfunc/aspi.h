// ASPI for Win32 request blocks, the built-in ASPI layer and the door to the drives' SCSI
// pass-through. Tests put a scripted drive behind ScsiPort and may point the manager's library
// name at a test double.
#pragma once
#include <windows.h>

#include <winioctl.h>
#include <ntddscsi.h>

namespace vn {
namespace aspi {

// Command codes and status values of the ASPI manager.
constexpr BYTE SC_HA_INQUIRY = 0;
constexpr BYTE SC_GET_DEV_TYPE = 1;
constexpr BYTE SC_EXEC_SCSI_CMD = 2;
constexpr BYTE SC_ABORT_SRB = 3;
constexpr BYTE SS_PENDING = 0;
constexpr BYTE SS_COMP = 1;
constexpr BYTE SS_ERR = 4;
constexpr BYTE SS_INVALID_HA = 0x81;
constexpr BYTE SS_NO_DEVICE = 0x82;
constexpr BYTE SS_NO_ADAPTERS = 0xE8;
constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;
constexpr BYTE DTYPE_CDROM = 5;
constexpr BYTE DTYPE_UNKNOWN = 31;

#pragma pack(push, 1)
struct SRB_HAInquiry {
    BYTE SRB_Cmd, SRB_Status, SRB_HaId, SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE HA_Count, HA_SCSI_ID;
    BYTE HA_ManagerId[16], HA_Identifier[16], HA_Unique[16];
    WORD HA_Rsvd1;
};
struct SRB_GDEVBlock {
    BYTE SRB_Cmd, SRB_Status, SRB_HaId, SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target, SRB_Lun, SRB_DeviceType, SRB_Rsvd1;
};
struct SRB_ExecSCSICmd {
    BYTE SRB_Cmd, SRB_Status, SRB_HaId, SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target, SRB_Lun;
    WORD SRB_Rsvd1;
    DWORD SRB_BufLen;
    BYTE* SRB_BufPointer;
    BYTE SRB_SenseLen, SRB_CDBLen, SRB_HaStat, SRB_TargStat;
    void* SRB_PostProc;
    void* SRB_Rsvd2;
    BYTE SRB_Rsvd3[16];
    BYTE CDBByte[16];
    BYTE SenseArea[16];
};
struct SRB_Abort {
    BYTE SRB_Cmd, SRB_Status, SRB_HaId, SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    void* SRB_ToAbort;
};
#pragma pack(pop)

// Managers are handed 80-byte blocks whatever the request.
union SrbBlock {
    SRB_HAInquiry ha;
    SRB_GDEVBlock dev;
    SRB_ExecSCSICmd exec;
    BYTE raw[80 > sizeof(SRB_ExecSCSICmd) ? 80 : sizeof(SRB_ExecSCSICmd)];
};

using SupportInfoFn = DWORD(__cdecl*)(void);
using SendCommandFn = DWORD(__cdecl*)(void* srb);

// A pass-through request with room for the sense data behind it.
struct PassThroughRequest {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;  // puts the sense data at offset 48 in the 32-bit layout
    UCHAR sense[32];
};

class ScsiPort {
public:
    virtual ~ScsiPort() = default;
    // CreateFile on a device path such as \\.\D:; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE Open(const char* devicePath, DWORD access) = 0;
    // IOCTL_SCSI_PASS_THROUGH_DIRECT; false with *error = the system error on failure.
    virtual bool PassThrough(HANDLE device, PassThroughRequest* request, DWORD* error) = 0;
    virtual void Close(HANDLE device) = 0;
};

// Test seams: each returns the previous setting; null restores the default.
ScsiPort* SetScsiPort(ScsiPort* port);
const char* SetManagerLibrary(const char* name);  // default "WNASPI32.DLL"
DWORD SetCommandTimeout(DWORD ms);                // default 60000

// The built-in layer's two entry points (used when the manager library cannot be loaded).
DWORD __cdecl BuiltinSupportInfo(void);
DWORD __cdecl BuiltinSendCommand(void* srb);
// Builds the built-in layer's drive table; false when it already existed or holds no drive.
bool BuiltinBuild();
// Closes the drive handles; false when the table did not exist.
bool BuiltinTearDown();

}  // namespace aspi
}  // namespace vn
