#include "hidkbd/tests/fakekbd.h"

#include "common/testing/winetest.h"
#include "hidkbd/vnusbkbd.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fakekbd {
namespace {

static_assert(kSuccess == HIDP_STATUS_SUCCESS && kUsageNotFound == HIDP_STATUS_USAGE_NOT_FOUND &&
                  kIncompatibleReportId == HIDP_STATUS_INCOMPATIBLE_REPORT_ID &&
                  kButtonNotPressed == HIDP_STATUS_BUTTON_NOT_PRESSED,
              "the plain parser's status codes are the system's");

const GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace

Preparsed Preparsed::From(const Bytes& descriptor) {
    Preparsed p;
    p.collection = Collection::Parse(descriptor);
    for (int t = 0; t < 3; ++t) {
        // Button and value capabilities share these fields.
        auto fill = [&](auto& cap, const Cap& from) {
            cap.UsagePage = from.page;
            cap.ReportID = from.reportId;
            cap.IsAbsolute = from.absolute;
            cap.LinkUsage = p.collection.usage;
            cap.LinkUsagePage = p.collection.page;
            cap.IsRange = from.isRange;
            if (from.isRange) {
                cap.Range.UsageMin = from.usageMin;
                cap.Range.UsageMax = from.usageMax;
            } else {
                cap.NotRange.Usage = from.usageMin;
            }
        };
        for (const Cap& from : p.collection.buttonCaps[t]) {
            HIDP_BUTTON_CAPS bc = {};
            fill(bc, from);
            p.buttonCaps[t].push_back(bc);
        }
        for (const Cap& from : p.collection.valueCaps[t]) {
            HIDP_VALUE_CAPS vc = {};
            fill(vc, from);
            vc.BitSize = from.bitSize;
            vc.ReportCount = from.count;
            vc.LogicalMin = from.logicalMin;
            vc.LogicalMax = from.logicalMax;
            p.valueCaps[t].push_back(vc);
        }
    }
    return p;
}

FakeHid::FakeHid()
    : slots_(new Slot[kSlots]),
      stalled_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      released_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    vnhid::SetSystem(this);
}

FakeHid::~FakeHid() {
    vnhid::SetSystem(nullptr);
    CloseHandle(stalled_);
    CloseHandle(released_);
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[i].handle.load()) Close(slots_[i].handle.load());
    }
    for (int i = 0; i < ifaceCount_; ++i) {
        CloseHandle(ifaces_[i].gone);
        CloseHandle(ifaces_[i].failing);
    }
}

int FakeHid::Plug(const std::string& path, USHORT vendor, USHORT product, const Bytes& descriptor) {
    if (ifaceCount_ == kInterfaces) std::abort();  // a test plugged in more than the fake holds
    int i = ifaceCount_++;
    Interface& f = ifaces_[i];
    f.path = path;
    f.vendor = vendor;
    f.product = product;
    f.data = Preparsed::From(descriptor);
    f.gone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    f.failing = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    f.present = true;
    return i;
}

int FakeHid::PlugKeyboard(USHORT product, int instance) {
    char path[200];
    int first = -1;
    const Bytes descriptors[3] = {KeyboardDescriptor(), ConsumerDescriptor(), VendorDescriptor()};
    for (int col = 1; col <= 3; ++col) {
        std::snprintf(path, sizeof path,
                      "\\\\?\\hid#vid_%04x&pid_%04x&col%02d#7&2f1c3b4a&%d&%04d#"
                      "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                      kVendor, product, col, instance, col - 1);
        int i = Plug(path, kVendor, product, descriptors[col - 1]);
        if (first < 0) first = i;
    }
    return first;
}

void FakeHid::Unplug(int iface) {
    ifaces_[iface].present = false;
    SetEvent(ifaces_[iface].gone);
}

HANDLE FakeHid::InfoHandle(int iface) const {
    HANDLE last = nullptr;
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[i].handle.load() && slots_[i].iface == iface && slots_[i].access == 0)
            last = slots_[i].handle.load();
    }
    return last;
}

