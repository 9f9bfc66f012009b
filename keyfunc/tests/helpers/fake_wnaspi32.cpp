// Stand-in ASPI manager for tests (the exports of WNASPI32.DLL): one adapter with a CD-ROM drive at target 2, LUN 0.
// FakeAspi_Script sets what READ SUB-CHANNEL answers, makes every command stay pending until it is
// aborted, or makes commands complete late (after the given milliseconds, whatever an abort says),
// checking first that the request block still holds what was sent.
#include <windows.h>

#include <cstring>

#include "keyfunc/aspi.h"

using namespace vn::aspi;

namespace {
int g_mode = 0;  // 0 answer, 1 stay pending, 2 complete late
BYTE g_audioStatus = 0x15;
DWORD g_lateMs = 0;
int g_aborts = 0;
volatile LONG g_deadBlocks = 0;  // late completions that found their request block overwritten
volatile LONG g_late = 0;        // late completions still to come

void Complete(SRB_ExecSCSICmd* s) {
    std::memset(s->SRB_BufPointer, 0, s->SRB_BufLen);
    if (s->CDBByte[0] == 0x42) s->SRB_BufPointer[1] = g_audioStatus;
    s->SRB_Status = SS_COMP;
    if (s->SRB_Flags & SRB_EVENT_NOTIFY) SetEvent(static_cast<HANDLE>(s->SRB_PostProc));
}

struct Late {
    SRB_ExecSCSICmd* block;
    SRB_ExecSCSICmd sent;
};

DWORD WINAPI CompleteLate(void* param) {
    Late* late = static_cast<Late*>(param);
    Sleep(g_lateMs);
    if (std::memcmp(late->block, &late->sent, sizeof late->sent) != 0) InterlockedIncrement(&g_deadBlocks);
    else Complete(late->block);
    delete late;
    InterlockedDecrement(&g_late);
    return 0;
}
}  // namespace

extern "C" {

void __stdcall FakeAspi_Script(int mode, DWORD audioStatus, DWORD lateMs) {
    g_mode = mode;
    g_audioStatus = static_cast<BYTE>(audioStatus);
    g_lateMs = lateMs;
}

int __stdcall FakeAspi_Aborts() { return g_aborts; }

// Waits for the late completions and returns how many found a dead request block.
int __stdcall FakeAspi_DeadBlocks() {
    while (g_late) Sleep(10);
    return g_deadBlocks;
}

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
            s->SRB_Status = SS_PENDING;
            if (g_mode == 1) return SS_PENDING;
            if (g_mode == 2) {
                InterlockedIncrement(&g_late);
                Late* late = new Late{s, *s};
                CloseHandle(CreateThread(nullptr, 0, CompleteLate, late, 0, nullptr));
                return SS_PENDING;
            }
            Complete(s);
            return SS_PENDING;  // completes through the post event, as a real manager may
        }
        case SC_ABORT_SRB: {
            ++g_aborts;
            // A request that stays pending ends as aborted; a late one completes on its own time.
            auto* target = static_cast<SRB_ExecSCSICmd*>(reinterpret_cast<SRB_Abort*>(block)->SRB_ToAbort);
            if (g_mode == 1 && target && target->SRB_Status == SS_PENDING) {
                target->SRB_Status = 2;  // SS_ABORTED
                if (target->SRB_Flags & SRB_EVENT_NOTIFY) SetEvent(static_cast<HANDLE>(target->SRB_PostProc));
            }
            return h[1] = SS_COMP;
        }
        default:
            return h[1] = SS_ERR;
    }
}

}  // extern "C"
