// The narrow interface between the volume functions and the platform's mixer, so that tests can
// run them against a scripted device. The default is the system's WINMM mixer.
#pragma once
#include <windows.h>

#include <mmsystem.h>

namespace vn {

class MixerDevice {
public:
    virtual ~MixerDevice() = default;
    virtual UINT DeviceCount() = 0;
    // Opens device `id` with `notify` as the CALLBACK_WINDOW target of change notifications.
    virtual MMRESULT Open(HMIXER* mixer, UINT id, HWND notify) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;
    virtual MMRESULT LineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) = 0;
    virtual MMRESULT LineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) = 0;
    virtual MMRESULT GetDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
    virtual MMRESULT SetDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
};

// Replaces the device used from the next Mixer_Init on (null: the system's mixer again). The
// mixer opened on the old device is closed, so volume calls do nothing until Mixer_Init.
void UseMixerDevice(MixerDevice* device);

// The running volume ramp timer, 0 when none (for tests).
UINT_PTR MixerRampTimer();

}  // namespace vn
