// Opening device paths and building the parsing state of a device record.
#include <cstdlib>
#include <cstring>

#include "hidkbd/device.h"

namespace vnhid {
namespace {

char* CopyPath(const char* path) {
    size_t n = std::strlen(path) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    if (copy) std::memcpy(copy, path, n);
    return copy;
}

void FreeReportState(ReportState& s) {
    if (s.items) {
        for (ULONG i = 0; i < s.itemCount; ++i) {
            if (s.items[i].isButton) {
                std::free(s.items[i].button.usages);
                std::free(s.items[i].button.previous);
            }
        }
    }
    std::free(s.items);
    std::free(s.buffer);
    std::free(s.buttonCaps);
    std::free(s.valueCaps);
    s = ReportState{};
}

bool BuildReportState(HidSystem& sys, DeviceRecord& r, HIDP_REPORT_TYPE type, ReportState& s,
                      USHORT length, USHORT buttonCapCount, USHORT valueCapCount) {
    s.length = length;
    s.buffer = static_cast<char*>(std::calloc(length ? length : 1, 1));
    if (!s.buffer) return false;
    if (buttonCapCount) {
        s.buttonCaps = static_cast<HIDP_BUTTON_CAPS*>(
            std::calloc(buttonCapCount, sizeof(HIDP_BUTTON_CAPS)));
        if (!s.buttonCaps) return false;
        USHORT n = buttonCapCount;
        if (sys.GetButtonCaps(type, s.buttonCaps, &n, r.preparsed) != HIDP_STATUS_SUCCESS) n = 0;
        buttonCapCount = n;
    }
    if (valueCapCount) {
        s.valueCaps = static_cast<HIDP_VALUE_CAPS*>(
            std::calloc(valueCapCount, sizeof(HIDP_VALUE_CAPS)));
        if (!s.valueCaps) return false;
        USHORT n = valueCapCount;
        if (sys.GetValueCaps(type, s.valueCaps, &n, r.preparsed) != HIDP_STATUS_SUCCESS) n = 0;
        valueCapCount = n;
    }
    ULONG valueItems = 0;
    for (USHORT i = 0; i < valueCapCount; ++i) {
        const HIDP_VALUE_CAPS& c = s.valueCaps[i];
        valueItems += c.IsRange && c.Range.UsageMax >= c.Range.UsageMin
                          ? ULONG(c.Range.UsageMax - c.Range.UsageMin) + 1
                          : 1;
    }
    ULONG count = buttonCapCount + valueItems;
    s.items = static_cast<DataItem*>(std::calloc(count ? count : 1, sizeof(DataItem)));
    if (!s.items) return false;

    DataItem* item = s.items;
    for (USHORT i = 0; i < buttonCapCount; ++i, ++item) {
        const HIDP_BUTTON_CAPS& c = s.buttonCaps[i];
        item->isButton = TRUE;
        item->status = HIDP_STATUS_SUCCESS;
        item->usagePage = c.UsagePage;
        item->reportId = c.ReportID;
        item->button.usageMin = c.IsRange ? c.Range.UsageMin : c.NotRange.Usage;
        item->button.usageMax = c.IsRange ? c.Range.UsageMax : c.NotRange.Usage;
        ULONG max = sys.MaxUsageListLength(type, c.UsagePage, r.preparsed);
        item->button.maxUsageLength = max;
        ++s.itemCount;  // counted before the lists so that a failure frees what was allocated
        item->button.usages = static_cast<USAGE*>(std::calloc(max ? max : 1, sizeof(USAGE)));
        if (!item->button.usages) return false;
        if (type == HidP_Input) {
            item->button.previous = static_cast<USAGE*>(std::calloc(max ? max : 1, sizeof(USAGE)));
            if (!item->button.previous) return false;
        }
    }
    for (USHORT i = 0; i < valueCapCount; ++i) {
        const HIDP_VALUE_CAPS& c = s.valueCaps[i];
        USAGE first = c.IsRange ? c.Range.UsageMin : c.NotRange.Usage;
        USAGE last = c.IsRange && c.Range.UsageMax >= c.Range.UsageMin ? c.Range.UsageMax : first;
        for (ULONG u = first; u <= last; ++u, ++item) {
            item->isButton = FALSE;
            item->status = HIDP_STATUS_SUCCESS;
            item->usagePage = c.UsagePage;
            item->reportId = c.ReportID;
            item->value.usage = USAGE(u);
            ++s.itemCount;
        }
    }
    return true;
}

}  // namespace

bool OpenRecord(HidSystem& sys, DeviceRecord& r, const char* path, bool read, bool write,
                bool overlapped, bool exclusive, bool getInfo) {
    r.path = CopyPath(path);
    if (!r.path) return false;
    DWORD access = (read ? GENERIC_READ : 0) | (write ? GENERIC_WRITE : 0);
    DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    r.handle = sys.Open(path, access, share, overlapped ? FILE_FLAG_OVERLAPPED : 0);
    if (r.handle == INVALID_HANDLE_VALUE || r.handle == nullptr) {
        r.handle = INVALID_HANDLE_VALUE;
        std::free(r.path);
        r.path = nullptr;
        return false;
    }
    r.openedRead = read;
    r.openedWrite = write;
    r.openedOverlapped = overlapped;
    r.openedExclusive = exclusive;
    if (!getInfo) return true;

    r.attributes.Size = sizeof r.attributes;
    bool ok = sys.GetPreparsedData(r.handle, &r.preparsed) &&
              sys.GetAttributes(r.handle, &r.attributes) &&
              sys.GetCaps(r.preparsed, &r.caps) == HIDP_STATUS_SUCCESS;
    if (!ok) {
        if (r.preparsed) sys.FreePreparsedData(r.preparsed);
        r.preparsed = nullptr;
        CloseHandleAndPath(sys, r);
        return false;
    }
    return true;
}

bool BuildDataItems(HidSystem& sys, DeviceRecord& r) {
    const HIDP_CAPS& c = r.caps;
    return BuildReportState(sys, r, HidP_Input, r.input, c.InputReportByteLength,
                            c.NumberInputButtonCaps, c.NumberInputValueCaps) &&
           BuildReportState(sys, r, HidP_Output, r.output, c.OutputReportByteLength,
                            c.NumberOutputButtonCaps, c.NumberOutputValueCaps) &&
           BuildReportState(sys, r, HidP_Feature, r.feature, c.FeatureReportByteLength,
                            c.NumberFeatureButtonCaps, c.NumberFeatureValueCaps);
}

void CloseHandleAndPath(HidSystem& sys, DeviceRecord& r) {
    if (r.handle != INVALID_HANDLE_VALUE) sys.Close(r.handle);
    r.handle = INVALID_HANDLE_VALUE;
    std::free(r.path);
    r.path = nullptr;
}

void CloseRecord(HidSystem& sys, DeviceRecord& r) {
    CloseHandleAndPath(sys, r);
    if (r.preparsed) sys.FreePreparsedData(r.preparsed);
    r.preparsed = nullptr;
    FreeReportState(r.input);
    FreeReportState(r.output);
    FreeReportState(r.feature);
}

}  // namespace vnhid
