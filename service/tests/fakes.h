// In-process fakes of the service's ports: every call lands in one shared log, so tests can check
// both what was asked and in which order.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "service/ports.h"

namespace vnd::test {

struct Log {
    std::vector<std::string> lines;
    void add(const std::string& s) { lines.push_back(s); }
    bool has(const std::string& s) const {
        for (auto& l : lines)
            if (l == s) return true;
        return false;
    }
    int count(const std::string& s) const {
        int n = 0;
        for (auto& l : lines) n += l == s;
        return n;
    }
    int index(const std::string& s) const {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == s) return static_cast<int>(i);
        return -1;
    }
    void clear() { lines.clear(); }
};

inline std::string Fmt(const char* f, ...) {
    char b[600];
    va_list a;
    va_start(a, f);
    std::vsnprintf(b, sizeof b, f, a);
    va_end(a);
    return b;
}

struct FakeKeyboard : KeyboardPort {
    Log& log;
    int initResult = 1, devices = 1, os = 6;
    explicit FakeKeyboard(Log& l) : log(l) {}
    int Init(Window) override { log.add("hid.init"); return initResult; }
    void Close() override { log.add("hid.close"); }
    void DeviceChange(std::uintptr_t w, std::intptr_t l) override { log.add(Fmt("hid.change %d %d", (int)w, (int)l)); }
    void UnregisterHandle(std::uintptr_t w, std::intptr_t l) override { log.add(Fmt("hid.unreg %d %d", (int)w, (int)l)); }
    int NumberDevices() override { return devices; }
    int OSType() override { return os; }
    void SetLED(int usage, int on) override { log.add(Fmt("led %x %d", usage, on)); }
};

struct FakeDisplay : DisplayPort {
    Log& log;
    explicit FakeDisplay(Log& l) : log(l) {}
    void Init() override { log.add("osd.init"); }
    void Destroy() override { log.add("osd.destroy"); }
    void LoadSettings() override { log.add("osd.load"); }
    void ShowString(const char* t, int l, int tp, int r, int b, unsigned f) override {
        log.add(Fmt("osd.text %s", t));
        log.add(Fmt("osd.rect %d %d %d %d %x", l, tp, r, b, f));
    }
    void ShowVolume(int level, int bars) override { log.add(Fmt("osd.volume %d %d", level, bars)); }
    void ShowMuteIcon(int flag) override { log.add(Fmt("osd.mute %d", flag)); }
    void KeepShowing(int flag) override { log.add(Fmt("osd.keep %d", flag)); }
};

struct FakeHook : HookPort {
    Log& log;
    explicit FakeHook(Log& l) : log(l) {}
    void KeyboardHook(Window w, unsigned m, int mode) override { log.add(Fmt("hook.llkb %d %x %d", w != nullptr, m, mode)); }
    void SetFilter(int f) override { log.add(Fmt("hook.filter %d", f)); }
    void ScreenPowerHook(Window w, unsigned m) override { log.add(Fmt("hook.power %d %u", w != nullptr, m)); }
    void UserInputHook(Window w, unsigned m) override { log.add(Fmt("hook.input %d %u", w != nullptr, m)); }
};

// A settings value: number, text or bytes.
struct Value {
    enum Kind { Number, Text, Bytes } kind = Number;
    int number = 0;
    std::string text;
    std::vector<unsigned char> bytes;
};

struct FakeKeyFunc : KeyFuncPort {
    Log& log;
    std::map<std::string, std::map<std::string, Value>> store;
    std::map<unsigned, std::string> names{{0x8002, "LockDesktop"}, {0x8001, "MyDocuments"}, {0x8003, "Word"}, {0x8004, "Excel"}, {0x0192, "Calculator"},
                                          {0x018A, "Email"}, {0x0223, "WWW"}, {0x00EA, "VolumeDown"},
                                          {0x00E9, "VolumeUp"}, {0x00B5, "NextTrack"}, {0x00B6, "PrevTrack"},
                                          {0x00B7, "CDStop"}, {0x00CD, "PlayPause"}, {0x00E2, "Mute"},
                                          {0x0091, "MediaSelect"}, {0x0224, "Back"}, {0x0225, "Forward"}};
    std::map<std::string, std::string> programs;  // FindProgramPath
    std::map<std::string, std::string> links;     // LinkTarget
    std::map<std::string, Window> windowsByPath;
    bool launchOk = true, hidOk = true, muted = false, activateOk = true;
    unsigned long nextPid = 100;
    unsigned long volume = 30000;

