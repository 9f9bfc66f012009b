// Shared setup of the media key tests: discs in the prepared drives R: S: T:, the player
// stand-in program, installed-player registry keys and the media message boxes.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/media.h"
#include "keyfunc/tests/fake_mci.h"

namespace vntest {

// Makes a drive hold the given files (paths relative to its root), or no disc at all.
inline void InsertDisc(char letter, const std::vector<std::string>& files) {
    std::string root = CdromBackingFolder(letter);
    std::string from = root + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
    CreateDirectoryA(root.c_str(), nullptr);
    for (const std::string& f : files) {
        std::string path = root + "\\" + f;
        for (size_t p = path.find('\\', root.size() + 1); p != std::string::npos; p = path.find('\\', p + 1))
            CreateDirectoryA(path.substr(0, p).c_str(), nullptr);
        WriteFileBytes(path, "disc");
    }
}

inline void EjectDisc(char letter) {
    InsertDisc(letter, {});
    RemoveDirectoryA(CdromBackingFolder(letter).c_str());
}

// A running player stand-in; closed at scope end.
class Player {
public:
    // Starts vnkf_player.exe (or a copy of it at exePath) with the given arguments; with an empty
    // path it takes charge of a player that the code under test started.
    Player(const std::string& exePath, const std::string& args, const char* windowClass) : class_(windowClass) {
        if (exePath.empty()) {
            WaitUntil([&] { return window() != nullptr; }, 10000);
            return;
        }
        std::string cmd = "\"" + exePath + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            process_.reset(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        WaitUntil([&] { return window() != nullptr; }, 10000);
    }
    ~Player() { Close(); }
    HWND window() const { return FindWindowA(class_.c_str(), nullptr); }
    void Close() {
        for (int i = 0; i < 5; ++i) {
            HWND w = window();
            if (!w) break;
            PostMessageA(w, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !IsWindow(w); }, 5000);
        }
        if (process_) WaitForSingleObject(process_.get(), vntest::Scaled(10000));
        process_.reset();
    }

private:
    std::string class_;
    vn::Handle process_;
};

inline std::string PlayerExe() { return ExeFolder() + "vnkf_player.exe"; }

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Waits until the log holds the line (players receive posted messages a little later).
inline bool LogHas(const std::string& path, const std::string& line, DWORD ms = 3000) {
    return WaitUntil(
        [&] {
            for (const std::string& l : ReadLines(path))
                if (l == line) return true;
            return false;
        },
        ms);
}

inline void SetText(HKEY hive, const char* key, const char* name, const std::string& value) {
    vn::RegKey k;
    RegCreateKeyExA(hive, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr);
    RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

// Closes the next media message box and reports what it showed. `whileOpen` runs while the
// box is up (for example a second key press).
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(std::function<void()> whileOpen = nullptr)
        : whileOpen_(std::move(whileOpen)), thread_([this] { Run(); }) {}
    ~MessageBoxWatcher() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    std::string text, caption;
    bool topmost = false;
    int boxesWhileOpen = 0;

private:
    static BOOL CALLBACK Visit(HWND w, LPARAM data) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) {
            std::vector<HWND>* boxes = reinterpret_cast<std::vector<HWND>*>(data);
            boxes->push_back(w);
        }
        return TRUE;
    }
    static std::vector<HWND> Boxes() {
        std::vector<HWND> boxes;
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&boxes));
        return boxes;
    }
    static HWND FindBox() {
        std::vector<HWND> boxes = Boxes();
        return boxes.empty() ? nullptr : boxes.front();
    }
    static int CountBoxes() { return static_cast<int>(Boxes().size()); }
    void Run() {
        HWND box = nullptr;
        for (int i = 0; i < 1000 && !box; ++i) {
            box = FindBox();
            if (!box) Sleep(10);
        }
        if (!box) return;
        Sleep(100);  // let the box finish its set-up
        char t[1024] = {};
        GetDlgItemTextA(box, 0xFFFF, t, sizeof t);
        text = t;
        GetWindowTextA(box, t, sizeof t);
        caption = t;
        topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (whileOpen_) {
            whileOpen_();
            boxesWhileOpen = CountBoxes();
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    std::function<void()> whileOpen_;
    std::thread thread_;
};

}  // namespace vntest
