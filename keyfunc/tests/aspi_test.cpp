// The drive play state: the built-in ASPI layer over a scripted SCSI pass-through, and a
// stand-in ASPI manager library loaded by name.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "common/testing/winetest.h"
#include "keyfunc/aspi.h"
#include "keyfunc/vnutil.h"

namespace {

using namespace vn::aspi;

// Scripted CD-ROM drives behind the pass-through: the prepared drives R: S: T:.
class FakeScsi : public ScsiPort {
public:
    struct Drive {
        BYTE pathId = 0, target = 0, lun = 0;
        std::string vendor = "KALVO   CDROM";
        BYTE audioStatus = 0x15;
        std::deque<DWORD> addresses;  // successive sub-channel absolute addresses
        std::deque<DWORD> lbas;       // successive mechanism-status LBAs
        DWORD failNext = 0;           // system error for the next command
    };
    std::map<char, Drive> drives;
    std::vector<std::string> log;  // "open R", "inquiry R", "cdb 42 R", "close R"
    int openHandles = 0;

    FakeScsi() { old_ = SetScsiPort(this); }
    ~FakeScsi() override { SetScsiPort(old_); }

    HANDLE Open(const char* path, DWORD access) override {
        char letter = path[4];
        if (!drives.count(letter)) return INVALID_HANDLE_VALUE;
        log.push_back(std::string("open ") + letter);
        ++openHandles;
        return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1000 + letter));
    }
    bool PassThrough(HANDLE h, PassThroughRequest* r, DWORD* error) override {
        char letter = static_cast<char>(reinterpret_cast<INT_PTR>(h) - 0x1000);
        Drive& d = drives[letter];
        SCSI_PASS_THROUGH_DIRECT& s = r->sptd;
        log.push_back(std::string("cdb ") + Hex(s.Cdb[0]) + " " + letter);
        if (d.failNext) {
            *error = d.failNext;
            d.failNext = 0;
            return false;
        }
        BYTE* data = static_cast<BYTE*>(s.DataBuffer);
        if (s.Cdb[0] == 0x12) {
            s.PathId = d.pathId;
            s.TargetId = d.target;
            s.Lun = d.lun;
            std::memset(data, 0, s.DataTransferLength);
            data[0] = 5;
            std::memcpy(data + 8, d.vendor.c_str(), d.vendor.size());
        } else if (s.Cdb[0] == 0x42) {
            std::memset(data, 0, s.DataTransferLength);
            data[1] = d.audioStatus;
            DWORD a = Next(d.addresses);
            data[8] = static_cast<BYTE>(a >> 24), data[9] = static_cast<BYTE>(a >> 16);
            data[10] = static_cast<BYTE>(a >> 8), data[11] = static_cast<BYTE>(a);
        } else if (s.Cdb[0] == 0xBD) {
            std::memset(data, 0, s.DataTransferLength);
            DWORD l = Next(d.lbas);
            data[2] = static_cast<BYTE>(l >> 16), data[3] = static_cast<BYTE>(l >> 8), data[4] = static_cast<BYTE>(l);
        }
        return true;
    }
    void Close(HANDLE h) override {
        char letter = static_cast<char>(reinterpret_cast<INT_PTR>(h) - 0x1000);
        log.push_back(std::string("close ") + letter);
        --openHandles;
    }
    int Count(const std::string& entry) const {
        int n = 0;
        for (const std::string& e : log) n += e == entry;
        return n;
    }

private:
    static std::string Hex(BYTE b) {
        char t[4];
        wsprintfA(t, "%02X", b);
        return t;
    }
    static DWORD Next(std::deque<DWORD>& q) {
        if (q.empty()) return 0;
        DWORD v = q.front();
        if (q.size() > 1) q.pop_front();
        return v;
    }
    ScsiPort* old_ = nullptr;
};

class Aspi : public ::testing::Test {
protected:
    void SetUp() override { oldName_ = SetManagerLibrary("vn-no-such-aspi.dll"); }
    void TearDown() override {
        DestroyAspi();
        SetManagerLibrary(oldName_);
    }
    const char* oldName_ = nullptr;
};

