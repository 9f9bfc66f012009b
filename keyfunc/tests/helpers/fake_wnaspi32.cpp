// Stand-in ASPI manager for tests (the exports of WNASPI32.DLL): one adapter with a CD-ROM drive at target 2, LUN 0.
// FakeAspi_Script sets what READ SUB-CHANNEL answers, or makes every command stay pending.
#include <windows.h>

#include <cstring>

#include "keyfunc/aspi.h"

using namespace vn::aspi;

namespace {
int g_mode = 0;  // 0 answer, 1 stay pending
BYTE g_audioStatus = 0x15;
int g_aborts = 0;
}  // namespace

extern "C" {

void __stdcall FakeAspi_Script(int mode, DWORD audioStatus, DWORD) {
    g_mode = mode;
    g_audioStatus = static_cast<BYTE>(audioStatus);
}

int __stdcall FakeAspi_Aborts() { return g_aborts; }

DWORD __cdecl GetASPI32SupportInfo(void) { return (SS_COMP << 8) | 1; }

DWORD __cdecl SendASPI32Command(void* block) {
    BYTE* h = static_cast<BYTE*>(block);
    switch (h[0]) {
        case SC_HA_INQUIRY: {
            auto* s = static_cast<SRB_HAInquiry*>(block);
            s->HA_Count = 1;
            s->HA_Unique[3] = 4;
            s->SRB_Status = s->SRB_HaId == 0 ? SS_COMP : SS_INVALID_HA;
            return s->SRB_Status;
        }
        case SC_GET_DEV_TYPE: {
            auto* s = static_cast<SRB_GDEVBlock*>(block);
            bool cd = s->SRB_HaId == 0 && s->SRB_Target == 2 && s->SRB_Lun == 0;
            s->SRB_DeviceType = cd ? DTYPE_CDROM : DTYPE_UNKNOWN;
            s->SRB_Status = cd ? SS_COMP : SS_NO_DEVICE;
            return s->SRB_Status;
        }
        case SC_EXEC_SCSI_CMD: {
            auto* s = static_cast<SRB_ExecSCSICmd*>(block);
            if (s->SRB_Target != 2) return s->SRB_Status = SS_ERR;
            if (g_mode == 1) return s->SRB_Status = SS_PENDING;
            std::memset(s->SRB_BufPointer, 0, s->SRB_BufLen);
            if (s->CDBByte[0] == 0x42) s->SRB_BufPointer[1] = g_audioStatus;
            s->SRB_Status = SS_COMP;
            if (s->SRB_Flags & SRB_EVENT_NOTIFY) SetEvent(static_cast<HANDLE>(s->SRB_PostProc));
            return SS_PENDING;  // completes through the post event, as a real manager may
        }
        case SC_ABORT_SRB:
            ++g_aborts;
            return h[1] = SS_COMP;
        default:
            return h[1] = SS_ERR;
    }
}

}  // extern "C"
