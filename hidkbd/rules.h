// Decisions of the keyboard library that need no system calls: which collections and models are
// taken, the OS type table, what the shell hook swallows, how long a failing reader rests.
#pragma once
#include <cstdint>

namespace vnhid {

// Consumer Control (0x000C/0x0001) or the vendor collection (0xFF7F/0x0001).
bool IsAcceptedCollection(std::uint16_t usagePage, std::uint16_t usage);

// OS type 0..7 from the platform id (1 = 9x family, 2 = NT family) and the major/minor version.
int OsTypeFromVersion(unsigned long platformId, unsigned long major, unsigned long minor);

// Whether the Num, Caps or Scroll Lock LED is left to the system on this OS type.
bool SystemKeepsLockLed(int osType, unsigned ledUsage);

// True when a shell hook call is the launch-media-select application command, which the
// service handles itself and the system must not act on.
bool ConsumesShellEvent(int code, std::intptr_t lParam);

// Pause before the next read after the given number of failed reads in a row: the first retry
// is immediate, later ones back off so that a device waiting for its removal notice costs no
// processor time.
unsigned long ReadRetryDelayMs(unsigned failuresInARow);

}  // namespace vnhid