TEST_F(Aspi, NoManagerAndNoDriveFindsNothing) {
    FakeScsi scsi;  // no drive answers
    EXPECT_EQ(InitAspi(), 0);
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
    EXPECT_EQ(DestroyAspi(), -1);  // the built-in table was built (empty) and is torn down
    EXPECT_EQ(DestroyAspi(), 0);
}

TEST_F(Aspi, BuiltinLayerAnswersAdapterAndDeviceRequests) {
    FakeScsi scsi;
    scsi.drives['R'].target = 1;
    scsi.drives['S'].pathId = 1;
    ASSERT_EQ(InitAspi(), 1);
    // Each drive was opened once for its INQUIRY and closed again.
    EXPECT_EQ(scsi.Count("open R"), 1);
    EXPECT_EQ(scsi.Count("close R"), 1);
    EXPECT_EQ(scsi.openHandles, 0);

    EXPECT_EQ(BuiltinSupportInfo(), 0x0102u);  // completed, two adapters (path ids 0 and 1)
    SrbBlock b;
    std::memset(&b, 0, sizeof b);
    b.ha.SRB_Cmd = SC_HA_INQUIRY;
    b.ha.SRB_HaId = 1;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_COMP);
    EXPECT_EQ(b.ha.HA_Count, 2);
    EXPECT_EQ(b.ha.HA_SCSI_ID, 7);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.ha.HA_ManagerId), 16), std::string("VNASPI v1.0\0\0\0\0\0", 16));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.ha.HA_Identifier), 16), "SCSI Adapter 1  ");
    EXPECT_EQ(b.ha.HA_Unique[3], 8);
    EXPECT_EQ(b.ha.HA_Unique[4] | b.ha.HA_Unique[5] << 8 | b.ha.HA_Unique[6] << 16 | b.ha.HA_Unique[7] << 24,
              0x00010000);
    b.ha.SRB_HaId = 2;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_INVALID_HA);

    std::memset(&b, 0, sizeof b);
    b.dev.SRB_Cmd = SC_GET_DEV_TYPE;
    b.dev.SRB_Target = 1;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_COMP);
    EXPECT_EQ(b.dev.SRB_DeviceType, DTYPE_CDROM);
    b.dev.SRB_Target = 2;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_NO_DEVICE);
    EXPECT_EQ(b.dev.SRB_DeviceType, DTYPE_UNKNOWN);

    EXPECT_EQ(BuiltinSendCommand(nullptr), SS_ERR);
    b.dev.SRB_Cmd = 9;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_ERR);
}

TEST_F(Aspi, BuiltinInquiryComesFromStoredData) {
    FakeScsi scsi;
    scsi.drives['R'];
    ASSERT_EQ(InitAspi(), 1);
    scsi.log.clear();
    BYTE data[36] = {};
    SrbBlock b;
    std::memset(&b, 0, sizeof b);
    b.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    b.exec.SRB_Flags = SRB_DIR_IN;
    b.exec.SRB_BufLen = sizeof data;
    b.exec.SRB_BufPointer = data;
    b.exec.SRB_CDBLen = 6;
    b.exec.CDBByte[0] = 0x12;
    EXPECT_EQ(BuiltinSendCommand(&b), SS_COMP);
    EXPECT_TRUE(scsi.log.empty());  // the drive was not touched
    EXPECT_EQ(data[0], 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 8), 13), "KALVO   CDROM");
    b.exec.SRB_Target = 3;  // no drive at that address
    EXPECT_EQ(BuiltinSendCommand(&b), SS_ERR);
}

TEST_F(Aspi, AudioStatusPlayingNeedsNoSecondRead) {
    FakeScsi scsi;
    scsi.drives['R'].audioStatus = 0x11;
    ASSERT_EQ(InitAspi(), 1);
    EXPECT_EQ(OnIsCdromPlaying(1), 1);
    EXPECT_EQ(scsi.Count("cdb 42 R"), 1);
}

