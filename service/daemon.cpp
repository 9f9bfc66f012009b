#include "service/daemon.h"

#include "service/keytable.h"

namespace vnd {
namespace {

constexpr const char* kRoot = "Software\\OSTRL_KBD\\Productivity";
constexpr unsigned kPbtSuspend = 4, kPbtResumeCritical = 6, kPbtResumeSuspend = 7;
constexpr unsigned kConsoleConnect = 1, kConsoleDisconnect = 2;
constexpr unsigned kWmClose = 0x0010;

int NumberOr(KeyFuncPort& kf, const char* section, const char* name, int fallback) {
    int v = fallback;
    return kf.GetNumber(section, name, &v) ? v : fallback;
}

}  // namespace

Daemon::Daemon(const Ports& ports, Window mainWindow) : p_(ports), main_(mainWindow) {}

bool Daemon::Start(const char* userName) {
    p_.keyfunc.InitProfile(kRoot, userName ? userName : "");
    if (!p_.keyboard.Init(main_)) return false;
    int os = p_.keyboard.OSType();
    if (os >= 1 && os <= 4) p_.keyfunc.OpenCDAudio();
    p_.keyfunc.MixerInit(main_);
    p_.display.Init();
    p_.display.LoadSettings();
    if (p_.keyboard.NumberDevices() != 0) {
        hideFlag_ = NumberOr(p_.keyfunc, "SysTrayIcon", "Hide", 0);
        if (hideFlag_) p_.tray.Hide();
        else p_.tray.Show();
    } else {
        p_.tray.Hide();
    }
    p_.hook.ScreenPowerHook(main_, kScreenPowerMessage);
    p_.hook.KeyboardHook(main_, kMsgKeyEvent, 1);
    ReloadSettings();
    return true;
}

void Daemon::ReloadSettings() {
    p_.display.LoadSettings();
    osdFlag_ = NumberOr(p_.keyfunc, "Buttons", "OSDEnable", 1) != 0;
    keyreachFlag_ = NumberOr(p_.keyfunc, "Buttons", "KRHEnable", 1) != 0;
    p_.hook.SetFilter(NumberOr(p_.keyfunc, "Buttons", "INavEnable", 1) == 0 ? 1 : 0);
}

void Daemon::KeyEvent(std::uintptr_t wParam, std::intptr_t lParam) {
    int os = p_.keyboard.OSType();
    unsigned value = static_cast<unsigned>(lParam);
    unsigned page = value >> 16, usage = value & 0xFFFF;
    if (page != 0x0009 && page != 0x000C) return;
    // Only 1 and 0 are make and break; anything else from a foreign poster counts as a make.
    int make = wParam != 0 ? 1 : 0;
    if (usage == 1) {
        Hotkey01(make);
        return;
    }
    ButtonDispatch(os, FunctionCodeForUsage(usage), make);
}

void Daemon::ReevaluateTray() {
    if (p_.keyboard.NumberDevices() != 0) {
        if (p_.tray.Hidden() && hideFlag_ == 0) p_.tray.Show();
    } else if (!p_.tray.Hidden()) {
        p_.tray.Hide();
    }
}

void Daemon::DeviceChange(std::uintptr_t wParam, std::intptr_t lParam) {
    p_.keyboard.DeviceChange(wParam, lParam);
    ReevaluateTray();
}

void Daemon::CloseMailNotifier() {
    Window w = LookupWindow("Application\\Message Notify");
    if (!w) w = p_.host.FindTopWindow("VNSmailD", "VNSmailD");
    if (w) p_.host.Post(w, kWmClose, 0, 0);
}

void Daemon::Detach() {
    p_.hook.ScreenPowerHook(nullptr, 0);
    p_.hook.UserInputHook(nullptr, 0);
    p_.hook.KeyboardHook(nullptr, 0, 0);
    p_.tray.Hide();
    CloseMailNotifier();
    p_.display.Destroy();
    p_.keyboard.Close();
}

void Daemon::Attach() {
    p_.keyboard.Init(main_);
    int os = p_.keyboard.OSType();
    if (os >= 1 && os <= 4) p_.keyfunc.OpenCDAudio();
    p_.display.Init();
    ReevaluateTray();
    p_.hook.ScreenPowerHook(main_, kScreenPowerMessage);
}

void Daemon::SessionChange(std::uintptr_t event, std::intptr_t sessionId) {
    if (static_cast<unsigned long>(sessionId) != ownSession_) return;
    if (event == kConsoleConnect) Attach();
    else if (event == kConsoleDisconnect) Detach();
}

void Daemon::Power(std::uintptr_t event) {
    int os = p_.keyboard.OSType();
    if (event == kPbtSuspend) {
        p_.keyboard.SetLED(kLedStandby, 1);
        if (os == 2) Detach();
    } else if (event == kPbtResumeCritical || event == kPbtResumeSuspend) {
        StartStandbyBlink();
        if (os == 2) Attach();
    }
}

void Daemon::StartStandbyBlink() {
    if (standbyTimer_) return;
    p_.keyboard.SetLED(kLedStandby, 1);
    standbyState_ = 1;
    standbyTimer_ = p_.host.StartTimer(Timer::StandbyBlink, 1000);
}

void Daemon::SwitchMailLed(int on) {
    if (Window w = p_.host.FindTopWindow("KRHSPOSD_CLASS", nullptr)) p_.host.Post(w, on ? kMailLedOn : kMailLedOff, 0, 0);
    p_.keyboard.SetLED(kLedMessageWaiting, on);
}

void Daemon::MailStatus(std::uintptr_t waiting) {
    if (waiting == 0) {
        if (Window w = p_.host.FindTopWindow("KRHSPOSD_CLASS", nullptr)) p_.host.Post(w, kMailSeen, 0, 0);
        StopMailBlink();
        return;
    }
    if (mailTimer_) return;
    SwitchMailLed(1);
    mailState_ = 1;
    mailTimer_ = p_.host.StartTimer(Timer::MailBlink, 1000);
}

void Daemon::StopMailBlink() {
    if (!mailTimer_) return;
    p_.host.StopTimer(Timer::MailBlink);
    mailTimer_ = false;
    SwitchMailLed(0);
    mailState_ = 0;
}

void Daemon::TimerTick(Timer timer) {
    switch (timer) {
    case Timer::VolumeRepeat:
        if (volumeTimer_) p_.display.ShowVolume(static_cast<int>(p_.keyfunc.MixerVolume()), 24);
        break;
    case Timer::MailBlink:
        if (!mailTimer_) break;
        mailState_ = !mailState_;
        SwitchMailLed(mailState_);
        break;
    case Timer::StandbyBlink:
        if (!standbyTimer_) break;
        if (standbyTicks_ >= 20) {
            p_.host.StopTimer(Timer::StandbyBlink);
            standbyTimer_ = false;
            p_.keyboard.SetLED(kLedStandby, 0);
            standbyState_ = 0;
            standbyTicks_ = 0;
        } else {
            standbyState_ = !standbyState_;
            p_.keyboard.SetLED(kLedStandby, standbyState_);
            ++standbyTicks_;
        }
        break;
    }
}

void Daemon::StartWizard() { p_.keyfunc.LaunchProgram(kWizard, nullptr, nullptr); }

void Daemon::HideIconByUser() {
    if (!p_.tray.Hidden()) p_.tray.Hide();
    p_.keyfunc.SetNumber("SysTrayIcon", "Hide", 1);
    hideFlag_ = 1;
}

void Daemon::ShowIconMessage() {
    if (p_.tray.Hidden()) p_.tray.Show();
    hideFlag_ = 0;
}

void Daemon::HideIconMessage() {
    if (!p_.tray.Hidden()) p_.tray.Hide();
    hideFlag_ = 1;
}

}  // namespace vnd
