// Small registry helpers of the uninstaller.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace uninst {

using NamedText = std::pair<std::string, std::string>;

// The text values of a key (name, data); empty when the key is missing. Names and data longer
// than the fixed text size are left out.
std::vector<NamedText> ReadValues(HKEY root, const std::string& path);
// The names of a key's sub-keys.
std::vector<std::string> SubKeys(HKEY root, const std::string& path);
// One text value; false when missing or not text.
bool ReadText(HKEY root, const std::string& path, const char* name, std::string* out);
// Deletes a key with everything below it (the NT family's RegDeleteKey leaves keys with
// sub-keys alone). True when the key is gone.
bool DeleteTree(HKEY root, const std::string& path);
// Deletes a key's empty sub-keys bottom-up, then the key itself when it is empty; keys holding
// values stay, and so do their parents.
bool DeleteEmptyKeys(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
// HKEY_LOCAL_MACHINE and the others by name; unknown names mean HKEY_USERS.
HKEY RootByName(const std::string& name);

}  // namespace uninst
