// The volume functions against a scripted mixer device: clamping, the mean of two channels,
// mute, notifications to the window given to Mixer_Init, and the ramp driven by a real thread
// timer in a real message loop.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/testing/winetest.h"
#include "keyfunc/mixerdev.h"
#include "keyfunc/vnutil.h"

namespace {

constexpr DWORD kStep = 2730;
constexpr DWORD kVolumeId = 17;
constexpr DWORD kMuteId = 23;
constexpr DWORD kLineId = 0xFFFF0000;

// One mixer device with a speakers line of one or two channels, a volume fader and a mute
// switch. Writes notify the window given at open, as a real driver does.
class FakeMixer : public vn::MixerDevice {
public:
    UINT devices = 1;
    DWORD channels = 2;
    DWORD volume[2] = {30000, 30000};
    BOOL muted = FALSE;
    MMRESULT readFailure = MMSYSERR_NOERROR;
    HWND notify = nullptr;
    int writes = 0;
    int closes = 0;
    HMIXER const kHandle = reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x4d58));

    UINT DeviceCount() override { return devices; }
    MMRESULT Open(HMIXER* mixer, UINT id, HWND window) override {
        if (id != 0) return MMSYSERR_BADDEVICEID;
        *mixer = kHandle;
        notify = window;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIXER mixer) override {
        if (mixer == kHandle) ++closes;
        return MMSYSERR_NOERROR;
    }
    MMRESULT LineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) override {
        if (mixer != kHandle || !(flags & MIXER_GETLINEINFOF_COMPONENTTYPE) ||
            line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS)
            return MIXERR_INVALLINE;
        line->dwLineID = kLineId;
        line->cChannels = channels;
        return MMSYSERR_NOERROR;
    }
    MMRESULT LineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
        if (mixer != kHandle || controls->dwLineID != kLineId || !(flags & MIXER_GETLINECONTROLSF_ONEBYTYPE))
            return MIXERR_INVALLINE;
        if (controls->dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME)
            controls->pamxctrl->dwControlID = kVolumeId;
        else if (controls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE)
            controls->pamxctrl->dwControlID = kMuteId;
        else
            return MIXERR_INVALCONTROL;
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetDetails(HMIXER mixer, MIXERCONTROLDETAILS* d, DWORD) override {
        if (mixer != kHandle) return MMSYSERR_INVALHANDLE;
        if (readFailure) return readFailure;
        if (d->dwControlID == kVolumeId) {
            if (d->cChannels > channels) return MMSYSERR_INVALPARAM;
            auto* v = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(d->paDetails);
            for (DWORD i = 0; i < d->cChannels; ++i) v[i].dwValue = volume[i];
            return MMSYSERR_NOERROR;
        }
        if (d->dwControlID == kMuteId && d->cChannels == 1) {
            static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(d->paDetails)->fValue = muted;
            return MMSYSERR_NOERROR;
        }
        return MIXERR_INVALCONTROL;
    }
    MMRESULT SetDetails(HMIXER mixer, MIXERCONTROLDETAILS* d, DWORD) override {
        if (mixer != kHandle) return MMSYSERR_INVALHANDLE;
        if (d->dwControlID == kVolumeId) {
            auto* v = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(d->paDetails);
            for (DWORD i = 0; i < d->cChannels; ++i) volume[i] = v[i].dwValue;
        } else if (d->dwControlID == kMuteId) {
            muted = static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(d->paDetails)->fValue;
        } else {
            return MIXERR_INVALCONTROL;
        }
        ++writes;
        if (notify) PostMessageA(notify, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(mixer), d->dwControlID);
        return MMSYSERR_NOERROR;
    }
};

class Volume : public ::testing::Test {
protected:
    FakeMixer fake;
    void SetUp() override { Start(); }
    void Start(HWND notify = nullptr) {
        vn::UseMixerDevice(&fake);
        Mixer_Init(notify);
    }
    void TearDown() override {
        Mixer_StopVolumeIncrease();
        vn::UseMixerDevice(nullptr);
    }
};

TEST_F(Volume, StepsClampAtBothEnds) {
    fake.volume[0] = fake.volume[1] = 64000;
    EXPECT_EQ(Mixer_VolumeUp(0), 0);
    EXPECT_EQ(fake.volume[0], 65535u);
    EXPECT_EQ(fake.volume[1], 65535u);
    EXPECT_EQ(Mixer_VolumeUp(0xFFFFFFFF), 0);
    EXPECT_EQ(fake.volume[0], 65535u);

    fake.volume[0] = fake.volume[1] = 1000;
    EXPECT_EQ(Mixer_VolumeDown(0), 0);
    EXPECT_EQ(fake.volume[0], 0u);
    EXPECT_EQ(fake.volume[1], 0u);

    fake.volume[0] = 100;
    fake.volume[1] = 5000;
    EXPECT_EQ(Mixer_VolumeUp(7), 0);
    EXPECT_EQ(fake.volume[0], 107u);
    EXPECT_EQ(fake.volume[1], 5007u);
    EXPECT_EQ(Mixer_VolumeDown(0), 0);
    EXPECT_EQ(fake.volume[0], 0u);
    EXPECT_EQ(fake.volume[1], 5007u - kStep);
}

