// The volume and mute keys: the master volume and mute switch of the speakers line of mixer
// device 0, with a timer ramp while a volume key is held.
#include <algorithm>

#include "keyfunc/mixerdev.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

class SystemMixer : public MixerDevice {
public:
    UINT DeviceCount() override { return mixerGetNumDevs(); }
    MMRESULT Open(HMIXER* mixer, UINT id, HWND notify) override {
        return mixerOpen(mixer, id, reinterpret_cast<DWORD_PTR>(notify), 0, CALLBACK_WINDOW | MIXER_OBJECTF_MIXER);
    }
    MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
    MMRESULT LineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) override {
        return mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), line, flags);
    }
    MMRESULT LineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
        return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), controls, flags);
    }
    MMRESULT GetDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), details, flags);
    }
    MMRESULT SetDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), details, flags);
    }
};

SystemMixer g_systemMixer;
MixerDevice* g_device = &g_systemMixer;

constexpr DWORD kDefaultStep = 0x0AAA;
constexpr DWORD kFullVolume = 0xFFFF;
constexpr UINT kRampInterval = 150;
// Lines report one or two channels; more are handled as their first two.
constexpr int kMaxChannels = 2;

struct Mixer {
    bool ready = false;
    HMIXER handle = nullptr;
    MixerDevice* device = nullptr;  // the device the handle belongs to
    int channels = 1;
    DWORD volumeId = 0;
    DWORD muteId = 0;
    UINT_PTR rampTimer = 0;
    bool rampUp = true;
    int rampDelay = 0;
} g_mixer;

DWORD ControlId(DWORD lineId, DWORD type) {
    MIXERCONTROLA control{};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = lineId;
    controls.dwControlType = type;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (g_mixer.device->LineControls(g_mixer.handle, &controls,
                                     MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        return 0;
    return control.dwControlID;
}

MIXERCONTROLDETAILS Details(DWORD controlId, int channels, void* values, DWORD itemSize) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = controlId;
    d.cChannels = static_cast<DWORD>(channels);
    d.cbDetails = itemSize;
    d.paDetails = values;
    return d;
}

MMRESULT ReadVolume(MIXERCONTROLDETAILS_UNSIGNED* values) {
    MIXERCONTROLDETAILS d = Details(g_mixer.volumeId, g_mixer.channels, values, sizeof *values);
    return g_mixer.device->GetDetails(g_mixer.handle, &d, MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER);
}

MMRESULT ReadMute(MIXERCONTROLDETAILS_BOOLEAN* value) {
    MIXERCONTROLDETAILS d = Details(g_mixer.muteId, 1, value, sizeof *value);
    return g_mixer.device->GetDetails(g_mixer.handle, &d, MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER);
}

MMRESULT WriteMute(MIXERCONTROLDETAILS_BOOLEAN* value) {
    MIXERCONTROLDETAILS d = Details(g_mixer.muteId, 1, value, sizeof *value);
    return g_mixer.device->SetDetails(g_mixer.handle, &d, MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER);
}

int StepVolume(DWORD step, bool up) {
    if (!g_mixer.ready) return 0;
    if (step == 0) step = kDefaultStep;
    MIXERCONTROLDETAILS_UNSIGNED values[kMaxChannels] = {};
    MMRESULT rc = ReadVolume(values);
    // Without the current values there is nothing sound to write.
    if (rc != MMSYSERR_NOERROR) return static_cast<int>(rc);
    for (int i = 0; i < g_mixer.channels; ++i) {
        DWORD v = values[i].dwValue;
        values[i].dwValue = up ? (v >= kFullVolume - std::min(step, kFullVolume) ? kFullVolume : v + step)
                               : (v <= step ? 0 : v - step);
    }
    MIXERCONTROLDETAILS d = Details(g_mixer.volumeId, g_mixer.channels, values, sizeof values[0]);
    return static_cast<int>(
        g_mixer.device->SetDetails(g_mixer.handle, &d, MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER));
}

VOID CALLBACK RampTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_mixer.rampDelay > 0) {
        --g_mixer.rampDelay;
        return;
    }
    StepVolume(kDefaultStep, g_mixer.rampUp);
}

