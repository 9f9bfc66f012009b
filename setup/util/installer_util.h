// Installer utilities shared by setup and the uninstaller (Win32 side).
#pragma once
#include <windows.h>

#include <string>

#include "setup/util/rules.h"

namespace instutil {

// Classifies the running system with GetVersionExA and, on the 9x family, the registry.
SystemKind DetectSystem();

// True when a directory search for the path (wildcards allowed) finds anything.
bool FileExists(const char* path);

// On the NT family: keeps the thread locale when the programs carry it, else picks one of the
// same language, else English.
void AdjustThreadLanguage();

// The user's locale as 8 hexadecimal digits ("00000409"); false when it cannot be read. out must
// hold at least 9 characters; a longer value is refused.
bool ReadUserLocale(const SystemKind& system, char* out, std::size_t size);

// Brings a window (or its visible last active pop-up) to the foreground. attachOnNt: use the
// thread-input attachment on this NT system (setup does so on Windows 2000 only, the
// uninstaller on Windows 2000 and later).
void BringToFront(HWND window, const SystemKind& system, bool attachOnNt);

// Places a window in the desktop work area below the band (PlaceBelowBand).
void PlaceBelowBand(HWND window, int band);

// Schedules for the next system start the replacement of target by source, or the deletion of
// source when target is null: MoveFileExA on the NT family, the "[Rename]" section of
// wininit.ini in the Windows folder on the 9x family. False when it could not be scheduled.
bool ScheduleBootRename(const char* target, const char* source, const SystemKind& system);
// The wininit.ini edit itself, on the given file (created when missing).
bool AddRenameLine(const char* wininitPath, const char* target, const char* source);

// The side picture of a wizard page: bitmap resource 101 stretched into the frame of a
// placeholder control widened to the page's full height, proportions kept.
class SidePicture {
public:
    void Attach(HWND page, int placeholderId);
    void Paint(HDC dc) const;
    ~SidePicture();

private:
    HBITMAP bitmap_ = nullptr;
    RECT frame_{};
};

// The title of the full-screen background window: a 42-unit italic serif face, or the
// system's caption face for a Japanese locale. The caller owns the font.
HFONT CreateTitleFont(const char* userLocale);

// Paints the background window's title: black shadow at 15,10, white at 10,5, broken onto a
// second line when wider than the client width minus 15. Returns the height the title takes
// (line height times lines plus 10).
int DrawTitle(HDC dc, HFONT font, const char* title, int clientWidth);

// The text in upper case by the system's rules, for names that match whatever their case.
std::string UpperText(std::string text);

// A resource string of the program (empty when missing).
std::string LoadText(HINSTANCE instance, UINT id);
// The text with every "%s" replaced by value.
std::string FillIn(std::string text, const std::string& value);

// The NT family restarts only for a process holding the shutdown privilege; the security
// functions are looked up at run time, since the 9x family has none.
void EnableShutdownPrivilege();

// Registers the window class of a full-screen backdrop (the icon of the given id, arrow cursor,
// white brush) and creates the window over the work area with param as its creation data.
HWND CreateBackdrop(HINSTANCE instance, const char* className, int iconId, const char* title, WNDPROC proc,
                    void* param);
// Shows the backdrop maximized (unless hidden) and runs the thread's messages until it quits.
void RunBackdrop(HWND window, bool show);

// The background colour of the setup and uninstall windows.
constexpr COLORREF kBackdropColour = RGB(0, 128, 128);

}  // namespace instutil