TEST_F(Aspi, AdvancingAndStillPositions) {
    FakeScsi scsi;
    FakeScsi::Drive& r = scsi.drives['R'];
    ASSERT_EQ(InitAspi(), 1);
    r.addresses = {1000, 1075};  // read digitally by a player: the address moves
    EXPECT_EQ(OnIsCdromPlaying(1), 1);
    EXPECT_EQ(scsi.Count("cdb 42 R"), 2);
    r.addresses = {1000, 1002};  // moved by no more than 2: not playing
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
    r.lbas = {5000, 5000};  // a DVD standing still
    EXPECT_EQ(OnIsCdromPlaying(2), 0);
    r.lbas = {5000, 5150};
    EXPECT_EQ(OnIsCdromPlaying(4), 1);
    // The drive handle was opened on first use and stays open until DestroyAspi.
    EXPECT_EQ(scsi.openHandles, 1);
    EXPECT_EQ(DestroyAspi(), -1);
    EXPECT_EQ(scsi.openHandles, 0);
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
}

TEST_F(Aspi, ChangedMediaReopensAndRetriesOnce) {
    FakeScsi scsi;
    FakeScsi::Drive& r = scsi.drives['R'];
    r.audioStatus = 0x11;
    ASSERT_EQ(InitAspi(), 1);
    EXPECT_EQ(OnIsCdromPlaying(1), 1);  // handle now open
    r.failNext = ERROR_MEDIA_CHANGED;
    EXPECT_EQ(OnIsCdromPlaying(1), 1);
    EXPECT_EQ(scsi.openHandles, 1);
    r.failNext = ERROR_IO_DEVICE;  // any other failure is final: not playing
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
}

// The stand-in manager library: one CD-ROM at adapter 0, target 2; a script entry point.
using ScriptFn = void(__stdcall*)(int mode, DWORD first, DWORD second);

TEST_F(Aspi, ManagerLibraryIsLoadedByName) {
    // Wine has an ASPI manager of its own that would win over a double named WNASPI32.DLL.
    std::string path = vntest::ExeFolder() + "aspi_double.dll";
    HMODULE lib = LoadLibraryA(path.c_str());
    ASSERT_NE(lib, nullptr);
    auto script = reinterpret_cast<ScriptFn>(GetProcAddress(lib, "FakeAspi_Script"));
    ASSERT_NE(script, nullptr);
    SetManagerLibrary(path.c_str());
    SetCommandTimeout(300);
    ASSERT_EQ(InitAspi(), 1);
    script(0, 0x11, 0);  // audio status "play in progress"
    EXPECT_EQ(OnIsCdromPlaying(1), 1);
    script(0, 0x13, 0);
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
    script(1, 0, 0);  // commands stay pending: aborted after the time-out, not playing
    EXPECT_EQ(OnIsCdromPlaying(2), 0);
    auto aborts = reinterpret_cast<int(__stdcall*)()>(GetProcAddress(lib, "FakeAspi_Aborts"));
    EXPECT_EQ(aborts(), 1);
    EXPECT_EQ(DestroyAspi(), 1);  // the library unload result
    FreeLibrary(lib);
}

// Fills the stack below the caller, where a finished call's request block would have lived.
__attribute__((noinline)) void Scribble() {
    volatile BYTE junk[16384];
    for (size_t i = 0; i < sizeof junk; ++i) junk[i] = 0x5A;
}

TEST_F(Aspi, RequestCompletedLateByTheManagerIsStillAlive) {
    std::string path = vntest::ExeFolder() + "aspi_double.dll";
    HMODULE lib = LoadLibraryA(path.c_str());
    ASSERT_NE(lib, nullptr);
    auto script = reinterpret_cast<ScriptFn>(GetProcAddress(lib, "FakeAspi_Script"));
    auto deadBlocks = reinterpret_cast<int(__stdcall*)()>(GetProcAddress(lib, "FakeAspi_DeadBlocks"));
    ASSERT_TRUE(script && deadBlocks);
    SetManagerLibrary(path.c_str());
    SetCommandTimeout(100);
    ASSERT_EQ(InitAspi(), 1);
    script(2, 0x11, 400);  // the manager ignores the abort and completes after 400 ms
    EXPECT_EQ(OnIsCdromPlaying(1), 0);
    Scribble();
    EXPECT_EQ(deadBlocks(), 0);
    DestroyAspi();
    FreeLibrary(lib);
}

}  // namespace
