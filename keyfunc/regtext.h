// Reading texts that other programs registered (mail programs, application paths, home page).
#pragma once
#include <windows.h>

#include <string>

namespace vn {

// A REG_SZ or REG_EXPAND_SZ value (expanded) of at most 259 characters; false for a missing
// key or value, another type, or a longer text.
bool ReadRegText(HKEY hive, const char* keyPath, const char* name, std::string* text);

// Fills a caller's buffer only when the whole text and its zero fit.
int CopyOut(const std::string& text, char* buffer, int bufferSize);

}  // namespace vn
