// Input reports to key events, through the scripted keyboard's descriptor parsing.
#include <gtest/gtest.h>

#include "common/testing/winetest.h"
#include "hidkbd/tests/fakekbd.h"
#include "hidkbd/tests/testwindow.h"
#include "hidkbd/vnusbkbd.h"

namespace {

using namespace fakekbd;

const VnHidDeviceEntry kTable[] = {{kVendor, kProductUsb, "Tessaro USB", "Kalvo"}};

// Consumer report 1: two array slots (value v stands for usage 0xAF + v), launch bits, volume.
Bytes Consumer(std::uint8_t slot1, std::uint8_t slot2 = 0, std::uint8_t launch = 0) {
    return {0x01, slot1, slot2, launch, 0x00};
}
constexpr std::uint8_t kPlay = 0xCD - 0xAF;  // usage 0xCD, Play/Pause
constexpr std::uint8_t kStop = 0xB7 - 0xAF;
constexpr std::uint8_t kMute = 0xE2 - 0xAF;

struct Reader : ::testing::Test {
    FakeHid fake;
    TestWindow window;
    int kbd = 0, consumer = 0, vendor = 0;
    void SetUp() override {
        kbd = fake.PlugKeyboard(kProductUsb);
        consumer = kbd + 1;
        vendor = kbd + 2;
        ASSERT_EQ(VnHidInit(window.hwnd(), kTable, 1), 1);
        ASSERT_EQ(VnHidGetNumberDevices(), 2);
    }
    void TearDown() override { VnHidClose(); }
    // Feeds the reports and collects the events they give.
    std::vector<Event> Run(int iface, const std::vector<Bytes>& reports, size_t expect) {
        for (const Bytes& r : reports) fake.Feed(iface, r);
        window.WaitFor(expect);
        vntest::PumpFor(100);  // nothing further may arrive
        return window.events();
    }
};

void ExpectEvents(const std::vector<Event>& got, const std::vector<Event>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].message, want[i].message) << i;
        EXPECT_EQ(got[i].wParam, want[i].wParam) << i;
        EXPECT_EQ(got[i].lParam, want[i].lParam) << "event " << i << std::hex << " got 0x" << got[i].lParam;
    }
}

TEST_F(Reader, PressAndReleaseGiveOneMakeAndOneBreak) {
    ExpectEvents(Run(consumer, {Consumer(kPlay), Consumer(0)}, 2),
                 {Key(true, 0x0C, 0xCD), Key(false, 0x0C, 0xCD)});
}

TEST_F(Reader, HeldKeyIsNotMadeAgain) {
    ExpectEvents(Run(consumer, {Consumer(kPlay), Consumer(kPlay, kStop), Consumer(kPlay), Consumer(kPlay)}, 3),
                 {Key(true, 0x0C, 0xCD), Key(true, 0x0C, 0xB7), Key(false, 0x0C, 0xB7)});
}

TEST_F(Reader, TwoKeysReleasedInOneReport) {
    ExpectEvents(Run(consumer, {Consumer(kPlay, kMute), Consumer(0)}, 4),
                 {Key(true, 0x0C, 0xCD), Key(true, 0x0C, 0xE2), Key(false, 0x0C, 0xCD),
                  Key(false, 0x0C, 0xE2)});
}

TEST_F(Reader, UsageOfAnotherItemIsReportedOnlyByItsOwnItem) {
    // Bit 0 is the media-select key (0x0183): the array item sees it from the parser too, but
    // it lies outside the array's range 0xB0..0xEA.
    ExpectEvents(Run(consumer, {Consumer(0, 0, 0x01), Consumer(0, 0, 0x00)}, 2),
                 {Key(true, 0x0C, 0x0183), Key(false, 0x0C, 0x0183)});
}

TEST_F(Reader, ReportIdMatchingNoItemGivesNothing) {
    ExpectEvents(Run(consumer, {{0x07, kPlay, 0, 0xFF, 0}}, 0), {});
    // The state is unchanged: a real press afterwards is reported normally.
    ExpectEvents(Run(consumer, {Consumer(kPlay)}, 1), {Key(true, 0x0C, 0xCD)});
}

TEST_F(Reader, VolumeDialIsDecodedWithoutEvents) {
    ExpectEvents(Run(consumer, {{0x01, 0, 0, 0, 0xFE}, {0x01, 0, 0, 0, 0x02}}, 0), {});
}

TEST_F(Reader, VendorKeysArriveOnTheButtonPage) {
    // Bits 0..6 stand for Button usages 2..8.
    ExpectEvents(Run(vendor, {{0x02, 0x01}, {0x02, 0x41}, {0x02, 0x00}}, 4),
                 {Key(true, 0x09, 2), Key(true, 0x09, 8), Key(false, 0x09, 2), Key(false, 0x09, 8)});
}

TEST_F(Reader, KeysOfTwoCollectionsKeepTheirOwnState) {
    fake.Feed(consumer, Consumer(kPlay));
    window.WaitFor(1);
    fake.Feed(vendor, {0x02, 0x02});
    window.WaitFor(2);
    fake.Feed(consumer, Consumer(0));
    window.WaitFor(3);
    fake.Feed(vendor, {0x02, 0x00});
    ExpectEvents(window.WaitFor(4), {Key(true, 0x0C, 0xCD), Key(true, 0x09, 3),
                                     Key(false, 0x0C, 0xCD), Key(false, 0x09, 3)});
}

}  // namespace