void FakeHid::Feed(int iface, const Bytes& report) {
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = slots_[i];
        if (!s.handle.load() || s.iface != iface || !(s.access & GENERIC_READ)) continue;
        LONG h = s.head.load();
        if (h - s.tail.load() >= kRing) continue;  // a full queue drops the report, as HID does
        DWORD n = DWORD(std::min<size_t>(report.size(), kMaxReport));
        std::memcpy(s.data[h % kRing], report.data(), n);
        s.size[h % kRing] = n;
        s.head.store(h + 1);
        ReleaseSemaphore(s.reports, 1, nullptr);
    }
}

void FakeHid::SetReadsFail(int iface, bool fail) {
    ifaces_[iface].failReads = fail;
    if (fail) SetEvent(ifaces_[iface].failing);
    else ResetEvent(ifaces_[iface].failing);
}

int FakeHid::ReadersWaiting(int iface) const {
    int n = 0;
    for (int i = 0; i < kSlots; ++i) {
        const Slot& s = slots_[i];
        // A report still queued wakes the reader at once: it is not idle yet.
        if (s.handle.load() && s.iface == iface && s.head.load() == s.tail.load()) n += s.waiting.load();
    }
    return n;
}

FakeHid::Slot* FakeHid::Find(HANDLE h) const {
    if (!h) return nullptr;
    for (int i = 0; i < kSlots; ++i)
        if (slots_[i].handle.load() == h) return &slots_[i];
    return nullptr;
}

void FakeHid::GetHidGuid(GUID* guid) { *guid = kHidGuid; }

struct Snapshot {
    std::vector<int> ifaces;
};

HDEVINFO FakeHid::GetClassDevs(const GUID* guid, DWORD flags) {
    auto* s = new Snapshot;
    for (int i = 0; i < ifaceCount_; ++i)
        if (ifaces_[i].present) s->ifaces.push_back(i);
    return reinterpret_cast<HDEVINFO>(s);
}