void StartRamp(bool up) {
    g_mixer.rampUp = up;
    // A running ramp just changes direction.
    if (g_mixer.rampTimer) return;
    g_mixer.rampDelay = 1;
    g_mixer.rampTimer = SetTimer(nullptr, 0, kRampInterval, RampTick);
}

void StopRamp() {
    if (g_mixer.rampTimer) KillTimer(nullptr, g_mixer.rampTimer);
    g_mixer.rampTimer = 0;
}

}  // namespace

void UseMixerDevice(MixerDevice* device) {
    // The open handle belongs to the device being replaced, which may not outlive this call.
    StopRamp();
    if (g_mixer.handle) g_mixer.device->Close(g_mixer.handle);
    g_mixer = Mixer{};
    g_device = device ? device : &g_systemMixer;
}

UINT_PTR MixerRampTimer() { return g_mixer.rampTimer; }

}  // namespace vn

using namespace vn;

extern "C" {

void VNAPI Mixer_Init(HWND notifyWindow) {
    StopRamp();
    // A second call starts afresh instead of leaking the first handle.
    if (g_mixer.handle) g_mixer.device->Close(g_mixer.handle);
    g_mixer = Mixer{};
    g_mixer.device = g_device;
    if (g_mixer.device->DeviceCount() == 0) return;
    g_mixer.ready = true;
    if (g_mixer.device->Open(&g_mixer.handle, 0, notifyWindow) != MMSYSERR_NOERROR) g_mixer.handle = nullptr;

    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (g_mixer.device->LineInfo(g_mixer.handle, &line, MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER) !=
        MMSYSERR_NOERROR)
        return;  // later operations fail with the platform's status
    g_mixer.channels = std::max(1, std::min(static_cast<int>(line.cChannels), kMaxChannels));
    g_mixer.muteId = ControlId(line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE);
    g_mixer.volumeId = ControlId(line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME);
}

int VNAPI Mixer_VolumeUp(DWORD step) { return StepVolume(step, true); }

int VNAPI Mixer_VolumeDown(DWORD step) { return StepVolume(step, false); }

int VNAPI Mixer_GetVolume(DWORD* volume) {
    if (!g_mixer.ready) return 0;
    MIXERCONTROLDETAILS_UNSIGNED values[kMaxChannels] = {};
    MMRESULT rc = ReadVolume(values);
    if (rc != MMSYSERR_NOERROR) return static_cast<int>(rc);
    DWORD mean = 0;
    for (int i = 0; i < g_mixer.channels; ++i) {
        DWORD v = values[i].dwValue;
        if (mean != v)
            mean = static_cast<DWORD>((static_cast<unsigned long long>(mean) * i + v) / static_cast<unsigned>(i + 1));
    }
    if (volume) *volume = mean;
    return 0;
}

int VNAPI Mixer_GetMuteState() {
    if (!g_mixer.ready) return 0;
    MIXERCONTROLDETAILS_BOOLEAN value{};
    if (ReadMute(&value) != MMSYSERR_NOERROR) return 0;
    return value.fValue ? 1 : 0;
}

int VNAPI Mixer_SetMuteState(int muted) {
    if (!g_mixer.ready) return 0;
    MIXERCONTROLDETAILS_BOOLEAN value{};
    ReadMute(&value);
    value.fValue = muted;
    WriteMute(&value);
    return 0;
}

int VNAPI Mixer_ToggleMute() {
    if (!g_mixer.ready) return 0;
    MIXERCONTROLDETAILS_BOOLEAN value{};
    MMRESULT rc = ReadMute(&value);
    if (rc != MMSYSERR_NOERROR) return static_cast<int>(rc);
    value.fValue = value.fValue ? 0 : 1;
    return static_cast<int>(WriteMute(&value));
}

int VNAPI Mixer_StartVolumeIncrease() {
    if (!g_mixer.ready) return 1;
    Mixer_SetMuteState(0);
    StepVolume(kDefaultStep, true);
    StartRamp(true);
    return 1;
}

int VNAPI Mixer_StartVolumeDecrease() {
    if (!g_mixer.ready) return 1;
    Mixer_SetMuteState(0);
    StepVolume(kDefaultStep, false);
    StartRamp(false);
    return 1;
}

int VNAPI Mixer_StopVolumeIncrease() {
    StopRamp();
    return 1;
}

int VNAPI Mixer_StopVolumeDecrease() {
    StopRamp();
    return 1;
}

}  // extern "C"
