// Rules of the driver setup library that need no system: the setup class names, hardware-ID and
// instance-ID matching on both Windows families, the "LowerFilters" repair and the names of the
// files that belong to an installed INF. Plain C++ without windows.h.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vnsetup {

// A setup class GUID as plain data (same layout as the system's GUID).
struct ClassId {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// The class GUID for a class name (case-insensitive), or null for a null, empty or unknown name,
// which means "devices of all classes".
const ClassId* FindSetupClass(const char* name);

// ASCII case-insensitive equality of two texts; false when either is null.
bool SameIdText(const char* a, const char* b);

// NT family: true when one of the strings of a multi-string list equals id (case-insensitive).
// The list is bounded by size bytes and need not be terminated.
bool MultiStringHasId(const char* list, std::size_t size, const char* id);

// 9x family, finding and removing devices: the device's one hardware ID against the given one.
// Different lengths are first brought to the given form by the fixed reductions (REV_ part
// dropped, interface part cut, bus prefix dropped); any other pair does not match.
bool MatchesId9x(const char* deviceId, const char* givenId);

// 9x family, clearing the not-installed mark: the device's ID starts with the given one.
bool MatchesIdPrefix9x(const char* deviceId, const char* givenId);

// True when instanceId starts with prefix (case-insensitive) and goes on with its end or a
// backslash. An empty or null prefix matches nothing.
bool InstanceIdHasPrefix(const char* instanceId, const char* prefix);

// "LowerFilters" written as one filter name followed by a comma (as a plain string, with or
// without its terminator) is turned into a one-entry multi-string in place. data holds length
// bytes inside a buffer of capacity bytes. Returns the length to write back, or 0 when the value
// is to be left as it is (no trailing comma, or no room for the second terminator).
std::size_t RepairCommaFilter(char* data, std::size_t length, std::size_t capacity);

// The precompiled INF beside an INF path: the same path with the I of a final "INF" (any case)
// changed to P. False (out untouched) when the path does not end so or the result does not fit.
bool PnfPathFor(const char* infPath, char* out, std::size_t size);

// The file-name part of a path (after the last backslash, slash or colon).
const char* FileNamePart(const char* path);

// True for a full path: a drive letter with a colon and a backslash, or a UNC name.
bool IsFullPath(const char* path);

// The catalogue file name for an INF file name: its last three characters replaced by "cat".
// False when the name is shorter than four characters or the result does not fit.
bool CatalogNameFor(const char* infName, char* out, std::size_t size);

}  // namespace vnsetup
