// Registry helpers inside VNUtil, shared by the settings store and the other key functions.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vn {

// Reads a value's type and raw bytes; false when the key or value is missing.
bool ReadRawValue(HKEY hive, const char* keyPath, const char* name, DWORD* type, std::vector<unsigned char>* data);

// Creates the whole key path below the hive (component by component when one call fails).
bool CreateKeyPath(HKEY hive, const char* keyPath);

// Deletes a key with its values and every key below it.
bool DeleteKeyTree(HKEY parent, const char* subkey);

}  // namespace vn
