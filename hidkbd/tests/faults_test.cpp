// Bad reports, failing reads, vanishing devices and readers terminated in the middle of work.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "common/testing/winetest.h"
#include "hidkbd/library.h"
#include "hidkbd/tests/fakekbd.h"
#include "hidkbd/tests/testwindow.h"
#include "hidkbd/vnusbkbd.h"

namespace {

using namespace fakekbd;

const VnHidDeviceEntry kTable[] = {{kVendor, kProductUsb, "Tessaro USB", "Kalvo"}};

struct Faults : ::testing::Test {
    FakeHid fake;
    TestWindow window;
    int consumer = 0, vendor = 0;
    void SetUp() override {
        vnhid::SetSettleTime(0);
        int first = fake.PlugKeyboard(kProductUsb);
        consumer = first + 1;
        vendor = first + 2;
        ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 1), 1);
        ASSERT_EQ(VnHidGetNumberDevices(), 2);
    }
    void TearDown() override {
        VnHidClose();
        vnhid::SetSettleTime(1000);
        EXPECT_EQ(fake.OpenHandles(), 0);
    }
    // Waits until the reader of an interface is blocked in its read again.
    bool Idle(int iface) {
        return vntest::WaitUntil([&] { return fake.ReadersWaiting(iface) == 1; }, 3000);
    }
};

TEST_F(Faults, ShortAndLongReportsAreNoTrouble) {
    fake.Feed(consumer, {0x01, 0x1E});  // shorter than the 5-byte report: ignored
    ASSERT_TRUE(Idle(consumer));
    vntest::PumpFor(50);
    EXPECT_TRUE(window.events().empty());
    Bytes longer(40, 0xFF);
    longer[0] = 0x01;
    longer[1] = 0x1E;
    longer[2] = 0x00;
    longer[3] = 0x00;
    fake.Feed(consumer, longer);  // only the report length is read
    ASSERT_EQ(window.WaitFor(1).size(), 1u);
    EXPECT_EQ(window.events()[0].lParam, LPARAM(0x000C00CD));
}

TEST_F(Faults, GarbageKeepsMakesAndBreaksPairedAndInRange) {
    std::srand(7);
    for (int i = 0; i < 400; ++i) {
        Bytes c(5), v(2);
        for (auto& b : c) b = std::uint8_t(std::rand());
        for (auto& b : v) b = std::uint8_t(std::rand());
        if (i % 2) c[0] = 0x01;  // half of them with the right id
        if (i % 3) v[0] = 0x02;
        fake.Feed(consumer, c);
        fake.Feed(vendor, v);
        if (i % 32 == 31) {
            Idle(consumer);
            Idle(vendor);
        }
    }
    fake.Feed(consumer, {0x01, 0, 0, 0, 0});
    fake.Feed(vendor, {0x02, 0});
    ASSERT_TRUE(Idle(consumer));
    ASSERT_TRUE(Idle(vendor));
    // The last breaks may still be on their way on a busy machine: wait for them, bounded.
    vntest::WaitUntil([&] {
        std::map<LPARAM, int> down;
        for (const Event& e : window.events()) down[e.lParam] += e.wParam ? 1 : -1;
        for (const auto& d : down)
            if (d.second != 0) return false;
        return true;
    }, 5000);
    std::map<LPARAM, int> held;
    for (const Event& e : window.events()) {
        ASSERT_EQ(e.message, UINT(MSG_KEY_EVENT));
        unsigned page = unsigned(e.lParam) >> 16, usage = unsigned(e.lParam) & 0xFFFF;
        if (page == 0x09) {
            EXPECT_GE(usage, 2u);
            EXPECT_LE(usage, 8u);
        } else {
            ASSERT_EQ(page, 0x0Cu);
            bool array = usage >= 0xB0 && usage <= 0xEA;
            bool launch = usage == 0x183 || usage == 0x18A || usage == 0x192 || usage == 0x194 ||
                          usage == 0x223 || usage == 0x224 || usage == 0x225 || usage == 0x22A;
            EXPECT_TRUE(array || launch) << std::hex << usage;
        }
        held[e.lParam] += e.wParam ? 1 : -1;
        EXPECT_GE(held[e.lParam], 0);
        EXPECT_LE(held[e.lParam], 1);
    }
    for (const auto& h : held) EXPECT_EQ(h.second, 0) << std::hex << h.first;
    EXPECT_GT(window.events().size(), 100u);
}

