// The video players for DVD and VCD discs, tried in a fixed order: find the player's window (or
// start the player and wait for it), bring it forward and send the command its way.
#include <windows.h>

#include <string>
#include <vector>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/media.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace media {
namespace {

const char kDvdPlayerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DVDPlayer.exe";
const char kDvdExpressKey[] = "Software\\Mediamatics\\DVD Express";
const char kDvdExpressPublish[] = "Software\\Mediamatics\\DVD Express\\Mediamatics DVD Player\\Publish";
const char kIfoCommand[] = "IFO_auto_file\\shell\\open\\command";
const char kInterVideoKey[] = "Software\\InterVideo";
const char kPowerDvdKey[] = "Software\\CyberLink\\PowerDVD";
const char kPowerDvdClass[] = "Class of CyberLink Universal Player";
const char kPowerDvdTitle[] = "CyberLink Universal Player";
const char kMPlayer2Key[] = "Software\\Microsoft\\Multimedia\\MPlayer2";
const char kWmpKey[] = "Software\\Microsoft\\Multimedia\\WMPlayer";

// How a player takes its five commands: the codes for Play, Pause, Next, Previous, Stop.
enum class Delivery { KeyPress, SendPrivate, PostCommand, PostPrivate };
struct Codes {
    Delivery delivery;
    UINT play, pause, next, prev, stop;
};

const Codes kDvdPlayerCodes{Delivery::KeyPress, 'P', 'P', VK_NEXT, VK_PRIOR, 'S'};
const Codes kDvdExpressCodes{Delivery::SendPrivate, 7033, 7036, 7037, 7035, 7039};
const Codes kWinDvdCodes{Delivery::PostCommand, 32772, 32776, 32778, 32777, 32773};
const Codes kPowerDvdCodes{Delivery::PostPrivate, 1033, 1035, 1036, 1034, 1031};
const Codes kMPlayer2Codes{Delivery::KeyPress, VK_SPACE, VK_SPACE, VK_NEXT, VK_PRIOR, 'S'};

std::string ReadText(HKEY hive, const char* key, const char* name) {
    char text[kMaxText] = {};
    if (!Reg_GetValueString(hive, key, name, text, sizeof text)) return std::string();
    return text;
}

bool ValueExists(HKEY hive, const char* key, const char* name) {
    RegKey k;
    if (RegOpenKeyExA(hive, key, 0, KEY_READ, k.out()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(k.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool Launch(const std::string& path) {
    return !path.empty() && FileExisted(path.c_str()) && LaunchProgram(path.c_str(), nullptr, nullptr, nullptr);
}

// Launches the program when it exists, then looks for its window after each pause.
HWND LaunchAndWait(const std::string& path, int looks, HWND (*find)(const std::string&)) {
    if (!Launch(path)) return nullptr;
    for (int i = 0; i < looks; ++i) {
        Sleep(LaunchPollInterval());
        if (HWND w = find(path)) return w;
    }
    return nullptr;
}

HWND FindByPath(const std::string& path) { return path.empty() ? nullptr : FindWindowByPath(path.c_str()); }

void PressKey(UINT vk) {
    keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
}

// Makes the window the active player, brings it forward and sends the command.
int CommandPlayer(HWND w, int command, const Codes& codes) {
    MediaState& s = State();
    s.activePlayer = w;
    ActivateWindow(w);
    UINT code = 0;
    switch (ConvertPlayPause(command, &s.playFlag)) {
        case kPlay:
            code = codes.play;
            s.playFlag = 1;
            break;
        case kPause:
            code = codes.pause;
            s.playFlag = 0;
            break;
        case kNextTrack:
            code = codes.next;
            break;
        case kPrevTrack:
            code = codes.prev;
            break;
        case kStop:
            code = codes.stop;
            s.playFlag = 0;
            break;
    }
    if (!code) return 1;  // a found player counts as handled even without a command to send
    switch (codes.delivery) {
        case Delivery::KeyPress:
            PressKey(code);
            break;
        case Delivery::SendPrivate:
            SendMessageA(w, code, 0, 0);
            break;
        case Delivery::PostCommand:
            PostMessageA(w, WM_COMMAND, code, 0);
            break;
        case Delivery::PostPrivate:
            PostMessageA(w, code, 0, 0);
            break;
    }
    return 1;
}

int DvdPlayer(int command) {
    MediaState& s = State();
    std::string path = ReadText(HKEY_LOCAL_MACHINE, kDvdPlayerKey, nullptr);
    HWND w = s.dvdPlayer && IsWindow(s.dvdPlayer) ? s.dvdPlayer : FindByPath(path);
    if (w) return CommandPlayer(w, command, kDvdPlayerCodes);
    if ((command != kPlay && command != kPlayPause) || !Launch(path)) return 0;
    for (int look = 0; look < 30; ++look) {
        if (look) Sleep(LaunchPollInterval());
        HWND found = FindByPath(path);
        if (found && !GetParent(found)) {
            // The player starts the disc by itself; it is commanded from the next key on.
            s.dvdPlayer = found;
            s.playFlag = 1;
            return 1;
        }
    }
    return 0;
}

std::string IfoProgram() {
    std::string command = ReadText(HKEY_CLASSES_ROOT, kIfoCommand, nullptr);
    char program[kMaxText] = {}, arguments[kMaxText] = {};
    if (command.empty() || command.size() >= kMaxText) return std::string();
    ParseShellCommand(command.c_str(), program, arguments);
    return program;
}

int DvdExpress(int command) {
    if (!ValueExists(HKEY_LOCAL_MACHINE, kDvdExpressKey, "Version")) return 0;
    std::string cls = ReadText(HKEY_LOCAL_MACHINE, kDvdExpressPublish, "ClassName");
    std::string title = ReadText(HKEY_LOCAL_MACHINE, kDvdExpressPublish, "WindowName");
    HWND w = cls.empty() ? nullptr : FindWindowA(cls.c_str(), title.empty() ? nullptr : title.c_str());
    if (!w) w = LaunchAndWait(IfoProgram(), 5, FindByPath);
    return w ? CommandPlayer(w, command, kDvdExpressCodes) : 0;
}

std::string WinDvdPath() {
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInterVideoKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return std::string();
    std::vector<std::string> names;
    char name[kMaxText];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name);
    }
    std::string sub = PickInterVideoKey(names);
    if (sub.empty()) return std::string();
    std::string folder = ReadText(HKEY_LOCAL_MACHINE, (std::string(kInterVideoKey) + "\\" + sub).c_str(), "PATH");
    return folder.empty() ? std::string() : folder + "\\WinDVD.exe";
}

int WinDvd(int command) {
    std::string path = WinDvdPath();
    if (path.empty()) return 0;
    HWND w = FindByPath(path);
    if (!w) w = LaunchAndWait(path, 8, FindByPath);
    return w ? CommandPlayer(w, command, kWinDvdCodes) : 0;
}

std::string PowerDvdPath() {
    std::string folder = ReadText(HKEY_LOCAL_MACHINE, kPowerDvdKey, "InstallDir");
    return folder.empty() ? std::string() : folder + "\\PowerDVD.exe";
}

int PowerDvd(int command) {
    HWND w = FindWindowA(kPowerDvdClass, kPowerDvdTitle);
    if (!w) w = LaunchAndWait(PowerDvdPath(), 10, FindByPath);
    return w ? CommandPlayer(w, command, kPowerDvdCodes) : 0;
}

HWND FindMPlayer2(const std::string&) { return FindWindowA("Media Player 2", nullptr); }

int MPlayer2(int command) {
    if (!ValueExists(HKEY_LOCAL_MACHINE, kMPlayer2Key, "Player.Path")) return 0;
    HWND w = FindMPlayer2(std::string());
    if (!w) w = LaunchAndWait(ReadText(HKEY_LOCAL_MACHINE, kMPlayer2Key, "Player.Path"), 10, FindMPlayer2);
    return w ? CommandPlayer(w, command, kMPlayer2Codes) : 0;
}

using MediaPlayFn = int(__stdcall*)(int, int);
using MediaCommandFn = int(__stdcall*)(void);

int MediaLibraryCommand(int command) {
    HMODULE lib = MediaLibrary();
    if (!lib) return 0;
    const char* name = nullptr;
    switch (ConvertPlayPause(command, &State().playFlag)) {
        case kPlay: {
            auto play = reinterpret_cast<MediaPlayFn>(GetProcAddress(lib, "Vnmedia_Play"));
            return play ? play(0, 0) : 0;
        }
        case kPause:
            name = "Vnmedia_Pause";
            break;
        case kNextTrack:
            name = "Vnmedia_NextTrack";
            break;
        case kPrevTrack:
            name = "Vnmedia_PrevTrack";
            break;
        case kStop:
            name = "Vnmedia_Stop";
            break;
        default:
            return 0;
    }
    auto fn = reinterpret_cast<MediaCommandFn>(GetProcAddress(lib, name));
    return fn ? fn() : 0;
}

// Loaded at first use rather than while the library itself is being loaded (loading another
// library from inside the loader is unsafe); kept until the process unloads this code.
struct MediaLibraryHolder {
    Module module;
    bool tried = false;
    HMODULE replacement = nullptr;
};

MediaLibraryHolder& Holder() {
    static MediaLibraryHolder holder;
    return holder;
}

}  // namespace

HMODULE MediaLibrary() {
    MediaLibraryHolder& h = Holder();
    if (h.replacement) return h.replacement;
    if (!h.tried) {
        h.tried = true;
        h.module.reset(LoadLibraryA("VNMEDIA.DLL"));
    }
    return h.module.get();
}

void SetMediaLibrary(HMODULE module) { Holder().replacement = module; }

int VideoPlayerControl(int command) {
    if (DvdPlayer(command)) return 1;
    if (DvdExpress(command)) return 1;
    if (WinDvd(command)) return 1;
    if (PowerDvd(command)) return 1;
    if (MPlayer2(command)) return 1;
    return MediaLibraryCommand(command);
}

}  // namespace media
}  // namespace vn

