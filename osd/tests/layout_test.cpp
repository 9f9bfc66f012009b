// The display's arithmetic and the pixel-run collector: pure rules, no windows.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "osd/layout.h"
#include "osd/runs.h"

namespace {

using osd::Box;

TEST(Layout, FontHeightFollowsTheScreenUnlessTheUserChoseIt) {
    EXPECT_EQ(osd::ScaledFontHeight(-37, 768, false), -37);
    EXPECT_EQ(osd::ScaledFontHeight(-37, 1024, false), -49);  // -49.33 rounds toward zero
    EXPECT_EQ(osd::ScaledFontHeight(-37, 1080, false), -52);
    EXPECT_EQ(osd::ScaledFontHeight(-37, 600, false), -28);   // -28.9
    EXPECT_EQ(osd::ScaledFontHeight(-37, 1024, true), -37);
    EXPECT_EQ(osd::ScaledFontHeight(24, 1024, false), 32);
}

TEST(Layout, JapaneseLocaleTextIsExact) {
    EXPECT_TRUE(osd::IsJapaneseLocale("00000411"));
    EXPECT_FALSE(osd::IsJapaneseLocale("00000409"));
    EXPECT_FALSE(osd::IsJapaneseLocale("0000041"));
    EXPECT_FALSE(osd::IsJapaneseLocale("000004110"));
    EXPECT_FALSE(osd::IsJapaneseLocale(nullptr));
    EXPECT_FALSE(osd::IsJapaneseLocale(""));
}

TEST(Layout, TextRectangleMovesInFromRightAndBottom) {
    // The service's rectangle: 40 pixels in from the right and the bottom.
    Box r = osd::AdjustTextRect(Box{0, 0, 1024 - 40, 768 - 40}, 1024, 768);
    EXPECT_EQ(r.right, 984);
    EXPECT_EQ(r.bottom, 708);
    r = osd::AdjustTextRect(Box{5, 7, 1920 - 40, 1080 - 40}, 1920, 1080);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right, 1920 - 40 * 1920 / 1024);     // 1845
    EXPECT_EQ(r.bottom, 1080 - 40 * 1080 / 768 - 20);  // 1004
}

TEST(Layout, TextRightAlignedOrCutAtTheMargin) {
    const Box rect{0, 0, 1845, 1004};
    osd::TextPlan p = osd::PlanText(rect, 300, 50, 0x2A, false, 0, 0, 1920, 1080);
    EXPECT_FALSE(p.cut);
    EXPECT_EQ(p.format, 0x2Au);
    EXPECT_EQ(p.margin, 75);
    EXPECT_EQ(p.reserved, 0);
    EXPECT_EQ(p.draw.left, 75);
    EXPECT_EQ(p.draw.right, 1845);
    EXPECT_EQ(p.scan.left, 1545);
    EXPECT_EQ(p.scan.right, 1845);
    EXPECT_EQ(p.scan.top, 954);
    EXPECT_EQ(p.scan.bottom, 1004);
    EXPECT_TRUE(p.icon.empty());

    p = osd::PlanText(rect, 5000, 50, 0x2A, false, 0, 0, 1920, 1080);
    EXPECT_TRUE(p.cut);
    EXPECT_EQ(p.format, 0x28u);  // single line at the bottom, left-aligned
    EXPECT_EQ(p.textWidth, 1845 - 75);
    EXPECT_EQ(p.scan.left, 75);
}

TEST(Layout, MuteIconSitsAtTheRightEdgeCentredOnTheText) {
    const Box rect{0, 0, 1845, 1004};
    osd::TextPlan p = osd::PlanText(rect, 300, 50, 0x2A, true, 60, 60, 1920, 1080);
    EXPECT_EQ(p.icon.width(), 112);   // 1920 * 60 / 1024
    EXPECT_EQ(p.icon.height(), 84);   // 60 * 1080 / 768
    EXPECT_EQ(p.icon.right, 1845);
    EXPECT_EQ(p.icon.top, 1004 - 50 + (50 - 84) / 2);  // -17: rounds toward zero
    EXPECT_EQ(p.reserved, 112 + 22);
    EXPECT_EQ(p.draw.right, 1845 - 134);
    EXPECT_EQ(p.scan.left, 1845 - 300 - 134);
}

TEST(Layout, ScanStaysInsideTheDrawnBitmap) {
    // Fits beside the margin but not beside the icon: the text's columns would start left of 0.
    osd::TextPlan p = osd::PlanText(Box{0, 0, 200, 100}, 150, 150, 0x2A, true, 60, 60, 1024, 768);
    EXPECT_EQ(p.scan.left, 0);
    EXPECT_EQ(p.scan.top, 0);
    EXPECT_EQ(p.scan.right, 200);
    EXPECT_EQ(p.scan.bottom, 100);
    p = osd::PlanText(Box{0, 0, -10, -10}, 10, 10, 0x2A, false, 0, 0, 1024, 768);
    EXPECT_TRUE(p.scan.empty());
}

