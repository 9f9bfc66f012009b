#include "service/ports_real.h"

#include <windows.h>

#include "common/text.h"
#include "hidkbd/vnusbkbd.h"
#include "keyfunc/vnutil.h"
#include "osd/vnosd.h"
#include "standins/vnhooks/vnhooks.h"

namespace vnd {
namespace {

HWND H(Window w) { return static_cast<HWND>(w); }

// The keyboards this service serves.
const VnHidDeviceEntry kDevices[] = {
    {0x2A7E, 0x5A01, "Kalvo USB Tessaro Keyboard", "Kalvo"},
    {0x2A7E, 0x5A02, "Kalvo USB Tessaro Keyboard", "Kalvo"},
};

class Keyboard : public KeyboardPort {
public:
    int Init(Window mainWindow) override { return VnHidInit(H(mainWindow), kDevices, 2) != 0; }
    void Close() override { VnHidClose(); }
    void DeviceChange(std::uintptr_t wParam, std::intptr_t lParam) override { VnHidDeviceChangeHandler(wParam, lParam); }
    void UnregisterHandle(std::uintptr_t wParam, std::intptr_t lParam) override {
        VnHidUnregisterHandleHandler(wParam, lParam);
    }
    int NumberDevices() override { return VnHidGetNumberDevices(); }
    int OSType() override { return VnHidGetOSType(); }
    void SetLED(int usage, int on) override { VnHidSetLED(static_cast<USHORT>(usage), on); }
};

class Display : public DisplayPort {
public:
    void Init() override { OSD_Init(); }
    void Destroy() override { OSD_Destroy(); }
    void LoadSettings() override { OSD_LoadSettings(); }
    void ShowString(const char* text, int left, int top, int right, int bottom, unsigned format) override {
        RECT r{left, top, right, bottom};
        OSD_ShowString(text, &r, format);
    }
    void ShowVolume(int level, int bars) override { OSD_ShowVolume(level, bars); }
    void ShowMuteIcon(int flag) override { OSD_ShowMuteIcon(flag); }
    void KeepShowing(int flag) override { OSD_KeepShowing(flag); }
};

class Hook : public HookPort {
public:
    void KeyboardHook(Window window, unsigned message, int mode) override { VNHK_LLKB(H(window), message, mode); }
    void SetFilter(int filter) override { VNHK_LLKB_SetFilter(filter); }
    void ScreenPowerHook(Window window, unsigned message) override { EnableScreenPowerHook(H(window), message); }
    void UserInputHook(Window window, unsigned message) override { EnableUserInputHook(H(window), message); }
};

class KeyFunc : public KeyFuncPort {
public:
    void InitProfile(const char* root, const char* userName) override { Reg_InitProfile(root, userName); }
    bool GetNumber(const char* section, const char* name, int* value) override {
        return Reg_GetProfileNumber(section, name, value, 0) != 0;
    }
    bool GetBool(const char* section, const char* name, int* value) override {
        return Reg_GetProfileBool(section, name, value, 0) != 0;
    }
    bool GetString(const char* section, const char* name, std::string* text) override {
        char buffer[vn::kMaxText] = "";
        if (!Reg_GetProfileString(section, name, buffer, sizeof buffer, nullptr)) return false;
        *text = buffer;
        return true;
    }
    int GetBinarySize(const char* section, const char* name) override {
        int size = 0;
        return Reg_GetProfileBinary(section, name, nullptr, &size, nullptr, 0) ? size : -1;
    }
    bool GetBinary(const char* section, const char* name, std::vector<unsigned char>* bytes) override {
        int size = GetBinarySize(section, name);
        if (size <= 0) return false;
        bytes->assign(static_cast<size_t>(size), 0);
        if (!Reg_GetProfileBinary(section, name, bytes->data(), &size, nullptr, 0)) return false;
        bytes->resize(static_cast<size_t>(size));
        return true;
    }
    void SetNumber(const char* section, const char* name, int value) override { Reg_SetProfileNumber(section, name, value); }

    bool FuncName(unsigned code, std::string* name) override { return Text(GetHIDFuncName, code, name); }
    bool FuncDesc(unsigned code, std::string* desc) override { return Text(GetHIDFuncDesc, code, desc); }
    unsigned UsageCode(const char* funcName) override { return GetHIDUsageCode(funcName); }
    bool FuncDescFromName(const char* funcName, std::string* desc) override {
        char buffer[vn::kMaxText] = "";
        if (!GetFuncDescNameFromFuncName(funcName, buffer, sizeof buffer)) return false;
        *desc = buffer;
        return true;
    }
    int CallHIDFunction(unsigned code, int eventKind) override { return CallHIDButtonFunction(code, eventKind, nullptr); }
    int CallPredefinedFunction(const char* funcName, int eventKind) override {
        return CallPredefinedButtonFunction(funcName, eventKind);
    }
    void ActivePlayer() override { ::ActivePlayer(); }

    void MixerInit(Window window) override { Mixer_Init(H(window)); }
    unsigned long MixerVolume() override {
        DWORD volume = 0;
        Mixer_GetVolume(&volume);
        return volume;
    }
    bool MixerMuted() override { return Mixer_GetMuteState() == 1; }
    void MixerSetMute(int muted) override { Mixer_SetMuteState(muted); }
    void OpenCDAudio() override { AudioCD_OpenCDAudio(nullptr); }

    bool LaunchProgram(const char* command, const char* parameters, unsigned long* processId) override {
        DWORD pid = 0;
        bool ok = ::LaunchProgram(command, parameters, nullptr, processId ? &pid : nullptr) != 0;
        if (processId) *processId = pid;
        return ok;
    }
    bool FindProgramPath(const char* name, std::string* path) override {
        char buffer[vn::kMaxText] = "";
        if (!::FindProgramPath(name, nullptr, buffer) || !buffer[0]) return false;
        *path = buffer;
        return true;
    }
    bool LinkTarget(const char* linkPath, std::string* target) override {
        char buffer[vn::kMaxText] = "";
        if (GetLinkInfo(nullptr, linkPath, buffer, nullptr) < 0) return false;
        *target = buffer;
        return true;
    }
    void LaunchSystemInfo() override { ::LaunchSystemInfo(); }
    bool ActivateWindowByProcessId(unsigned long processId, int toggle) override {
        return ::ActivateWindowByProcessId(processId, toggle) != 0;
    }
    Window FindWindowByPath(const char* path) override { return ::FindWindowByPath(path); }

private:
    static bool Text(int(VNAPI* lookup)(DWORD, char*, int), unsigned code, std::string* out) {
        char buffer[vn::kMaxText] = "";
        if (!lookup(code, buffer, sizeof buffer)) return false;
        *out = buffer;
        return true;
    }
};

}  // namespace

KeyboardPort& RealKeyboard() {
    static Keyboard port;
    return port;
}
DisplayPort& RealDisplay() {
    static Display port;
    return port;
}
HookPort& RealHook() {
    static Hook port;
    return port;
}
KeyFuncPort& RealKeyFunc() {
    static KeyFunc port;
    return port;
}

}  // namespace vnd
