// Decisions behind the system utilities, kept apart from the calls into Windows.
// Plain C++: no windows.h.
#pragma once
#include <cstdint>
#include <string>

namespace vn {

// Windows versions as the platform's version query reports them.
enum class WinVersion { Other, Win95, Win98, WinMe, NtOther, Win2000, WinXP, Win2003 };

// platformId 1 is the Windows 9x family, 2 the NT family.
WinVersion ClassifyVersion(unsigned long platformId, unsigned long major, unsigned long minor);

// Parses a "FileVersion" text: up to four decimal numbers separated by ',' or '.', blanks
// skipped, missing numbers 0, each kept to 16 bits. False for an empty text.
bool ParseVersionText(const char* text, std::uint32_t* high, std::uint32_t* low);

// The language and code page pair of a version resource as its string-table name ("040904b0").
std::string TranslationName(unsigned language, unsigned codePage);

// The thread languages the libraries carry resources for, in order of preference.
extern const unsigned long kSupportedLocales[14];
bool IsSupportedLocale(unsigned long lcid);
// The supported language to use instead of lcid: the first one of the same primary language
// (lowest 8 bits), else 1033 (English, United States).
unsigned long ReplacementLocale(unsigned long lcid);

// Splits a file path at its last backslash: folder before it, name after it (no backslash:
// empty folder, the whole path as name).
void SplitFilePath(const std::string& path, std::string* folder, std::string* name);

}  // namespace vn
