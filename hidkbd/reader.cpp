// The reader threads: one blocking read loop per device, turning button usages that go down or
// come up into MSG_KEY_EVENT posts.
#include <new>

#include "hidkbd/device.h"
#include "hidkbd/library.h"
#include "hidkbd/rules.h"
#include "hidkbd/vnusbkbd.h"

namespace vnhid {
namespace {

ThreadEnd g_end = TerminateThread;
DWORD g_stopWaitMs = 2000;

// The system's parser, through the HID door, for the input reports of one device.
class SystemInputParser final : public InputParser {
public:
    SystemInputParser(HidSystem& sys, PHIDP_PREPARSED_DATA data) : sys_(sys), data_(data) {}
    std::int32_t GetUsages(Usage page, Usage* list, std::uint32_t* length, char* report,
                           std::uint32_t reportLength) override {
        ULONG n = *length;
        NTSTATUS status = sys_.GetUsages(HidP_Input, page, 0, list, &n, data_, report, reportLength);
        *length = n;
        return status;
    }
    std::int32_t UsageListDifference(Usage* previous, Usage* current, Usage* breaks, Usage* makes,
                                     std::uint32_t length) override {
        return sys_.UsageListDifference(previous, current, breaks, makes, length);
    }
    std::int32_t GetUsageValue(Usage page, Usage usage, std::uint32_t* value, char* report,
                               std::uint32_t reportLength) override {
        ULONG v = *value;
        NTSTATUS status = sys_.GetUsageValue(HidP_Input, page, 0, usage, &v, data_, report, reportLength);
        *value = v;
        return status;
    }
    std::int32_t GetScaledUsageValue(Usage page, Usage usage, std::int32_t* value, char* report,
                                     std::uint32_t reportLength) override {
        LONG v = *value;
        NTSTATUS status =
            sys_.GetScaledUsageValue(HidP_Input, page, 0, usage, &v, data_, report, reportLength);
        *value = v;
        return status;
    }

private:
    HidSystem& sys_;
    PHIDP_PREPARSED_DATA data_;
};

void PostKey(void* window, std::uint32_t, bool down, std::uint32_t pageAndUsage) {
    PostMessageA(static_cast<HWND>(window), MSG_KEY_EVENT, down ? 1 : 0, LPARAM(pageAndUsage));
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
    SystemInputParser parser(*reader.sys, r.preparsed);
    unsigned failures = 0;
    for (;;) {
        InterlockedExchange(&reader.state, kReaderWaiting);
        if (reader.stop) Park(reader);
        DWORD done = 0;
        BOOL ok = reader.sys->Read(r.handle, r.input.buffer, r.input.length, &done);
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
        UnpackReport(parser, r.input.buffer, r.input.length, r.input.items, r.input.itemCount, reader.keys);
        ReportKeys(r.input.buffer, r.input.items, r.input.itemCount, reader.keys, PostKey, reader.window);
    }
}

void FreeReader(Reader* reader) {
    if (!reader) return;
    FreeKeyState(reader->keys);
    delete reader;
}

}  // namespace

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
    const ReportState& in = node.info.input;
    if (!PrepareKeyState(reader->keys, in.items, in.itemCount, c.NumberInputButtonCaps)) {
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
