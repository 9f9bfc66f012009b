// Device records, data items and device nodes of the keyboard library, and the operations on
// them. Everything here runs on the recipient window's thread except the reader loop.
#pragma once
#include "hidkbd/hidsystem.h"
#include "hidkbd/unpack.h"

namespace vnhid {

// Parsing state of one report type.
struct ReportState {
    char* buffer = nullptr;
    ULONG length = 0;
    DataItem* items = nullptr;
    ULONG itemCount = 0;
    HIDP_BUTTON_CAPS* buttonCaps = nullptr;
    HIDP_VALUE_CAPS* valueCaps = nullptr;
};

constexpr size_t kNameChars = 64;

struct DeviceRecord {
    char* path = nullptr;
    char name[kNameChars] = {};
    char maker[kNameChars] = {};
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool openedRead = false, openedWrite = false, openedOverlapped = false, openedExclusive = false;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps = {};
    HIDD_ATTRIBUTES attributes = {};
    ReportState input, output, feature;
};

// Opens a device path into a record; with getInfo also fetches preparsed data, attributes and
// capabilities. On failure the record holds nothing.
bool OpenRecord(HidSystem& sys, DeviceRecord& r, const char* path, bool read, bool write,
                bool overlapped, bool exclusive, bool getInfo);
// Builds report buffers and data items of all three report types; false on memory shortage.
bool BuildDataItems(HidSystem& sys, DeviceRecord& r);
// Closes the handle and frees the path copy (the read record and temporary write records).
void CloseHandleAndPath(HidSystem& sys, DeviceRecord& r);
// Closes everything the record owns: handle, path, preparsed data, buffers, items and caps.
void CloseRecord(HidSystem& sys, DeviceRecord& r);

// Everything a reader thread touches, prepared before the thread starts so that the thread
// itself never allocates: it may be terminated at any instruction.
struct Reader {
    HidSystem* sys = nullptr;
    HWND window = nullptr;
    // The read record: its own read handle and path copy, sharing the info record's buffers and
    // data items. Owned here so that it lives as long as the thread may.
    DeviceRecord record;
    KeyState keys;
    HANDLE thread = nullptr;
    // Stop handshake: the thread is terminated only while it waits for a report or is parked,
    // never while it is inside the parser or posting (the system may hold a lock there).
    volatile LONG stop = 0;
    volatile LONG state = 3;  // ReaderState
};

// A thread is also unsafe to terminate while it is still starting: the system runs the thread
// attach notifications under the loader lock then.
enum ReaderState : LONG { kReaderWaiting = 0, kReaderBusy = 1, kReaderParked = 2, kReaderStarting = 3 };

struct DeviceNode {
    DeviceNode* next = nullptr;
    DeviceNode* prev = nullptr;
    HDEVNOTIFY notification = nullptr;
    HANDLE watched = nullptr;  // the handle the notification was registered for
    DeviceRecord info;
    bool infoOpen = false;
    Reader* reader = nullptr;  // with the read record; none when the device gives no input
};

// Opens the read handle and starts the reader when the device has input reports of an accepted
// collection. False only on memory shortage for the reader's state.
bool StartReader(HidSystem& sys, DeviceNode& node, HWND window);
// Terminates the reader, waits for it to be gone and closes the read record. A thread that is not
// confirmed gone keeps its reader state, read record and the info record's input parsing state
// for good: they are never freed under it.
void StopReader(HidSystem& sys, DeviceNode& node);

}  // namespace vnhid