BOOL FakeHid::EnumDeviceInterfaces(HDEVINFO set, const GUID* guid, DWORD index,
                                   SP_DEVICE_INTERFACE_DATA* data) {
    auto* s = reinterpret_cast<Snapshot*>(set);
    if (!data || data->cbSize != sizeof *data) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (index >= s->ifaces.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = kHidGuid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = ULONG_PTR(s->ifaces[index]);
    return TRUE;
}

BOOL FakeHid::GetDeviceInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                       SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD size,
                                       DWORD* required) {
    const std::string& path = ifaces_[int(data->Reserved)].path;
    DWORD needed = DWORD(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
    if (required) *required = needed;
    if (!detail || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    return TRUE;
}

BOOL FakeHid::DestroyDeviceInfoList(HDEVINFO set) {
    delete reinterpret_cast<Snapshot*>(set);
    return TRUE;
}

HANDLE FakeHid::Open(const char* path, DWORD access, DWORD share, DWORD flags) {
    for (int i = 0; i < ifaceCount_; ++i) {
        Interface& f = ifaces_[i];
        if (!f.present || f.openFails || lstrcmpiA(f.path.c_str(), path) != 0) continue;
        for (int k = 0; k < kSlots; ++k) {
            Slot& s = slots_[k];
            if (s.handle.load()) continue;
            s.iface = i;
            s.access = access;
            s.head = 0;
            s.tail = 0;
            s.reports = CreateSemaphoreA(nullptr, 0, kRing, nullptr);
            ++openHandles_;
            s.handle.store(CreateEventA(nullptr, TRUE, FALSE, nullptr));
            return s.handle.load();
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL FakeHid::Read(HANDLE h, void* buffer, DWORD length, DWORD* done) {
    // Runs on reader threads that may be terminated here: no allocation, no lock.
    *done = 0;
    Slot* s = Find(h);
    if (!s || !(s->access & GENERIC_READ)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Interface& f = ifaces_[s->iface];
    ++f.readCalls;
    if (f.failReads) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    HANDLE waits[3] = {s->reports, f.gone, f.failing};
    ++s->waiting;
    DWORD r = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
    --s->waiting;
    if (r != WAIT_OBJECT_0) {
        SetLastError(r == WAIT_OBJECT_0 + 1 ? ERROR_DEVICE_NOT_CONNECTED : ERROR_GEN_FAILURE);
        return FALSE;
    }
    LONG t = s->tail.load();
    DWORD n = std::min<DWORD>(s->size[t % kRing], length);
    std::memcpy(buffer, s->data[t % kRing], n);
    s->tail.store(t + 1);
    *done = n;
    return TRUE;
}

BOOL FakeHid::Write(HANDLE h, const void* buffer, DWORD length, DWORD* done) {
    *done = 0;
    Slot* s = Find(h);
    if (!s || !(s->access & GENERIC_WRITE)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Interface& f = ifaces_[s->iface];
    if (!f.present) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    if (length != f.data.collection.length[HidP_Output]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* p = static_cast<const std::uint8_t*>(buffer);
    f.outputs.emplace_back(p, p + length);
    *done = length;
    return TRUE;
}

BOOL FakeHid::Close(HANDLE h) {
    Slot* s = Find(h);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    CloseHandle(s->reports);
    s->reports = nullptr;
    s->handle.store(nullptr);
    --openHandles_;
    return CloseHandle(h);
}

BOOLEAN FakeHid::GetPreparsedData(HANDLE h, PHIDP_PREPARSED_DATA* data) {
    Slot* s = Find(h);
    if (!s) return FALSE;
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[s->iface].data);
    ++preparsed_;
    ++ifaces_[s->iface].parsed;
    return TRUE;
}

BOOLEAN FakeHid::FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    --preparsed_;
    for (int i = 0; i < ifaceCount_; ++i)
        if (data == reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[i].data)) --ifaces_[i].parsed;
    return TRUE;
}

FakeHid::Interface* FakeHid::Live(PHIDP_PREPARSED_DATA data) {
    for (int i = 0; i < ifaceCount_; ++i) {
        if (data != reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[i].data)) continue;
        if (ifaces_[i].parsed.load() > 0) return &ifaces_[i];
        break;
    }
    ++staleParses_;
    return nullptr;
}

void FakeHid::StallNextParse(int iface) {
    ResetEvent(stalled_);
    ResetEvent(released_);
    stallIface_.store(iface);
}

bool FakeHid::WaitStalled(DWORD ms) { return WaitForSingleObject(stalled_, vntest::Scaled(ms)) == WAIT_OBJECT_0; }

void FakeHid::ReleaseParse() { SetEvent(released_); }

bool FakeHid::HasDeviceNotifications() {
    LONG os = VnHidGetOSType();
    return os != VNHID_OS_WIN95 && os != VNHID_OS_NT4;
}

HDEVNOTIFY FakeHid::RegisterNotification(HWND window, void* filter) {
    if (!HasDeviceNotifications() || notificationsFail_) return nullptr;
    return RegisterDeviceNotificationA(window, filter, 0);
}

BOOL FakeHid::UnregisterNotification(HDEVNOTIFY handle) {
    return handle && HasDeviceNotifications() ? UnregisterDeviceNotification(handle) : FALSE;
}

BOOLEAN FakeHid::GetAttributes(HANDLE h, HIDD_ATTRIBUTES* a) {
    Slot* s = Find(h);
    if (!s) return FALSE;
    a->VendorID = ifaces_[s->iface].vendor;
    a->ProductID = ifaces_[s->iface].product;
    a->VersionNumber = 0x0110;
    return TRUE;
}

NTSTATUS FakeHid::GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) {
    const Collection& c = C(data);
    *caps = HIDP_CAPS{};
    caps->UsagePage = c.page;
    caps->Usage = c.usage;
    caps->InputReportByteLength = c.length[HidP_Input];
    caps->OutputReportByteLength = c.length[HidP_Output];
    caps->FeatureReportByteLength = c.length[HidP_Feature];
    caps->NumberLinkCollectionNodes = 1;
    caps->NumberInputButtonCaps = USHORT(c.buttonCaps[HidP_Input].size());
    caps->NumberInputValueCaps = USHORT(c.valueCaps[HidP_Input].size());
    caps->NumberOutputButtonCaps = USHORT(c.buttonCaps[HidP_Output].size());
    caps->NumberOutputValueCaps = USHORT(c.valueCaps[HidP_Output].size());
    caps->NumberFeatureButtonCaps = USHORT(c.buttonCaps[HidP_Feature].size());
    caps->NumberFeatureValueCaps = USHORT(c.valueCaps[HidP_Feature].size());
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* count,
                                PHIDP_PREPARSED_DATA data) {
    const auto& v = Of(data)->buttonCaps[type];
    USHORT n = std::min<USHORT>(*count, USHORT(v.size()));
    std::copy(v.begin(), v.begin() + n, caps);
    *count = n;
    return n < v.size() ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* count,
                               PHIDP_PREPARSED_DATA data) {
    const auto& v = Of(data)->valueCaps[type];
    USHORT n = std::min<USHORT>(*count, USHORT(v.size()));
    std::copy(v.begin(), v.begin() + n, caps);
    *count = n;
    return n < v.size() ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

ULONG FakeHid::MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE page, PHIDP_PREPARSED_DATA data) {
    return fakekbd::MaxUsageListLength(C(data), ReportType(type), page);
}

NTSTATUS FakeHid::GetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE* list, ULONG* length,
                            PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) {
    Interface* f = Live(data);
    if (!f) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (stallIface_.load() == int(f - ifaces_)) {
        stallIface_.store(-1);
        SetEvent(stalled_);
        WaitForSingleObject(released_, INFINITE);
    }
    std::uint32_t n = *length;
    NTSTATUS st = fakekbd::GetUsages(C(data), ReportType(type), page, list, &n, report, reportLength);
    *length = n;
    return st;
}

NTSTATUS FakeHid::UsageListDifference(USAGE* previous, USAGE* current, USAGE* breaks, USAGE* makes,
                                      ULONG length) {
    return fakekbd::UsageListDifference(previous, current, breaks, makes, length);
}

NTSTATUS FakeHid::GetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE usage,
                                ULONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                ULONG reportLength) {
    if (!Live(data)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    std::uint32_t v = 0;
    NTSTATUS st = fakekbd::GetUsageValue(C(data), ReportType(type), page, usage, &v, report, reportLength);
    if (st == HIDP_STATUS_SUCCESS) *value = v;
    return st;
}

NTSTATUS FakeHid::GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                      LONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                      ULONG reportLength) {
    if (!Live(data)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    std::int32_t v = 0;
    NTSTATUS st = fakekbd::GetScaledUsageValue(C(data), ReportType(type), page, usage, &v, report, reportLength);
    if (st == HIDP_STATUS_SUCCESS) *value = v;
    return st;
}

NTSTATUS FakeHid::SetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE* list, ULONG* length,
                            PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) {
    return fakekbd::SetUsages(C(data), ReportType(type), page, list, *length, report, reportLength);
}

NTSTATUS FakeHid::UnsetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE* list,
                              ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                              ULONG reportLength) {
    return fakekbd::UnsetUsages(C(data), ReportType(type), page, list, *length, report, reportLength);
}

NTSTATUS FakeHid::SetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE usage, ULONG value,
                                PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) {
    return fakekbd::SetUsageValue(C(data), ReportType(type), page, usage, value, report, reportLength);
}

}  // namespace fakekbd