TEST_F(Volume, MeanOfTwoChannelsAndMono) {
    fake.volume[0] = 30000;
    fake.volume[1] = 30001;
    DWORD v = 1;
    EXPECT_EQ(Mixer_GetVolume(&v), 0);
    EXPECT_EQ(v, 30000u);
    fake.volume[1] = 40000;
    EXPECT_EQ(Mixer_GetVolume(&v), 0);
    EXPECT_EQ(v, 35000u);
    EXPECT_EQ(Mixer_GetVolume(nullptr), 0);

    fake.channels = 1;
    fake.volume[0] = 12345;
    Start();
    EXPECT_EQ(Mixer_GetVolume(&v), 0);
    EXPECT_EQ(v, 12345u);
    EXPECT_EQ(Mixer_VolumeUp(0), 0);
    EXPECT_EQ(fake.volume[0], 12345u + kStep);
    EXPECT_EQ(fake.volume[1], 40000u);  // the second value is not part of a mono line
}

TEST_F(Volume, MuteReadWriteAndToggle) {
    EXPECT_EQ(Mixer_GetMuteState(), 0);
    EXPECT_EQ(Mixer_SetMuteState(1), 0);
    EXPECT_TRUE(fake.muted);
    EXPECT_EQ(Mixer_GetMuteState(), 1);
    EXPECT_EQ(Mixer_ToggleMute(), 0);
    EXPECT_FALSE(fake.muted);
    EXPECT_EQ(Mixer_ToggleMute(), 0);
    EXPECT_TRUE(fake.muted);
}

TEST_F(Volume, ReadFailuresReportTheStatusAndWriteNothing) {
    fake.readFailure = MMSYSERR_ERROR;
    DWORD v = 77;
    EXPECT_EQ(Mixer_GetVolume(&v), static_cast<int>(MMSYSERR_ERROR));
    EXPECT_EQ(v, 77u);
    EXPECT_EQ(Mixer_VolumeUp(0), static_cast<int>(MMSYSERR_ERROR));
    EXPECT_EQ(Mixer_ToggleMute(), static_cast<int>(MMSYSERR_ERROR));
    EXPECT_EQ(Mixer_GetMuteState(), 0);
    EXPECT_EQ(fake.writes, 0);
}

