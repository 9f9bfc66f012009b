// Decisions of the installer utilities shared by setup and the uninstaller. Plain C++ (no
// windows.h), so they run the same in the native tests.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

namespace instutil {

// What the running Windows is, from the version record (and, for Windows Me, the registry's
// "VersionNumber" text).
struct SystemKind {
    bool win9x = false;
    bool win98OrLater = false;  // 9x family only
    bool win95 = false;
    bool winMe = false;
    bool nt = false;
    bool win2000 = false;
    bool winXp = false;
    bool win2000OrLater = false;
};
constexpr unsigned kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr unsigned kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT
SystemKind Classify(unsigned platform, unsigned major, unsigned minor, const char* versionNumber);

// The user-interface languages the programs carry resources for, in order of preference.
constexpr std::size_t kUiLanguageCount = 15;
extern const unsigned kUiLanguages[kUiLanguageCount];
// The thread locale to use for a given one: itself when supported, else the first supported one
// of the same primary language (low byte), else 1033.
unsigned PickUiLanguage(unsigned lcid);

struct Box {
    int left, top, right, bottom;
};
// Where a window of the given size goes in the work area: centred, but never above the band
// (then at the band, or flush with the work area's bottom when it does not fit below it).
Box PlaceBelowBand(const Box& work, int width, int height, int band);

// Breaks a title that is wider than maxWidth at the last blank that lets the first part fit.
// Returns the length of the first line (the whole text when it fits or no blank helps); the
// second line starts after that blank.
std::size_t TitleBreak(const std::string& text, int maxWidth, const std::function<int(const char*, std::size_t)>& width);

// Inserts a "[Rename]" line into the text of wininit.ini: right after the section header (the
// newest entry first), or in a new section appended at the end. The header is matched without
// regard to letter case, as the system reads it.
std::string InsertRenameLine(const std::string& text, const std::string& line);

// Case-insensitive equality of ASCII keywords.
bool SameText(const char* a, const char* b);

}  // namespace instutil
