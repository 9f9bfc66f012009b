// The media key rules: which drive wins, the Play/Pause conversion, the InterVideo key.
#include <gtest/gtest.h>

#include "keyfunc/mediarules.h"

namespace {

using namespace vn::media;

TEST(MediaRules, DrivePrecedence) {
    // A playable disc is never given up.
    for (int playable : {kAudioCd, kDvd, kVcd})
        for (int other = kNoDisc; other <= kDataDisc; ++other) EXPECT_FALSE(Replaces(playable, other));
    for (int any = kNoDisc; any <= kDataDisc; ++any) EXPECT_TRUE(Replaces(kNoDisc, any));
    EXPECT_TRUE(Replaces(kSoftware, kDvd));
    EXPECT_FALSE(Replaces(kSoftware, kDataDisc));
    EXPECT_FALSE(Replaces(kSoftware, kNoDisc));
    EXPECT_TRUE(Replaces(kDataDisc, kSoftware));
    EXPECT_TRUE(Replaces(kDataDisc, kVcd));
    EXPECT_FALSE(Replaces(kDataDisc, kNoDisc));
}

TEST(MediaRules, PlayPauseConversionInvertsBelief) {
    int flag = 0;
    EXPECT_EQ(ConvertPlayPause(kPlayPause, &flag), kPlay);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(ConvertPlayPause(kPlayPause, &flag), kPause);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(ConvertPlayPause(kNextTrack, &flag), kNextTrack);
    EXPECT_EQ(flag, 0);
}

TEST(MediaRules, InterVideoKeyPrefersDvdNames) {
    EXPECT_EQ(PickInterVideoKey({"WinDVD9", "DVD4", "DVD10", "Common"}), "DVD4");  // byte order
    EXPECT_EQ(PickInterVideoKey({"WinDVD4", "WinDVD6", "Other"}), "WinDVD6");
    EXPECT_EQ(PickInterVideoKey({"dvd7", "Other"}), "");
}

}  // namespace
