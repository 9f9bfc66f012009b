// CD audio through MCI against a scripted CD audio device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyfunc/tests/fake_mci.h"
#include "keyfunc/vnutil.h"

namespace {

using Seq = std::vector<std::string>;

class CdAudio : public ::testing::Test {
protected:
    void SetUp() override {
        AudioCD_Stop("R:\\");  // forgets any pause position left by an earlier test
        cd.mode = "stopped";
        cd.Clear();
    }
    vntest::FakeCdAudio cd;
};

TEST_F(CdAudio, OpenProbesWithSecondAliasAndClosesIt) {
    EXPECT_EQ(AudioCD_OpenCDAudio(nullptr), 1);
    EXPECT_EQ(cd.log, (Seq{"open cdaudio alias vnbcdx shareable", "open cdaudio alias vnbcd shareable",
                           "close vnbcdx"}));
    cd.Clear();
    cd.discPresent = false;
    EXPECT_EQ(AudioCD_OpenCDAudio("R:\\"), 0);
    ASSERT_EQ(cd.log.size(), 2u);  // the probe fails: no second open, the probe alias still closed
    EXPECT_EQ(cd.log[1], "close vnbcdx");
    EXPECT_EQ(AudioCD_Play("R:\\"), 0);
    EXPECT_EQ(AudioCD_IsPlaying("R:\\"), -1);
    EXPECT_EQ(AudioCD_FindAudioByMCI("R:\\"), 275);
}

TEST_F(CdAudio, DriveTextKeepsBackslashOnlyBeforeXp) {
    // The test program reports Windows XP: the trailing backslash is dropped.
    AudioCD_OpenCDAudio("R:\\");
    EXPECT_EQ(cd.openedDevice, "R:");
}

TEST_F(CdAudio, PlayFromStopRewindsThenPlays) {
    EXPECT_EQ(AudioCD_Play("R:\\"), 0);
    EXPECT_EQ(cd.Commands(), (Seq{"status vnbcd mode", "stop vnbcd", "seek vnbcd to start", "status vnbcd position",
                                  "seek vnbcd to start", "play vnbcd"}));
    EXPECT_EQ(cd.log.front(), "close vnbcd");  // every call reopens the device for its drive
    cd.Clear();
    EXPECT_EQ(AudioCD_Play("R:\\"), 0);  // already playing: nothing changes
    EXPECT_EQ(cd.Commands(), (Seq{"status vnbcd mode"}));
}

TEST_F(CdAudio, PauseSavesPositionAndResumes) {
    cd.mode = "playing";
    cd.position = "03:01:20:10";
    EXPECT_EQ(AudioCD_Pause("R:\\"), 0);
    EXPECT_EQ(cd.mode, "paused");
    cd.position = "01:00:00:00";
    cd.Clear();
    // Pause again while paused resumes from the saved position.
    EXPECT_EQ(AudioCD_Pause("R:\\"), 0);
    EXPECT_EQ(cd.Commands(), (Seq{"status vnbcd mode", "play vnbcd from 03:01:20:10"}));
    EXPECT_EQ(cd.mode, "playing");
    // With nothing saved and nothing playing, Pause does nothing and says so.
    cd.mode = "stopped";
    cd.Clear();
    EXPECT_NE(AudioCD_Pause("R:\\"), 0);
    EXPECT_EQ(cd.Commands(), (Seq{"status vnbcd mode"}));
}

TEST_F(CdAudio, PlayPauseTogglesThroughSavedPosition) {
    cd.mode = "playing";
    cd.position = "02:00:42:00";
    AudioCD_PlayPause("R:\\");
    EXPECT_EQ(cd.mode, "paused");
    cd.Clear();
    AudioCD_PlayPause("R:\\");
    EXPECT_EQ(cd.Commands(), (Seq{"status vnbcd mode", "play vnbcd from 02:00:42:00"}));
    cd.mode = "paused";
    cd.Clear();
    // The saved position was used once; the next play starts over.
    AudioCD_Play("R:\\");
    EXPECT_EQ(cd.Commands().back(), "play vnbcd");
}

TEST_F(CdAudio, StopForgetsSavedPosition) {
    cd.mode = "playing";
    cd.position = "04:00:10:00";
    AudioCD_Pause("R:\\");
    cd.Clear();
    EXPECT_EQ(AudioCD_Stop("R:\\"), 0);
    EXPECT_EQ(cd.Commands(), (Seq{"stop vnbcd", "seek vnbcd to start"}));
    cd.Clear();
    AudioCD_Play("R:\\");
    EXPECT_EQ(cd.Commands().back(), "play vnbcd");
}

TEST_F(CdAudio, NextTrackPlaysFollowingTrack) {
    cd.position = "02:03:00:00";
    AudioCD_NextTrack("R:\\");
    EXPECT_EQ(cd.Commands(),
              (Seq{"set vnbcd time format TMSF", "status vnbcd current track", "play vnbcd from 3"}));
}

TEST_F(CdAudio, PreviousTrackRuleAtThreeSeconds) {
    struct Case {
        const char* position;
        const char* expected;
    } cases[] = {
        {"05:00:02:00", "play vnbcd from 4"},  // two seconds in: previous track
        {"05:00:10:00", "play vnbcd from 5"},  // ten seconds in: start of this track
        {"05:01:02:00", "play vnbcd from 4"},  // only the seconds field counts
        {"01:00:01:00", "play vnbcd from 1"},  // never before the first track
    };
    for (const Case& c : cases) {
        cd.position = c.position;
        cd.Clear();
        AudioCD_PrevTrack("R:\\");
        EXPECT_EQ(cd.Commands(), (Seq{"set vnbcd time format TMSF", "status vnbcd position", c.expected}))
            << c.position;
    }
}

TEST_F(CdAudio, PreviousTrackKeepsPausePosition) {
    cd.mode = "playing";
    cd.position = "06:02:00:00";
    AudioCD_Pause("R:\\");
    cd.position = "06:02:00:00";
    AudioCD_PrevTrack("R:\\");
    cd.mode = "paused";
    cd.Clear();
    AudioCD_Play("R:\\");
    EXPECT_EQ(cd.Commands().back(), "play vnbcd from 06:02:00:00");
}

TEST_F(CdAudio, IsPlayingReadsMode) {
    cd.mode = "PLAYING";
    EXPECT_EQ(AudioCD_IsPlaying("R:\\"), 1);
    cd.mode = "paused";
    EXPECT_EQ(AudioCD_IsPlaying("R:\\"), 0);
}

TEST_F(CdAudio, FindAudioByMciOnMixedAndDataDiscs) {
    cd.tracks = {"other", "audio", "audio"};
    EXPECT_EQ(AudioCD_FindAudioByMCI("R:\\"), 0);
    // The search stops at the first audio track.
    EXPECT_EQ(cd.Commands().back(), "status vnbcd type track 2");
    cd.tracks = {"other"};
    EXPECT_EQ(AudioCD_FindAudioByMCI("R:\\"), 275);
    cd.tracks = {"other", "Audio"};
    EXPECT_EQ(AudioCD_FindAudioByMCI("R:\\"), 0);
    cd.failStatusTracks = 263;
    EXPECT_EQ(AudioCD_FindAudioByMCI("R:\\"), 263);
}

}  // namespace