TEST_F(Volume, ChangesNotifyTheWindowGivenAtInit) {
    HWND window = CreateWindowA("STATIC", "kf mixer", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Start(window);
    EXPECT_EQ(fake.notify, window);
    Mixer_VolumeUp(0);
    Mixer_ToggleMute();
    // Posted to this thread's queue: collected without dispatching.
    std::vector<LPARAM> controls;
    MSG msg;
    for (int i = 0; i < 100 && controls.size() < 2; ++i) {
        while (PeekMessageA(&msg, window, MM_MIXM_CONTROL_CHANGE, MM_MIXM_CONTROL_CHANGE, PM_REMOVE))
            controls.push_back(msg.lParam);
        if (controls.size() < 2) Sleep(10);
    }
    DestroyWindow(window);
    EXPECT_EQ(controls, (std::vector<LPARAM>{kVolumeId, kMuteId}));
}

TEST_F(Volume, VolumeKeyUnmutesThenStepsAtOnce) {
    fake.muted = TRUE;
    fake.volume[0] = fake.volume[1] = 10000;
    EXPECT_EQ(Mixer_StartVolumeIncrease(), 1);
    EXPECT_FALSE(fake.muted);
    EXPECT_EQ(fake.volume[0], 10000u + kStep);
    EXPECT_EQ(Mixer_StopVolumeIncrease(), 1);

    fake.muted = TRUE;
    EXPECT_EQ(Mixer_StartVolumeDecrease(), 1);
    EXPECT_FALSE(fake.muted);
    EXPECT_EQ(fake.volume[0], 10000u);
    EXPECT_EQ(Mixer_StopVolumeDecrease(), 1);
    EXPECT_EQ(vn::MixerRampTimer(), 0u);
}

TEST_F(Volume, ShortPressStepsExactlyOnce) {
    fake.volume[0] = fake.volume[1] = 10000;
    Mixer_StartVolumeIncrease();
    vntest::PumpFor(200);
    Mixer_StopVolumeIncrease();
    vntest::PumpFor(400);
    EXPECT_EQ(fake.volume[0], 10000u + kStep);
}

TEST_F(Volume, HeldKeyRampsFrom300msEvery150msAndReverses) {
    fake.volume[0] = fake.volume[1] = 30000;
    DWORD start = GetTickCount();
    Mixer_StartVolumeIncrease();
    UINT_PTR timer = vn::MixerRampTimer();
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(fake.volume[0], 30000u + kStep);
    // The first tick (150 ms) is skipped; the second (300 ms) steps.
    vntest::WaitUntil([&] { return fake.volume[0] > 30000u + kStep; }, 2000);
    DWORD firstRampStep = GetTickCount() - start;
    EXPECT_GE(firstRampStep, 280u);
    EXPECT_LT(firstRampStep, vntest::Scaled(600));
    EXPECT_EQ(fake.volume[0], 30000u + 2 * kStep);
    vntest::PumpFor(460);  // about three more ticks
    DWORD steps = (fake.volume[0] - 30000u) / kStep;
    EXPECT_GE(steps, 4u);
    EXPECT_LE(steps, 6u);

    // Volume down while the up-ramp runs: one step down at once, the same timer goes on downwards.
    DWORD before = fake.volume[0];
    Mixer_StartVolumeDecrease();
    EXPECT_EQ(vn::MixerRampTimer(), timer);
    EXPECT_EQ(fake.volume[0], before - kStep);
    vntest::PumpFor(320);
    EXPECT_LT(fake.volume[0], before - kStep);
    // Releasing either key stops the ramp.
    Mixer_StopVolumeIncrease();
    EXPECT_EQ(vn::MixerRampTimer(), 0u);
    DWORD stopped = fake.volume[0];
    vntest::PumpFor(400);
    EXPECT_EQ(fake.volume[0], stopped);
}

// A replaced device may be gone right after: its mixer is closed at once and never used again.
TEST(VolumeDeviceSwap, ReplacingTheDeviceClosesItsMixer) {
    auto first = std::make_unique<FakeMixer>();
    vn::UseMixerDevice(first.get());
    Mixer_Init(nullptr);
    Mixer_StartVolumeIncrease();
    ASSERT_NE(vn::MixerRampTimer(), 0u);
    int writes = first->writes;
    vn::UseMixerDevice(nullptr);
    EXPECT_EQ(first->closes, 1);
    EXPECT_EQ(vn::MixerRampTimer(), 0u);
    EXPECT_EQ(Mixer_VolumeUp(0), 0);
    EXPECT_EQ(first->writes, writes);
    first.reset();

    FakeMixer second;
    vn::UseMixerDevice(&second);
    Mixer_Init(nullptr);  // must not reach the destroyed first device
    EXPECT_EQ(Mixer_VolumeUp(0), 0);
    EXPECT_EQ(second.writes, 1);
    vn::UseMixerDevice(nullptr);
}

TEST(VolumeWithoutMixer, EveryOperationGivesItsDocumentedResult) {
    FakeMixer none;
    none.devices = 0;
    vn::UseMixerDevice(&none);
    Mixer_Init(nullptr);
    DWORD v = 99;
    EXPECT_EQ(Mixer_VolumeUp(0), 0);
    EXPECT_EQ(Mixer_VolumeDown(0), 0);
    EXPECT_EQ(Mixer_GetVolume(&v), 0);
    EXPECT_EQ(v, 99u);
    EXPECT_EQ(Mixer_GetMuteState(), 0);
    EXPECT_EQ(Mixer_SetMuteState(1), 0);
    EXPECT_EQ(Mixer_ToggleMute(), 0);
    EXPECT_EQ(Mixer_StartVolumeIncrease(), 1);
    EXPECT_EQ(Mixer_StartVolumeDecrease(), 1);
    EXPECT_EQ(vn::MixerRampTimer(), 0u);
    EXPECT_EQ(Mixer_StopVolumeIncrease(), 1);
    EXPECT_EQ(Mixer_StopVolumeDecrease(), 1);
    EXPECT_EQ(none.writes, 0);
    vn::UseMixerDevice(nullptr);
}

// The system's own mixer in the test bed (there may be none): nothing crashes.
TEST(VolumeWithoutMixer, SystemMixerCallsReturn) {
    vn::UseMixerDevice(nullptr);
    Mixer_Init(nullptr);
    DWORD v = 0;
    Mixer_GetVolume(&v);
    Mixer_GetMuteState();
    Mixer_StartVolumeIncrease();
    Mixer_StopVolumeIncrease();
    SUCCEED();
}

}  // namespace
