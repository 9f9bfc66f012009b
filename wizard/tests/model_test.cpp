// The plain rules behind the sheet: layout normalisation, navigation and the key slot texts.
#include <gtest/gtest.h>

#include <cstring>

#include "wizard/model.h"

namespace tkcfg {
namespace {

TEST(Layout, NormalisationMapsDialogUnitsToThePictureGrid) {
    // 4 x 8 dialog units measure 6 x 13 pixels with the standard font: nothing moves.
    Rect r = NormaliseRect({10, 26, 70, 52}, 6, 13, 13, false, false);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(26, r.top);
    EXPECT_EQ(70, r.right);
    EXPECT_EQ(52, r.bottom);
    // A larger font (8 x 16) lands on the same pixels; Traditional Chinese steps 12 down per unit.
    r = NormaliseRect({13, 32, 93, 64}, 8, 16, 13, false, true);
    EXPECT_EQ(9, r.left);
    EXPECT_EQ(26, r.top);
    EXPECT_EQ(60, r.right - r.left);
    EXPECT_EQ(32, r.bottom - r.top);  // kept, as for a combo box
    EXPECT_EQ(12, VerticalFactor(1028));
    EXPECT_EQ(13, VerticalFactor(1041));
}

TEST(Navigation, BackFromPrintLabelSkipsTheKeysWhenTheyAreOff) {
    EXPECT_EQ(kCustomizeKeys, PreviousPage(kPrintLabel, -1));
    EXPECT_EQ(kCustomizeKeys, PreviousPage(kPrintLabel, 1));
    EXPECT_EQ(kKeyreach, PreviousPage(kPrintLabel, 0));
    EXPECT_EQ(kOsd, PreviousPage(kSummary, 0));
    EXPECT_TRUE(StepIsLater(0, kWelcome));
    EXPECT_FALSE(StepIsLater(2, kCustomizeKeys));
    EXPECT_TRUE(StepIsLater(3, kCustomizeKeys));
    EXPECT_EQ(-1, KeyAt(260, 175));
    EXPECT_EQ(6, KeyAt(678, 175));
}

TEST(Slots, AssignmentTextAndLabels) {
    KeySlot slot{};
    slot.type = 1;
    std::strcpy(slot.command, "D:\\Tools\\app.exe");
    char text[520];
    AssignmentText(slot, text, sizeof text);
    EXPECT_STREQ("D:\\Tools\\app.exe", text);
    std::strcpy(slot.params, "-x");
    AssignmentText(slot, text, sizeof text);
    EXPECT_STREQ("D:\\Tools\\app.exe -x", text);
    char label[260];
    FileLabel("C:\\Favorites\\Example.url", label, sizeof label);
    EXPECT_STREQ("Example", label);
    EXPECT_TRUE(HasExtension("C:\\A\\B.LNK", ".lnk"));

    // An applied item ID list takes no parameters from an earlier text command.
    std::memcpy(slot.pendingCommand, "\x04\x00\x01\x02\x00\x00", 6);
    slot.pendingLength = 6;
    slot.pendingType = 6;
    ApplyPending(slot, "Panel");
    EXPECT_EQ(6, slot.commandLength);
    EXPECT_STREQ("", slot.params);
    EXPECT_TRUE(slot.applied);
}

}  // namespace
}  // namespace tkcfg