TEST_F(Faults, FailingReadsDoNotSpin) {
    ASSERT_TRUE(Idle(consumer));
    LONG before = fake.ReadCalls(consumer);
    fake.SetReadsFail(consumer, true);
    vntest::PumpFor(1000);
    LONG failed = fake.ReadCalls(consumer) - before;
    EXPECT_GE(failed, 2);
    EXPECT_LE(failed, 20);  // an unbounded retry loop makes many thousands
    fake.SetReadsFail(consumer, false);
    ASSERT_TRUE(Idle(consumer));
    fake.Feed(consumer, {0x01, 0x1E, 0, 0, 0});
    EXPECT_EQ(window.WaitFor(1).size(), 1u);
}

TEST_F(Faults, DeviceVanishingUnderABlockedReader) {
    ASSERT_TRUE(Idle(consumer));
    ASSERT_TRUE(Idle(vendor));
    HANDLE c = fake.InfoHandle(consumer), v = fake.InfoHandle(vendor);
    LONG before = fake.ReadCalls(consumer);
    fake.Unplug(consumer - 1);
    fake.Unplug(consumer);
    fake.Unplug(vendor);
    vntest::PumpFor(1000);  // the removal notice comes late
    EXPECT_LE(fake.ReadCalls(consumer) - before, 20);
    DWORD start = GetTickCount();
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, c);
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, v);
    EXPECT_LT(GetTickCount() - start, vntest::Scaled(1000));
    EXPECT_EQ(VnHidGetNumberDevices(), 0);
    EXPECT_EQ(fake.OpenHandles(), 0);
}

TEST_F(Faults, ReadersTerminatedInTheMiddleOfWorkLeaveNoLockBehind) {
    for (int round = 0; round < 20; ++round) {
        int first = fake.PlugKeyboard(kProductUsb, round + 1);
        window.SendArrival(fake.Path(first + 1));
        window.SendArrival(fake.Path(first + 2));
        ASSERT_EQ(VnHidGetNumberDevices(), 4);
        for (int i = 0; i < 40; ++i) {
            fake.Feed(first + 1, {0x01, std::uint8_t(i % 3 ? 0x1E : 0), 0, std::uint8_t(i), 0});
            fake.Feed(first + 2, {0x02, std::uint8_t(i)});
        }
        // Removal while the readers are busy with the queued reports.
        HANDLE c = fake.InfoHandle(first + 1), v = fake.InfoHandle(first + 2);
        fake.Unplug(first + 1);
        fake.Unplug(first + 2);
        window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, c);
        window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, v);
        // The heap is usable afterwards: a reader killed inside it would hang this.
        std::vector<char> block(1 << 16);
        EXPECT_EQ(VnHidGetNumberDevices(), 2);
        fake.Unplug(first);
    }
}

// A reader that does not end when it is told to: the removal must leave it everything it reads
// with (record, buffers, parser data) instead of freeing them under it.
BOOL WINAPI LeaveRunning(HANDLE, DWORD) { return TRUE; }

struct RunawayReader : Faults {
    void TearDown() override {
        vnhid::SetReaderEnd(nullptr, 0);
        VnHidClose();
        vnhid::SetSettleTime(1000);
    }
};

TEST_F(RunawayReader, KeepsWhatItUsesAfterItsDeviceIsRemoved) {
    ASSERT_TRUE(Idle(consumer));
    HANDLE threads[2] = {}, runaway = nullptr;
    ASSERT_EQ(vnhid::ReaderThreads(threads, 2), 2);
    DuplicateHandle(GetCurrentProcess(), threads[0], GetCurrentProcess(), &runaway, 0, FALSE, DUPLICATE_SAME_ACCESS);
    fake.StallNextParse(consumer);
    fake.Feed(consumer, {0x01, 0x1E, 0, 0, 0});
    ASSERT_TRUE(fake.WaitStalled(3000));
    vnhid::SetReaderEnd(LeaveRunning, 100);
    window.SendHandleEvent(DBT_DEVICEREMOVECOMPLETE, fake.InfoHandle(consumer));
    EXPECT_EQ(VnHidGetNumberDevices(), 1);
    fake.ReleaseParse();
    EXPECT_TRUE(vntest::WaitUntil([&] {
        for (const Event& e : window.events())
            if (e.message == MSG_KEY_EVENT) return true;
        return false;
    }));
    EXPECT_EQ(fake.StaleParses(), 0);
    TerminateThread(runaway, 0);
    WaitForSingleObject(runaway, vntest::Scaled(2000));
    CloseHandle(runaway);
}

TEST_F(Faults, MalformedArrivalBroadcastIsIgnored) {
    std::vector<char> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + 8, 'x');
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer.data());
    b->dbcc_size = DWORD(buffer.size());  // the name has no end inside the broadcast
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    SendMessageA(window.hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, LPARAM(b));
    EXPECT_EQ(VnHidGetNumberDevices(), 2);
}

}  // namespace
