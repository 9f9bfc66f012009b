// What the service asks of the libraries it links and of the system, as narrow interfaces. The
// decisions (daemon.cpp, buttons.cpp) talk only to these; the program binds them to the real
// exports and Win32, the tests to in-process fakes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vnd {

using Window = void*;  // a top-level window handle, opaque to the decisions

// VnUsbKbd.dll, bound by ordinal.
class KeyboardPort {
public:
    virtual ~KeyboardPort() = default;
    virtual int Init(Window mainWindow) = 0;  // with the service's device table
    virtual void Close() = 0;
    virtual void DeviceChange(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void UnregisterHandle(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual int NumberDevices() = 0;
    virtual int OSType() = 0;
    virtual void SetLED(int usage, int on) = 0;
};

// VNOSD.dll.
class DisplayPort {
public:
    virtual ~DisplayPort() = default;
    virtual void Init() = 0;
    virtual void Destroy() = 0;
    virtual void LoadSettings() = 0;
    virtual void ShowString(const char* text, int left, int top, int right, int bottom, unsigned format) = 0;
    virtual void ShowVolume(int level, int bars) = 0;
    virtual void ShowMuteIcon(int flag) = 0;
    virtual void KeepShowing(int flag) = 0;
};

// vnhooks.dll.
class HookPort {
public:
    virtual ~HookPort() = default;
    virtual void KeyboardHook(Window window, unsigned message, int mode) = 0;
    virtual void SetFilter(int filter) = 0;
    virtual void ScreenPowerHook(Window window, unsigned message) = 0;
    virtual void UserInputHook(Window window, unsigned message) = 0;
};

// VNUtil.dll: settings store, catalogue, mixer, CD audio, launching and window utilities.
class KeyFuncPort {
public:
    virtual ~KeyFuncPort() = default;
    virtual void InitProfile(const char* root, const char* userName) = 0;
    virtual bool GetNumber(const char* section, const char* name, int* value) = 0;
    // The store's Boolean rules: a text TRUE or FALSE, or the first bytes of a binary value.
    virtual bool GetBool(const char* section, const char* name, int* value) = 0;
    // False when missing or when it does not fit 260 characters.
    virtual bool GetString(const char* section, const char* name, std::string* text) = 0;
    // The stored size of a value (any type), or -1 when missing.
    virtual int GetBinarySize(const char* section, const char* name) = 0;
    virtual bool GetBinary(const char* section, const char* name, std::vector<unsigned char>* bytes) = 0;
    virtual void SetNumber(const char* section, const char* name, int value) = 0;

    virtual bool FuncName(unsigned code, std::string* name) = 0;
    virtual bool FuncDesc(unsigned code, std::string* desc) = 0;
    virtual unsigned UsageCode(const char* funcName) = 0;
    virtual bool FuncDescFromName(const char* funcName, std::string* desc) = 0;
    virtual int CallHIDFunction(unsigned code, int eventKind) = 0;
    virtual int CallPredefinedFunction(const char* funcName, int eventKind) = 0;
    virtual void ActivePlayer() = 0;

    virtual void MixerInit(Window window) = 0;
    virtual unsigned long MixerVolume() = 0;
    virtual bool MixerMuted() = 0;
    virtual void MixerSetMute(int muted) = 0;
    virtual void OpenCDAudio() = 0;

    // processId may be null (no tracking); otherwise it receives the new program's id or 0.
    virtual bool LaunchProgram(const char* command, const char* parameters, unsigned long* processId) = 0;
    virtual bool FindProgramPath(const char* name, std::string* path) = 0;
    virtual bool LinkTarget(const char* linkPath, std::string* target) = 0;
    virtual void LaunchSystemInfo() = 0;
    virtual bool ActivateWindowByProcessId(unsigned long processId, int toggle) = 0;
    virtual Window FindWindowByPath(const char* path) = 0;
};

enum class Timer { VolumeRepeat, MailBlink, StandbyBlink };

// The rest of the system the decisions need: windows, messages, timers, shell, processes.
class HostPort {
public:
    virtual ~HostPort() = default;
    virtual Window FindTopWindow(const char* className, const char* title) = 0;  // null: any
    virtual void Post(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void Send(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool IsMinimized(Window window) = 0;
    virtual void ShowWindow(Window window, int command) = 0;
    virtual bool StartTimer(Timer timer, unsigned ms) = 0;
    virtual void StopTimer(Timer timer) = 0;
    virtual void Beep() = 0;
    virtual void ScreenSize(int* width, int* height) = 0;
    // Opens a checked shell item id list; the shell's own result does not matter.
    virtual void OpenItemList(const std::vector<unsigned char>& itemList) = 0;
    // HOTKEY01: the machine-wide "ActionCommand", when present.
    virtual bool ReadHotkeyCommand(std::string* path) = 0;
    virtual bool FileExists(const char* path) = 0;
    virtual bool StartProcess(const char* path) = 0;
};

// The tray icon as the decisions see it.
class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual bool Hidden() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

struct Ports {
    KeyboardPort& keyboard;
    DisplayPort& display;
    HookPort& hook;
    KeyFuncPort& keyfunc;
    HostPort& host;
    TrayPort& tray;
};

}  // namespace vnd
