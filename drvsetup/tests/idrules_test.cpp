#include "drvsetup/idrules.h"

#include <gtest/gtest.h>

#include <string>

using namespace vnsetup;

TEST(NineXIds, FixedReductionsMatchTheShortForms) {
    const char* withRev = "USB\\VID_1A2B&PID_3C4D&REV_0001&MI_00";
    EXPECT_TRUE(MatchesId9x(withRev, "usb\\vid_1a2b&pid_3c4d&mi_00"));
    EXPECT_TRUE(MatchesId9x(withRev, "USB\\VID_1A2B&PID_3C4D"));
    EXPECT_TRUE(MatchesId9x(withRev, withRev));
    EXPECT_FALSE(MatchesId9x(withRev, "USB\\VID_1A2B&PID_9999&MI_00"));
    EXPECT_FALSE(MatchesId9x(withRev, "USB\\VID_1A2B&PID_3C4D&MI_01"));
    EXPECT_TRUE(MatchesId9x("ACPI\\*PNP0303", "*pnp0303"));  // bus prefix of five dropped
    EXPECT_FALSE(MatchesId9x("ACPI\\*PNP0304", "*PNP0303"));
    // Other length pairs, and a device ID shorter than the given one, do not match.
    EXPECT_FALSE(MatchesId9x("USB\\VID_1A2B&PID_3C4D&REV_0001", "USB\\VID_1A2B&PID_3C4D"));
    EXPECT_FALSE(MatchesId9x("USB\\VID_1A2B", "USB\\VID_1A2B&PID_3C4D"));
    EXPECT_FALSE(MatchesId9x(withRev, ""));
    EXPECT_FALSE(MatchesId9x(nullptr, withRev));
    // Clearing the not-installed mark compares the given ID's length only.
    EXPECT_TRUE(MatchesIdPrefix9x(withRev, "USB\\VID_1A2B&PID_3C4D&REV"));
    EXPECT_FALSE(MatchesIdPrefix9x("USB\\VID_1A2B", "USB\\VID_1A2B&PID"));
    EXPECT_FALSE(MatchesIdPrefix9x(withRev, ""));
}

TEST(NtIds, AnyStringOfTheBoundedListMatches) {
    const std::string list("USB\\VID_1A2B&PID_3C4D&REV_0001\0USB\\VID_1A2B&PID_3C4D\0\0", 54);
    EXPECT_TRUE(MultiStringHasId(list.data(), list.size(), "usb\\vid_1a2b&pid_3c4d"));
    EXPECT_FALSE(MultiStringHasId(list.data(), list.size(), "USB\\VID_1A2B"));
    // Unterminated: only the bytes given are read.
    const char unterminated[] = {'A', 'B', 'C', 'D'};
    EXPECT_TRUE(MultiStringHasId(unterminated, 4, "ABCD"));
    EXPECT_FALSE(MultiStringHasId(unterminated, 3, "ABCD"));
    EXPECT_FALSE(MultiStringHasId(list.data(), list.size(), ""));
}

TEST(LowerFilters, OneCommaTerminatedNameBecomesAList) {
    char value[16] = "kbdfilt,";
    ASSERT_EQ(RepairCommaFilter(value, 8, sizeof value), 9u);  // stored without its terminator
    EXPECT_EQ(std::string(value, 9), std::string("kbdfilt\0\0", 9));

    char terminated[16] = "kbdfilt,";
    EXPECT_EQ(RepairCommaFilter(terminated, 9, sizeof terminated), 9u);
    EXPECT_EQ(std::string(terminated, 9), std::string("kbdfilt\0\0", 9));

    char plain[16] = "kbdfilt";
    EXPECT_EQ(RepairCommaFilter(plain, 8, sizeof plain), 0u);
    EXPECT_STREQ(plain, "kbdfilt");
    // A full buffer leaves no room for the second terminator: nothing is written past it.
    char full[5] = {'a', 'b', 'c', 'd', ','};
    EXPECT_EQ(RepairCommaFilter(full, 5, 5), 0u);
    EXPECT_EQ(full[4], ',');
    EXPECT_EQ(RepairCommaFilter(full, 6, 5), 0u);
}
