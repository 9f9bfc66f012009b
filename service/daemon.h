// The hot-key service's decisions: key intake, button records and actions, the tray visibility
// rules, detach and attach, session, power and the indicator LEDs. All of it runs on the service's
// user-interface thread and reaches the outside only through the ports.
#pragma once
#include <string>

#include "service/ports.h"

namespace vnd {

// Window messages of the service's main window.
enum : unsigned {
    kMsgReleaseNotifyHandle = 0x0401,
    kMsgKeyEvent = 0x0402,
    kMsgTrayCallback = 0x040A,
    kMsgMailStatus = 0x0719,
    kMsgReloadSettings = 0x0730,
    kMsgShowTrayIcon = 0x0731,
    kMsgHideTrayIcon = 0x0732,
};
// Messages to the outside "KRHSPOSD_CLASS" window.
enum : unsigned { kMailLedOn = 0x803D, kMailLedOff = 0x800C, kMailSeen = 0x8263 };
enum : int { kLedMessageWaiting = 0x19, kLedStandby = 0x27 };
constexpr unsigned kScreenPowerMessage = 3481;
constexpr const char* kWizard = "TKCFG.EXE";

struct LaunchRecord {
    unsigned code = 0;  // 0: free
    int kind = 0;
    unsigned long processId = 0;
    std::string command;     // at most 259 characters, as read from the store
    std::string parameters;  // likewise
};

class Daemon {
public:
    Daemon(const Ports& ports, Window mainWindow);

    // Start-up steps from the settings store root to the hooks (the tray icon exists already).
    // False when the keyboard library refuses to start.
    bool Start(const char* userName);
    void ReloadSettings();
    void KeyEvent(std::uintptr_t wParam, std::intptr_t lParam);
    void DeviceChange(std::uintptr_t wParam, std::intptr_t lParam);
    void Detach();
    void Attach();
    void SessionChange(std::uintptr_t event, std::intptr_t sessionId);
    void Power(std::uintptr_t event);
    void MailStatus(std::uintptr_t waiting);
    void TimerTick(Timer timer);

    // Tray commands and wizard messages.
    void StartWizard();
    void HideIconByUser();
    void ShowIconMessage();
    void HideIconMessage();

    void SetOwnSession(unsigned long id) { ownSession_ = id; }

    // The two entry points of the key intake.
    void Hotkey01(int make);
    void ButtonDispatch(int osType, unsigned code, int make);
    // 1 handled, 0 no record, -1 failed.
    int RunButtonRecord(const char* section, bool feedback, int make, LaunchRecord* record);
    Window LookupWindow(const char* section);
    void KeyFeedback(unsigned code, int make, bool feedback);
    void StopMailBlink();

    bool osdFlag() const { return osdFlag_; }
    bool keyreachFlag() const { return keyreachFlag_; }
    int hideFlag() const { return hideFlag_; }
    const LaunchRecord* launchRecords() const { return records_; }
    static constexpr int kLaunchRecords = 64;

private:
    LaunchRecord* FindLaunchRecord(unsigned code);
    bool TryEarlierInstance(const LaunchRecord* record, int kind, const std::string& command,
                            const std::string& parameters);
    void ShowText(const char* text);
    void ReevaluateTray();
    bool WmpWindow(Window* window);
    void CloseMailNotifier();
    void SwitchMailLed(int on);
    void StartStandbyBlink();
    void StopVolumeRepeat();
    void ReleaseHeldFunction();

    Ports p_;
    Window main_;
    bool osdFlag_ = true;
    bool keyreachFlag_ = true;
    int hideFlag_ = 0;
    unsigned long ownSession_ = 0;
    bool volumeTimer_ = false;
    unsigned volumeKey_ = 0;    // the function code whose press started the volume repeat
    unsigned dispatching_ = 0;  // the function code being dispatched
    // The key whose press a record passed on to a key function, and that function: its release
    // goes there even when a reload has switched records off or reassigned the key meanwhile.
    unsigned heldKey_ = 0;
    unsigned heldUsage_ = 0;
    std::string heldFunction_;
    bool standbyTimer_ = false;
    int standbyState_ = 0;
    int standbyTicks_ = 0;
    bool mailTimer_ = false;
    int mailState_ = 0;
    LaunchRecord records_[kLaunchRecords];
};

}  // namespace vnd
