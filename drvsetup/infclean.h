// Deletes the files an OEM INF left behind when its device goes: the INF, its precompiled form,
// its catalogue and the 9x family's driver index.
#pragma once
#include <windows.h>
#include <setupapi.h>

namespace vnsetup {

// Reads "InfPath" from the device's driver key and deletes that INF's files; a device without
// the key or the value, or with an empty value, deletes nothing.
void CleanUpDeviceInf(HDEVINFO set, SP_DEVINFO_DATA* device);

}  // namespace vnsetup
