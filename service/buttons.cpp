// Button dispatch: the user's button record, else the key's predefined function, with feedback
// on the on-screen display.
#include <cstring>

#include "service/daemon.h"
#include "service/itemlist.h"
#include "service/keytable.h"

namespace vnd {
namespace {

constexpr unsigned kDrawFormat = 0x2A;  // DT_RIGHT | DT_BOTTOM | DT_SINGLELINE
constexpr int kSwRestore = 1, kSwMinimize = 6;
constexpr unsigned kEmail = 0x018A, kMediaSelect = 0x0091, kPlayPause = 0x00CD;
constexpr unsigned kVolumeDown = 0x00EA, kVolumeUp = 0x00E9, kMute = 0x00E2;

bool IsMediaKey(unsigned code) {
    switch (code) {
    case 0x00EA: case 0x00E9: case 0x00B5: case 0x00B6: case 0x00CD: case 0x00B7: case 0x00E2: case 0x0091:
        return true;
    default:
        return false;
    }
}

}  // namespace

void Daemon::ShowText(const char* text) {
    int w = 0, h = 0;
    p_.host.ScreenSize(&w, &h);
    p_.display.ShowString(text, 0, 0, w - 40, h - 40, kDrawFormat);
}

bool Daemon::WmpWindow(Window* window) {
    *window = p_.host.FindTopWindow("WMPlayerApp", nullptr);
    if (!*window) *window = p_.host.FindTopWindow("MMFRAME_MAIN", nullptr);
    return *window != nullptr;
}

LaunchRecord* Daemon::FindLaunchRecord(unsigned code) {
    for (LaunchRecord& r : records_)
        if (r.code == code) return &r;
    for (LaunchRecord& r : records_)
        if (r.code == 0) {
            r = LaunchRecord();
            r.code = code;
            return &r;
        }
    return nullptr;
}

void Daemon::ButtonDispatch(int osType, unsigned code, int make) {
    // The release of the key that started the volume repeat ends it, whatever a reload has
    // switched off meanwhile.
    if (!make && code == volumeKey_) StopVolumeRepeat();
    struct ReleaseAtEnd {
        Daemon* daemon;
        bool due;
        ~ReleaseAtEnd() {
            if (due) daemon->ReleaseHeldFunction();
        }
    } releaseAtEnd{this, !make && code == heldKey_};
    dispatching_ = code;
    if (code == kEmail) {
        if (Window w = p_.host.FindTopWindow("KRHSPOSD_CLASS", nullptr)) p_.host.Post(w, kMailSeen, 0, 0);
        StopMailBlink();
    }
    std::string funcName;
    if (!p_.keyfunc.FuncName(code, &funcName)) return;
    char section[32];
    ButtonSection(code, section);
    LaunchRecord* record = FindLaunchRecord(code);
    int result = RunButtonRecord(section, osdFlag_, make, record);
    if (result == -1) {
        StartWizard();
        return;
    }
    if (result == 1) return;
    if (osType >= 1 && osType <= 3) return;

    if (IsMediaKey(code)) {
        KeyFeedback(code, make, osdFlag_);
        if (!make) return;
        Window wmp = nullptr;
        switch (code) {
        case kMediaSelect:
            if (WmpWindow(&wmp)) p_.host.ShowWindow(wmp, p_.host.IsMinimized(wmp) ? kSwRestore : kSwMinimize);
            else p_.keyfunc.CallHIDFunction(code, make);
            break;
        case kPlayPause:
            if (!WmpWindow(&wmp)) p_.keyfunc.CallHIDFunction(code, make);
            break;
        case 0x00B5: case 0x00B6:
            p_.keyfunc.ActivePlayer();
            break;
        case kVolumeDown: case kVolumeUp:
            if (p_.keyfunc.MixerMuted()) p_.keyfunc.MixerSetMute(0);
            break;
        default:
            break;
        }
        return;
    }
    if (code == 0x0224 || code == 0x0225) {
        KeyFeedback(code, make, osdFlag_);
        return;
    }
    if (!keyreachFlag_) return;
    KeyFeedback(code, make, osdFlag_);
    if (p_.keyfunc.CallHIDFunction(code, make) == 0) StartWizard();
}

bool Daemon::TryEarlierInstance(const LaunchRecord* record, int kind, const std::string& command,
                                const std::string& parameters) {
    return record && record->kind == kind && record->command == command && record->parameters == parameters &&
           record->processId != 0 && p_.keyfunc.ActivateWindowByProcessId(record->processId, 1);
}

int Daemon::RunButtonRecord(const char* section, bool feedback, int make, LaunchRecord* record) {
    int kind = 0;
    if (!p_.keyfunc.GetNumber(section, "ActionType", &kind)) return 0;
    if (!keyreachFlag_) return 1;
    std::string command;
    p_.keyfunc.GetString(section, "ActionCommand", &command);
    if (make == 0 && kind != 4) return 1;
    std::string label;
    if (feedback && p_.keyfunc.GetString(section, "DisplayName", &label)) {
        if (!label.empty()) ShowText(label.c_str());
        feedback = false;
    }
    switch (kind) {
    case 0:
        return 0;
    case 1:
    case 7: {
        std::string params;
        p_.keyfunc.GetString(section, "ActionParam1", &params);
        if (TryEarlierInstance(record, kind, command, params)) return 1;
        if (record) {
            record->kind = kind;
            record->processId = 0;
            record->command = command;
            record->parameters = params;
        }
        if (!p_.keyfunc.LaunchProgram(command.c_str(), params.c_str(), record ? &record->processId : nullptr))
            return -1;
        if (record && record->processId == 0) p_.host.Beep();
        return 1;
    }
    case 2:
        return p_.keyfunc.LaunchProgram(command.c_str(), nullptr, nullptr) ? 1 : -1;
    case 3: {
        std::string path;
        if (!p_.keyfunc.FindProgramPath(command.c_str(), &path)) return -1;
        if (TryEarlierInstance(record, kind, path, std::string())) return 1;
        if (record) {
            record->kind = kind;
            record->processId = 0;
            record->command = path;
            record->parameters.clear();
        }
        return p_.keyfunc.LaunchProgram(path.c_str(), nullptr, record ? &record->processId : nullptr) ? 1 : -1;
    }
    case 4: {
        unsigned code = p_.keyfunc.UsageCode(command.c_str());
        if (code != 0) {
            if (feedback) KeyFeedback(code, make, true);
        } else {
            std::string desc;
            if (feedback && p_.keyfunc.FuncDescFromName(command.c_str(), &desc) && !desc.empty()) ShowText(desc.c_str());
        }
        if (!make && heldKey_ == dispatching_) {
            ReleaseHeldFunction();
            return 1;
        }
        if (make) {
            if (heldKey_ != dispatching_) ReleaseHeldFunction();  // one held function at a time
            heldKey_ = dispatching_;
            heldUsage_ = code;
            heldFunction_ = command;
        }
        if (code != 0)
            p_.keyfunc.CallHIDFunction(code, make);
        else
            p_.keyfunc.CallPredefinedFunction(command.c_str(), make);
        return 1;
    }
    case 5: {
        char parent[32];
        ParentSection(section, parent, sizeof parent);
        Window target = LookupWindow(parent);
        if (!target) return -1;
        int message = 0, wParam = 0, lParam = 0;
        if (!p_.keyfunc.GetNumber(section, "ActionCommand", &message)) return -1;
        p_.keyfunc.GetNumber(section, "ActionParam1", &wParam);
        p_.keyfunc.GetNumber(section, "ActionParam2", &lParam);
        // The stored numbers are 32-bit: wParam travels unsigned, lParam signed, as on 32-bit Windows.
        p_.host.Send(target, static_cast<unsigned>(message), static_cast<unsigned>(wParam), lParam);
        return 1;
    }
    case 6: {
        int size = p_.keyfunc.GetBinarySize(section, "ActionCommand");
        if (size <= 0 || size > kMaxItemListBytes) return -1;
        std::vector<unsigned char> bytes;
        if (!p_.keyfunc.GetBinary(section, "ActionCommand", &bytes)) return -1;
        // A damaged list would send the shell reading past the value: such a record counts as failed.
        if (!IsWellFormedItemList(bytes.data(), bytes.size())) return -1;
        p_.host.OpenItemList(bytes);
        return 1;
    }
    default:
        return -1;
    }
}

Window Daemon::LookupWindow(const char* section) {
    int find = 0;
    if (p_.keyfunc.GetBool(section, "FindWindow", &find) && find) {
        std::string cls, title;
        bool hasClass = p_.keyfunc.GetString(section, "ClassName", &cls);
        bool hasTitle = p_.keyfunc.GetString(section, "WindowName", &title);
        if (Window w = p_.host.FindTopWindow(hasClass ? cls.c_str() : nullptr, hasTitle ? title.c_str() : nullptr))
            return w;
    }
    int kind = 0;
    if (!p_.keyfunc.GetNumber(section, "ActionType", &kind)) return nullptr;
    std::string command, path;
    p_.keyfunc.GetString(section, "ActionCommand", &command);
    if (kind == 1) {
        path = command;
    } else if (kind == 3) {
        std::string found;
        if (!p_.keyfunc.FindProgramPath(command.c_str(), &found)) return nullptr;
        p_.keyfunc.LinkTarget(found.c_str(), &path);
    }
    if (path.empty()) return nullptr;
    return p_.keyfunc.FindWindowByPath(path.c_str());
}

void Daemon::KeyFeedback(unsigned code, int make, bool feedback) {
    if (!feedback) return;
    p_.display.KeepShowing(make ? 1 : 0);
    if (code == kVolumeUp || code == kVolumeDown) {
        if (osdFlag_) p_.display.ShowVolume(static_cast<int>(p_.keyfunc.MixerVolume()), 24);
        if (make && !volumeTimer_) {
            volumeTimer_ = p_.host.StartTimer(Timer::VolumeRepeat, 100);
            volumeKey_ = dispatching_;
        } else if (!make) {
            StopVolumeRepeat();
        }
        return;
    }
    if (!make) return;
    if (code == kMute) {
        p_.display.ShowMuteIcon(p_.keyfunc.MixerMuted() ? 0 : 1);
        return;
    }
    std::string desc;
    if (p_.keyfunc.FuncDesc(code, &desc) && !desc.empty()) ShowText(desc.c_str());
}

void Daemon::ReleaseHeldFunction() {
    if (!heldKey_) return;
    heldKey_ = 0;
    if (heldUsage_ != 0)
        p_.keyfunc.CallHIDFunction(heldUsage_, 0);
    else
        p_.keyfunc.CallPredefinedFunction(heldFunction_.c_str(), 0);
}

void Daemon::StopVolumeRepeat() {
    if (!volumeTimer_) return;
    p_.host.StopTimer(Timer::VolumeRepeat);
    volumeTimer_ = false;
}

void Daemon::Hotkey01(int make) {
    if (!make) return;
    std::string path;
    if (p_.host.ReadHotkeyCommand(&path) && !path.empty() && p_.host.FileExists(path.c_str()) &&
        p_.host.StartProcess(path.c_str()))
        return;
    p_.keyfunc.LaunchSystemInfo();
}

}  // namespace vnd
