// Asks the CD/DVD drive itself whether it plays, with SCSI commands sent through an ASPI manager:
// the system's ASPI library when it is installed, else the built-in layer.
#include <cstring>
#include <new>

#include "common/handles.h"
#include "keyfunc/aspi.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace aspi {
namespace {

const char* g_libraryName = "WNASPI32.DLL";
DWORD g_timeoutMs = 60000;

HMODULE g_library = nullptr;
SupportInfoFn g_supportInfo = nullptr;
SendCommandFn g_sendCommand = nullptr;
bool g_deviceFound = false;
BYTE g_haId = 0, g_target = 0, g_lun = 0;

bool FindCdromDevice() {
    DWORD support = g_supportInfo();
    BYTE status = static_cast<BYTE>(support >> 8);
    int adapters = (status == SS_COMP || status == SS_NO_ADAPTERS) ? static_cast<int>(support & 0xFF) : 0;
    for (int ha = 0; ha < adapters; ++ha) {
        SrbBlock inquiry;
        std::memset(&inquiry, 0, sizeof inquiry);
        inquiry.ha.SRB_Cmd = SC_HA_INQUIRY;
        inquiry.ha.SRB_HaId = static_cast<BYTE>(ha);
        g_sendCommand(&inquiry);
        if (inquiry.ha.SRB_Status != SS_COMP) continue;
        int targets = inquiry.ha.HA_Unique[3] ? inquiry.ha.HA_Unique[3] : 8;
        for (int target = 0; target < targets; ++target) {
            for (int lun = 0; lun < 8; ++lun) {
                SrbBlock dev;
                std::memset(&dev, 0, sizeof dev);
                dev.dev.SRB_Cmd = SC_GET_DEV_TYPE;
                dev.dev.SRB_HaId = static_cast<BYTE>(ha);
                dev.dev.SRB_Target = static_cast<BYTE>(target);
                dev.dev.SRB_Lun = static_cast<BYTE>(lun);
                g_sendCommand(&dev);
                if (dev.dev.SRB_Status == SS_COMP && dev.dev.SRB_DeviceType == DTYPE_CDROM) {
                    g_haId = static_cast<BYTE>(ha);
                    g_target = static_cast<BYTE>(target);
                    g_lun = static_cast<BYTE>(lun);
                    return true;
                }
            }
        }
    }
    return false;
}

// One SCSI request as the manager sees it: the block, the data it transfers and the event it
// signals. It lives on the heap because a manager may still write into it after an abort.
struct Request {
    SrbBlock block;
    BYTE data[64];
    Handle done;
};

// How long an aborted request may take to come back from the manager.
constexpr DWORD kAbortWaitMs = 5000;

// Sends one SCSI command to the device found and waits for it; a command that does not complete
// in time is aborted. True when it completed successfully in time; the data is then copied out.
bool ExecuteScsi(const BYTE* cdb, BYTE cdbLength, BYTE direction, BYTE* buffer, DWORD length) {
    Request* request = new (std::nothrow) Request;
    if (!request || length > sizeof request->data) {
        delete request;
        return false;
    }
    request->done.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!request->done) {
        delete request;
        return false;
    }
    std::memset(&request->block, 0, sizeof request->block);
    std::memset(request->data, 0, sizeof request->data);
    SRB_ExecSCSICmd& srb = request->block.exec;
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = g_haId;
    srb.SRB_Target = g_target;
    srb.SRB_Lun = g_lun;
    srb.SRB_Flags = static_cast<BYTE>(direction | SRB_EVENT_NOTIFY);
    srb.SRB_BufLen = length;
    srb.SRB_BufPointer = request->data;
    srb.SRB_SenseLen = 14;
    srb.SRB_CDBLen = cdbLength > 16 ? 16 : cdbLength;
    std::memcpy(srb.CDBByte, cdb, srb.SRB_CDBLen);
    srb.SRB_PostProc = request->done.get();
    if (g_sendCommand(&request->block) == SS_PENDING &&
        WaitForSingleObject(request->done.get(), g_timeoutMs) != WAIT_OBJECT_0) {
        SrbBlock abort;
        std::memset(&abort, 0, sizeof abort);
        SRB_Abort* a = reinterpret_cast<SRB_Abort*>(&abort);
        a->SRB_Cmd = SC_ABORT_SRB;
        a->SRB_HaId = g_haId;
        a->SRB_ToAbort = &request->block;
        g_sendCommand(&abort);
        // The manager signals the request once the abort took effect. One that never comes back
        // keeps its request for good rather than writing into freed memory.
        if (WaitForSingleObject(request->done.get(), kAbortWaitMs) == WAIT_OBJECT_0) delete request;
        return false;
    }
    bool ok = srb.SRB_Status == SS_COMP;
    if (ok) std::memcpy(buffer, request->data, length);
    delete request;
    return ok;
}