    explicit FakeKeyFunc(Log& l) : log(l) {}
    void Num(const std::string& s, const std::string& n, int v) { store[s][n] = Value{Value::Number, v, {}, {}}; }
    void Str(const std::string& s, const std::string& n, const std::string& t) { store[s][n] = Value{Value::Text, 0, t, {}}; }
    void Bin(const std::string& s, const std::string& n, std::vector<unsigned char> b) {
        store[s][n] = Value{Value::Bytes, 0, {}, std::move(b)};
    }
    const Value* Find(const char* s, const char* n) {
        auto a = store.find(s);
        if (a == store.end()) return nullptr;
        auto b = a->second.find(n);
        return b == a->second.end() ? nullptr : &b->second;
    }

    void InitProfile(const char* root, const char* user) override { log.add(Fmt("profile %s|%s", root, user)); }
    bool GetNumber(const char* s, const char* n, int* v) override {
        const Value* x = Find(s, n);
        if (!x) return false;
        if (x->kind == Value::Number) { *v = x->number; return true; }
        if (x->kind == Value::Text && !x->text.empty()) { *v = std::atoi(x->text.c_str()); return true; }
        return false;
    }
    bool GetBool(const char* s, const char* n, int* v) override { return GetNumber(s, n, v); }
    bool GetString(const char* s, const char* n, std::string* t) override {
        const Value* x = Find(s, n);
        if (!x || x->kind != Value::Text || x->text.size() >= 260) return false;
        *t = x->text;
        return true;
    }
    int GetBinarySize(const char* s, const char* n) override {
        const Value* x = Find(s, n);
        if (!x) return -1;
        return static_cast<int>(x->kind == Value::Bytes ? x->bytes.size() : x->kind == Value::Text ? x->text.size() + 1 : 4);
    }
    bool GetBinary(const char* s, const char* n, std::vector<unsigned char>* b) override {
        const Value* x = Find(s, n);
        if (!x || x->kind != Value::Bytes) return false;
        *b = x->bytes;
        return true;
    }
    void SetNumber(const char* s, const char* n, int v) override {
        log.add(Fmt("set %s|%s=%d", s, n, v));
        Num(s, n, v);
    }
    bool FuncName(unsigned c, std::string* n) override {
        auto i = names.find(c);
        if (i == names.end()) return false;
        *n = i->second;
        return true;
    }
    bool FuncDesc(unsigned c, std::string* d) override {
        auto i = names.find(c);
        if (i == names.end()) return false;
        *d = "desc " + i->second;
        return true;
    }
    unsigned UsageCode(const char* name) override {
        for (auto& [c, n] : names)
            if (n == name && c < 0x8000) return c;
        return 0;
    }
    bool FuncDescFromName(const char* name, std::string* d) override {
        for (auto& [c, n] : names)
            if (n == name) { *d = "desc " + n; return true; }
        return false;
    }
    int CallHIDFunction(unsigned c, int e) override { log.add(Fmt("hid.call %x %d", c, e)); return hidOk; }
    int CallPredefinedFunction(const char* n, int e) override { log.add(Fmt("predef %s %d", n, e)); return 1; }
    void ActivePlayer() override { log.add("activeplayer"); }
    void MixerInit(Window) override { log.add("mixer.init"); }
    unsigned long MixerVolume() override { return volume; }
    bool MixerMuted() override { return muted; }
    void MixerSetMute(int m) override { log.add(Fmt("mixer.mute %d", m)); muted = m; }
    void OpenCDAudio() override { log.add("cd.open"); }
    bool LaunchProgram(const char* c, const char* p, unsigned long* pid) override {
        log.add(Fmt("launch %s|%s|%d", c, p ? p : "(null)", pid != nullptr));
        if (!launchOk || !*c) return false;
        if (pid) *pid = nextPid;
        return true;
    }
    bool FindProgramPath(const char* n, std::string* path) override {
        auto i = programs.find(n);
        if (i == programs.end()) return false;
        *path = i->second;
        return true;
    }
    bool LinkTarget(const char* l, std::string* t) override {
        auto i = links.find(l);
        if (i == links.end()) return false;
        *t = i->second;
        return true;
    }
    void LaunchSystemInfo() override { log.add("sysinfo"); }
    bool ActivateWindowByProcessId(unsigned long pid, int toggle) override {
        log.add(Fmt("activate %lu %d", pid, toggle));
        return activateOk;
    }
    Window FindWindowByPath(const char* p) override {
        auto i = windowsByPath.find(p);
        return i == windowsByPath.end() ? nullptr : i->second;
    }
};