using namespace vn;
using namespace vn::media;

extern "C" {

int VNAPI LaunchVideoPlayer(void) {
    if (Launch(ReadText(HKEY_LOCAL_MACHINE, kDvdPlayerKey, nullptr))) return 1;
    if (ValueExists(HKEY_LOCAL_MACHINE, kDvdExpressKey, "Version") && Launch(IfoProgram())) return 1;
    if (Launch(WinDvdPath())) return 1;
    if (Launch(PowerDvdPath())) return 1;
    if (Launch(ReadText(HKEY_LOCAL_MACHINE, kWmpKey, "Player.Path"))) return 1;
    if (Launch(ReadText(HKEY_LOCAL_MACHINE, kMPlayer2Key, "Player.Path"))) return 1;
    if (HMODULE lib = MediaLibrary()) {
        auto play = reinterpret_cast<MediaPlayFn>(GetProcAddress(lib, "Vnmedia_Play"));
        return play ? play(0, 1) : 0;
    }
    return 0;
}

int VNAPI ActivePlayer(void) {
    MediaState& s = State();
    if (s.activePlayer && IsWindow(s.activePlayer)) {
        ActivateWindow(s.activePlayer);
        return 1;
    }
    s.activePlayer = nullptr;
    return 0;
}

}  // extern "C"
