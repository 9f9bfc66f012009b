// The reader threads: one blocking read loop per device, turning button usages that go down or
// come up into MSG_KEY_EVENT posts.
#include <cstdlib>
#include <cstring>
#include <new>

#include "hidkbd/device.h"
#include "hidkbd/library.h"
#include "hidkbd/rules.h"
#include "hidkbd/vnusbkbd.h"

namespace vnhid {
namespace {

ThreadEnd g_end = TerminateThread;
DWORD g_stopWaitMs = 2000;

// Copies the usages of src that lie in [min, max] into dst (length n), then a 0 when there is room.
// A usage listed twice (an array report naming one key in two slots) is kept once, so that every
// make is matched by exactly one break.
void KeepInRange(USAGE* dst, const USAGE* src, ULONG n, ULONG min, ULONG max) {
    ULONG out = 0;
    for (ULONG i = 0; i < n && src[i] != 0; ++i) {
        if (src[i] < min || src[i] > max) continue;
        bool seen = false;
        for (ULONG k = 0; k < out && !seen; ++k) seen = dst[k] == src[i];
        if (!seen) dst[out++] = src[i];
    }
    if (out < n) std::memset(dst + out, 0, (n - out) * sizeof(USAGE));
}

// Waits to be terminated; reached when a stop was asked for while the thread was busy.
void Park(Reader& reader) {
    InterlockedExchange(&reader.state, kReaderParked);
    for (;;) Sleep(INFINITE);
}

DWORD WINAPI ReaderMain(void* param) {
    // Nothing in this loop allocates: the thread is ended by TerminateThread. While it parses
    // and posts it is marked busy, and the stopping side waits for it to leave that stretch.
    Reader& reader = *static_cast<Reader*>(param);
    DeviceRecord& r = reader.record;
    HidSystem& sys = *reader.sys;
    unsigned failures = 0;
    for (;;) {
        InterlockedExchange(&reader.state, kReaderWaiting);
        if (reader.stop) Park(reader);
        DWORD done = 0;
        BOOL ok = sys.Read(r.handle, r.input.buffer, r.input.length, &done);
        InterlockedExchange(&reader.state, kReaderBusy);
        if (reader.stop) Park(reader);
        if (!ok || done != r.input.length) {
            // A device that is gone fails every read at once until its removal notice arrives.
            DWORD pause = ReadRetryDelayMs(++failures);
            InterlockedExchange(&reader.state, kReaderWaiting);
            if (reader.stop) Park(reader);
            if (pause) Sleep(pause);
            continue;
        }
        failures = 0;
        UnpackReport(sys, r, reader);
        PostReportEvents(r, reader);
    }
}

bool PrepareReader(Reader& reader, const DeviceRecord& r) {
    const ReportState& in = r.input;
    reader.buttonItems = r.caps.NumberInputButtonCaps;
    if (reader.buttonItems > in.itemCount) reader.buttonItems = in.itemCount;
    ULONG longest = 1;
    for (ULONG i = 0; i < in.itemCount; ++i) {
        if (in.items[i].isButton && in.items[i].button.maxUsageLength > longest)
            longest = in.items[i].button.maxUsageLength;
    }
    reader.makeScratch = static_cast<USAGE*>(std::calloc(longest, sizeof(USAGE)));
    reader.breakScratch = static_cast<USAGE*>(std::calloc(longest, sizeof(USAGE)));
    if (!reader.makeScratch || !reader.breakScratch) return false;
    // The break copy: the items themselves, with fresh lists for the button items. Without it
    // the reader reports makes only.
    DataItem* copy = static_cast<DataItem*>(std::calloc(in.itemCount ? in.itemCount : 1, sizeof(DataItem)));
    if (!copy) return true;
    std::memcpy(copy, in.items, in.itemCount * sizeof(DataItem));
    for (ULONG i = 0; i < reader.buttonItems; ++i) {
        copy[i].button.usages = nullptr;
        copy[i].button.previous = nullptr;
    }
    bool ok = true;
    for (ULONG i = 0; i < reader.buttonItems && ok; ++i) {
        if (!copy[i].isButton) continue;
        ULONG n = copy[i].button.maxUsageLength ? copy[i].button.maxUsageLength : 1;
        copy[i].button.usages = static_cast<USAGE*>(std::calloc(n, sizeof(USAGE)));
        copy[i].button.previous = static_cast<USAGE*>(std::calloc(n, sizeof(USAGE)));
        ok = copy[i].button.usages && copy[i].button.previous;
    }
    reader.breakItems = copy;
    if (!ok) {
        for (ULONG i = 0; i < reader.buttonItems; ++i) {
            std::free(copy[i].button.usages);
            std::free(copy[i].button.previous);
        }
        std::free(copy);
        reader.breakItems = nullptr;
    }
    return true;
}

void FreeReader(Reader* reader) {
    if (!reader) return;
    if (reader->breakItems) {
        for (ULONG i = 0; i < reader->buttonItems; ++i) {
            if (!reader->breakItems[i].isButton) continue;
            std::free(reader->breakItems[i].button.usages);
            std::free(reader->breakItems[i].button.previous);
        }
        std::free(reader->breakItems);
    }
    std::free(reader->makeScratch);
    std::free(reader->breakScratch);
    delete reader;
}

}  // namespace

void UnpackReport(HidSystem& sys, DeviceRecord& r, Reader& reader) {
    ReportState& in = r.input;
    ULONG id = static_cast<UCHAR>(in.buffer[0]);
    for (ULONG i = 0; i < in.itemCount; ++i) {
        DataItem& item = in.items[i];
        if (item.reportId != id) continue;
        if (item.isButton) {
            ULONG max = item.button.maxUsageLength;
            // The parser writes only the usages it finds: clear what the last report left.
            std::memset(item.button.usages, 0, max * sizeof(USAGE));
            ULONG length = max;
            item.status = sys.GetUsages(HidP_Input, item.usagePage, 0, item.button.usages, &length,
                                        r.preparsed, in.buffer, in.length);
            std::memset(reader.makeScratch, 0, max * sizeof(USAGE));
            std::memset(reader.breakScratch, 0, max * sizeof(USAGE));
            sys.UsageListDifference(item.button.previous, item.button.usages, reader.breakScratch,
                                    reader.makeScratch, max);
            std::memcpy(item.button.previous, item.button.usages, max * sizeof(USAGE));
            KeepInRange(item.button.usages, reader.makeScratch, max, item.button.usageMin,
                        item.button.usageMax);
            if (reader.breakItems && i < reader.buttonItems) {
                DataItem& copy = reader.breakItems[i];
                KeepInRange(copy.button.usages, reader.breakScratch, max, copy.button.usageMin,
                            copy.button.usageMax);
            }
        } else {
            item.status = sys.GetUsageValue(HidP_Input, item.usagePage, 0, item.value.usage,
                                            &item.value.value, r.preparsed, in.buffer, in.length);
            item.status = sys.GetScaledUsageValue(HidP_Input, item.usagePage, 0, item.value.usage,
                                                  &item.value.scaledValue, r.preparsed, in.buffer,
                                                  in.length);
        }
        item.dataSet = TRUE;
    }
}

unsigned PostReportEvents(DeviceRecord& r, Reader& reader) {
    ReportState& in = r.input;
    ULONG id = static_cast<UCHAR>(in.buffer[0]);
    unsigned posted = 0;
    for (ULONG i = 0; i < in.itemCount; ++i) {
        DataItem& item = in.items[i];
        if (item.reportId != id || !item.isButton) continue;
        DataItem* copy = reader.breakItems && i < reader.buttonItems ? &reader.breakItems[i] : nullptr;
        ULONG make = 0, brk = 0;
        for (ULONG pos = 0; pos < item.button.maxUsageLength; ++pos) {
            USAGE u = item.button.usages[make];
            if (u != 0) {
                PostMessageA(reader.window, MSG_KEY_EVENT, 1, LPARAM(ULONG(item.usagePage) << 16 | u));
                ++make;
                ++posted;
            }
            if (copy) {
                USAGE b = copy->button.usages[brk];
                if (b != 0) {
                    PostMessageA(reader.window, MSG_KEY_EVENT, 0, LPARAM(ULONG(copy->usagePage) << 16 | b));
                    ++brk;
                    ++posted;
                }
            }
        }
    }
    return posted;
}

bool StartReader(HidSystem& sys, DeviceNode& node, HWND window) {
    node.reader = nullptr;
    const HIDP_CAPS& c = node.info.caps;
    if (c.InputReportByteLength == 0 || !IsAcceptedCollection(c.UsagePage, c.Usage)) return true;

    Reader* reader = new (std::nothrow) Reader;
    if (!reader) return false;
    reader->sys = &sys;
    reader->window = window;
    reader->record = node.info;
    reader->record.path = nullptr;
    reader->record.handle = INVALID_HANDLE_VALUE;
    if (!PrepareReader(*reader, node.info)) {
        FreeReader(reader);
        return false;
    }
    if (!OpenRecord(sys, reader->record, node.info.path, true, false, false, false, false)) {
        FreeReader(reader);
        return true;
    }
    DWORD id = 0;
    reader->thread = CreateThread(nullptr, 0, ReaderMain, reader, 0, &id);
    node.reader = reader;
    return true;
}

void StopReader(HidSystem& sys, DeviceNode& node) {
    Reader* reader = node.reader;
    if (!reader) return;
    node.reader = nullptr;
    bool gone = true;
    if (reader->thread) {
        InterlockedExchange(&reader->stop, 1);
        // A busy reader finishes its report within microseconds and then parks; a new one
        // reaches its first read soon after it starts.
        const DWORD start = GetTickCount();
        while ((reader->state == kReaderBusy || reader->state == kReaderStarting) &&
               GetTickCount() - start < g_stopWaitMs) {
            if (WaitForSingleObject(reader->thread, 1) == WAIT_OBJECT_0) break;
        }
        g_end(reader->thread, 0);
        // Termination completes asynchronously; the buffers must outlive the thread.
        gone = WaitForSingleObject(reader->thread, g_stopWaitMs) == WAIT_OBJECT_0;
        CloseHandle(reader->thread);
    }
    if (!gone) {
        // Still running somehow: it keeps its reader (record and open read handle) and the input
        // parsing state it shares with the info record, which closing the info record now skips.
        node.info.input = ReportState{};
        node.info.preparsed = nullptr;
        return;
    }
    CloseHandleAndPath(sys, reader->record);
    FreeReader(reader);
}

void SetReaderEnd(ThreadEnd end, DWORD waitMs) {
    g_end = end ? end : TerminateThread;
    g_stopWaitMs = end ? waitMs : 2000;
}

}  // namespace vnhid