struct FakeHost : HostPort {
    Log& log;
    std::map<std::string, Window> windows;  // "class|title"
    std::map<Window, bool> minimized;
    bool timersOk = true;
    std::map<int, bool> timers;
    std::string hotkey;
    bool hotkeyPresent = false, fileExists = true, startOk = true;
    explicit FakeHost(Log& l) : log(l) {}
    Window FindTopWindow(const char* c, const char* t) override {
        for (auto& [k, w] : windows) {
            auto bar = k.find('|');
            if ((!c || k.substr(0, bar) == c) && (!t || k.substr(bar + 1) == t)) return w;
        }
        return nullptr;
    }
    void Post(Window w, unsigned m, std::uintptr_t wp, std::intptr_t lp) override {
        log.add(Fmt("post %p %x %d %d", w, m, (int)wp, (int)lp));
    }
    void Send(Window w, unsigned m, std::uintptr_t wp, std::intptr_t lp) override {
        log.add(Fmt("send %p %x %d %d", w, m, (int)wp, (int)lp));
    }
    bool IsMinimized(Window w) override { return minimized[w]; }
    void ShowWindow(Window w, int cmd) override { log.add(Fmt("show %p %d", w, cmd)); }
    bool StartTimer(Timer t, unsigned ms) override {
        log.add(Fmt("timer.start %d %u", (int)t, ms));
        timers[(int)t] = timersOk;
        return timersOk;
    }
    void StopTimer(Timer t) override { log.add(Fmt("timer.stop %d", (int)t)); timers[(int)t] = false; }
    void Beep() override { log.add("beep"); }
    void ScreenSize(int* w, int* h) override { *w = 1024; *h = 768; }
    void OpenItemList(const std::vector<unsigned char>& b) override { log.add(Fmt("shell.open %d", (int)b.size())); }
    bool ReadHotkeyCommand(std::string* p) override { *p = hotkey; return hotkeyPresent; }
    bool FileExists(const char*) override { return fileExists; }
    bool StartProcess(const char* p) override { log.add(Fmt("process %s", p)); return startOk; }
};

struct FakeTray : TrayPort {
    Log& log;
    bool hidden = false;
    explicit FakeTray(Log& l) : log(l) {}
    bool Hidden() override { return hidden; }
    void Show() override { log.add("tray.show"); hidden = false; }
    void Hide() override { log.add("tray.hide"); hidden = true; }
};

// All fakes and a service over them.
struct Bed {
    Log log;
    FakeKeyboard keyboard{log};
    FakeDisplay display{log};
    FakeHook hook{log};
    FakeKeyFunc keyfunc{log};
    FakeHost host{log};
    FakeTray tray{log};
    Ports ports{keyboard, display, hook, keyfunc, host, tray};
};

}  // namespace vnd::test
