// Decisions of the installation work: which file wins, where an in-use file's side copy goes,
// what an "Add Registry" line writes and how the uninstall record names it. Plain C++.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace setupscript {

// What a file's version resource says; both parts may be missing.
struct FileVersionFacts {
    bool fixed = false;
    std::uint32_t fixedHigh = 0, fixedLow = 0;
    bool text = false;  // the "FileVersion" string, packed as two 32-bit halves
    std::uint32_t textHigh = 0, textLow = 0;
};

// Whether a source replaces an existing destination: newer by either version comparison wins;
// equal (or no version on one side) falls back to the last-write time; an older source loses.
bool SourceReplaces(const FileVersionFacts& source, const FileVersionFacts& destination, bool sourceTimeLater);

// The side name of an in-use destination: its extension replaced by the digit. A name without an
// extension gets one, so that the side copy never lands outside the destination's folder.
std::string SidePath(const std::string& destination, int digit);

// Bytes done as a percentage of the total (100 when the total is 0), never above 100.
int Percent(std::uint32_t done, std::uint32_t total);

// Splits a path at its last backslash (no backslash: empty folder, the whole path as name).
void SplitPath(const std::string& path, std::string* folder, std::string* name);

// One "Add Registry" line, read from its fields.
struct RegistryLine {
    enum Root { LocalMachine, CurrentUser, ClassesRoot, Users } root = Users;
    std::string keyPath, valueName;
    enum Kind { KeyOnly, Text, Binary, Dword } kind = KeyOnly;
    std::string text;
    std::vector<unsigned char> bytes;  // Binary; Dword holds its one byte here
};
RegistryLine ParseRegistryLine(const std::vector<std::string>& fields);
const char* RootName(RegistryLine::Root root);

// The uninstall record's name for a registry line: the key path, or the key path, two
// backslashes and the value name.
std::string RecordName(const RegistryLine& line);

// One "Update Driver" entry: ten fields in the simple field syntax, numbered from 1 as the script
// documents them; missing fields are empty and extra ones are ignored.
struct DriverEntry {
    std::vector<std::string> fields;
    const std::string& operator[](int field) const { return fields[field - 1]; }
    bool Unknown() const;   // device class "Unknown": removed and detected afresh
    bool CopyFlag() const;  // field 8 "1" or "TRUE"
};
DriverEntry ReadDriverEntry(const std::string& value);

// The entry's INF below a folder: the folder, a backslash, field 10 and field 2.
std::string EntryInf(const std::string& folder, const DriverEntry& entry);

// Where the driver step copies a medium that is not a fixed disk: "Program Files" on the Windows
// folder's drive and the product name with every "/" made a ".".
std::string LocalMediumFolder(const std::string& windowsFolder, const std::string& productName);

// The "Run" command that leaves the driver to "Preload.exe" in the local folder at the next logon.
std::string PreloadCommand(const std::string& localFolder, const DriverEntry& entry, const std::string& runValue);

}  // namespace setupscript