DWORD BigEndian(const BYTE* p, int count) {
    DWORD v = 0;
    for (int i = 0; i < count; ++i) v = (v << 8) | p[i];
    return v;
}

// READ SUB-CHANNEL, current position in LBA form: audio status and absolute address.
bool ReadSubChannel(BYTE* audioStatus, DWORD* address) {
    BYTE data[16] = {};
    const BYTE cdb[10] = {0x42, 0x00, 0x40, 0x01, 0, 0, 0, 0, sizeof data, 0};
    if (!ExecuteScsi(cdb, sizeof cdb, SRB_DIR_IN, data, sizeof data)) return false;
    *audioStatus = data[1];
    *address = BigEndian(data + 8, 4);
    return true;
}

// MECHANISM STATUS: the current logical block of the drive.
bool ReadMechanismLba(DWORD* lba) {
    BYTE data[8] = {};
    const BYTE cdb[12] = {0xBD, 0, 0, 0, 0, 0, 0, 0, 0, sizeof data, 0, 0};
    if (!ExecuteScsi(cdb, sizeof cdb, SRB_DIR_IN, data, sizeof data)) return false;
    *lba = BigEndian(data + 2, 3);
    return true;
}

}  // namespace

const char* SetManagerLibrary(const char* name) {
    const char* old = g_libraryName;
    g_libraryName = name ? name : "WNASPI32.DLL";
    return old;
}

DWORD SetCommandTimeout(DWORD ms) {
    DWORD old = g_timeoutMs;
    g_timeoutMs = ms ? ms : 60000;
    return old;
}

}  // namespace aspi
}  // namespace vn

using namespace vn::aspi;

extern "C" {

int VNAPI InitAspi(void) {
    if (!g_library) g_library = LoadLibraryA(g_libraryName);
    if (g_library) {
        g_supportInfo = reinterpret_cast<SupportInfoFn>(GetProcAddress(g_library, "GetASPI32SupportInfo"));
        g_sendCommand = reinterpret_cast<SendCommandFn>(GetProcAddress(g_library, "SendASPI32Command"));
        if (!g_supportInfo || !g_sendCommand) {
            g_supportInfo = nullptr;
            g_sendCommand = nullptr;
            g_deviceFound = false;
            return 0;
        }
    } else {
        if (!BuiltinBuild()) return 0;
        g_supportInfo = BuiltinSupportInfo;
        g_sendCommand = BuiltinSendCommand;
    }
    g_deviceFound = FindCdromDevice();
    return g_deviceFound ? 1 : 0;
}

int VNAPI DestroyAspi(void) {
    g_supportInfo = nullptr;
    g_sendCommand = nullptr;
    g_deviceFound = false;
    if (g_library) {
        int rc = FreeLibrary(g_library) ? 1 : 0;
        g_library = nullptr;
        return rc;
    }
    return BuiltinTearDown() ? -1 : 0;
}

int VNAPI OnIsCdromPlaying(int discKind) {
    if (!g_deviceFound || !g_sendCommand) return 0;
    if (discKind == 1) {
        BYTE status = 0;
        DWORD before = 0, after = 0;
        if (!ReadSubChannel(&status, &before)) return 0;
        if (status == 0x11) return 1;  // play in progress
        // A player that reads the disc digitally: the position moves on.
        Sleep(200);
        if (!ReadSubChannel(&status, &after)) return 0;
        return after > before + 2 ? 1 : 0;
    }
    DWORD before = 0, after = 0;
    if (!ReadMechanismLba(&before)) return 0;
    Sleep(500);
    if (!ReadMechanismLba(&after)) return 0;
    return after > before + 2 ? 1 : 0;
}

}  // extern "C"