int FullBars(const osd::VolumePlan& p) {
    int full = 0;
    for (const Box& b : p.bars) full += b.height() > b.width() ? 1 : 0;
    return full;
}

TEST(Layout, VolumeBarsFillWithTheLevel) {
    struct Case {
        int level, bars, count, full;
    } cases[] = {{0, 24, 24, 0}, {32768, 24, 24, 13}, {65535, 24, 24, 24}, {1, 24, 24, 1},
                 {65535, 0, 32, 32}, {0, 0, 32, 0}, {-5, 24, 24, 0}, {65535, -3, 0, 0}};
    for (const Case& c : cases) {
        osd::VolumePlan p = osd::PlanVolume(c.level, c.bars, 60, 60, 1920, 1080);
        EXPECT_EQ(static_cast<int>(p.bars.size()), c.count) << c.level << "/" << c.bars;
        EXPECT_EQ(p.fullBars, c.full) << c.level << "/" << c.bars;
        EXPECT_EQ(FullBars(p), c.full) << c.level << "/" << c.bars;
    }
}

TEST(Layout, VolumeGeometryAt1920x1080) {
    osd::VolumePlan p = osd::PlanVolume(32768, 24, 60, 60, 1920, 1080);
    EXPECT_EQ(p.icon.left, 562 + 75);
    EXPECT_EQ(p.icon.width(), 112);
    EXPECT_EQ(p.icon.height(), 84);
    EXPECT_EQ(p.icon.top, 1080 - 90 - 56 + (56 - 60) / 2);  // 932
    const Box& first = p.bars.front();
    EXPECT_EQ(first.left, 637 + 112 + 22);
    EXPECT_EQ(first.width(), 11);
    EXPECT_EQ(first.top, 932 + 14);  // centred on the symbol
    EXPECT_EQ(first.height(), 56);
    EXPECT_EQ(p.bars[1].left - first.left, 21);
    const Box& stub = p.bars.back();  // a square at the baseline
    EXPECT_EQ(stub.width(), 11);
    EXPECT_EQ(stub.height(), 11);
    EXPECT_EQ(stub.bottom, first.bottom);
}

// Every lit pixel of a picture as a set, and the union of the collected boxes as a set.
std::set<std::pair<int, int>> Pixels(const std::vector<std::uint8_t>& bits, int stride, int w, int h, bool litSet) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (((bits[y * stride + x / 8] >> (7 - x % 8)) & 1) == (litSet ? 1 : 0)) out.insert({x, y});
    return out;
}

TEST(Runs, BoxesCoverExactlyTheLitPixels) {
    const int w = 37, h = 23, stride = 8;
    for (bool litSet : {true, false}) {
        std::vector<std::uint8_t> bits(stride * h);
        std::uint32_t seed = 12345;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < stride * 8; ++x) {
                seed = seed * 1103515245u + 12345u;
                // Repeat rows in pairs so that bands of equal rows occur.
                int row = y / 2 * 2;
                bool on = ((row * 7 + x * 3 + (seed >> 29)) % 5) < 2 || (x > 10 && x < 20 && y > 5);
                if (on) bits[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        // Columns past the width carry junk that must be ignored.
        std::vector<osd::Box> boxes;
        osd::CollectRuns(osd::BitPicture{bits.data(), stride, w, h, litSet}, 100, 200, boxes);
        std::set<std::pair<int, int>> covered;
        for (const osd::Box& b : boxes)
            for (int y = b.top; y < b.bottom; ++y)
                for (int x = b.left; x < b.right; ++x) {
                    EXPECT_TRUE(covered.insert({x - 100, y - 200}).second) << "boxes overlap";
                }
        EXPECT_EQ(covered, Pixels(bits, stride, w, h, litSet));
    }
}

TEST(Runs, EqualRowsBecomeOneTallBox) {
    // A 3-wide vertical bar, 10 rows high, in a picture 16 wide.
    std::vector<std::uint8_t> bits(2 * 10);
    for (int y = 0; y < 10; ++y) bits[y * 2] = 0x1C;  // columns 3, 4, 5
    std::vector<osd::Box> boxes;
    osd::CollectRuns(osd::BitPicture{bits.data(), 2, 16, 10, true}, 0, 0, boxes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].left, 3);
    EXPECT_EQ(boxes[0].right, 6);
    EXPECT_EQ(boxes[0].top, 0);
    EXPECT_EQ(boxes[0].bottom, 10);
}

}  // namespace
