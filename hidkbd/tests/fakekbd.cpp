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

const GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

ULONG GetBits(const char* report, ULONG offset, USHORT size) {
    ULONG v = 0;
    for (USHORT i = 0; i < size; ++i) {
        ULONG bit = offset + i;
        if ((static_cast<std::uint8_t>(report[bit / 8]) >> (bit % 8)) & 1) v |= 1ul << i;
    }
    return v;
}

void SetBits(char* report, ULONG offset, USHORT size, ULONG v) {
    for (USHORT i = 0; i < size; ++i) {
        ULONG bit = offset + i;
        char mask = char(1 << (bit % 8));
        if ((v >> i) & 1) report[bit / 8] |= mask;
        else report[bit / 8] &= char(~mask);
    }
}

LONG Signed(ULONG v, USHORT size) {
    if (size < 32 && (v >> (size - 1)) & 1) return LONG(v | (~0ul << size));
    return LONG(v);
}

bool Holds(const Field& f, USAGE u) {
    if (f.isRange) return u >= f.usageMin && u <= f.usageMax;
    for (USAGE x : f.usages)
        if (x == u) return true;
    return false;
}

// The last button field of the report type and page that holds usage u (null: none).
const Field* ButtonField(const Collection& c, HIDP_REPORT_TYPE type, USAGE page, USAGE u) {
    const Field* field = nullptr;
    for (const Field& f : c.fields)
        if (f.type == type && f.isButton && f.page == page && Holds(f, u)) field = &f;
    return field;
}

// Index of usage u within a variable field.
ULONG IndexOf(const Field& f, USAGE u) {
    if (f.isRange) return ULONG(u - f.usageMin);
    for (size_t i = 0; i < f.usages.size(); ++i)
        if (f.usages[i] == u) return ULONG(i);
    return 0;
}

bool ClaimReportId(char* report, UCHAR id) {
    if (report[0] == 0) report[0] = char(id);
    return UCHAR(report[0]) == id;
}

}  // namespace

Collection Collection::Parse(const Bytes& d) {
    Collection c;
    USAGE page = 0;
    LONG logMin = 0, logMax = 0;
    USHORT size = 0, count = 0;
    UCHAR id = 0;
    std::vector<USAGE> usages;
    bool haveMin = false, haveMax = false;
    USAGE usageMin = 0, usageMax = 0;
    ULONG bits[3][256] = {};
    int depth = 0;
    for (size_t i = 0; i < d.size();) {
        std::uint8_t prefix = d[i];
        int n = prefix & 3;
        if (n == 3) n = 4;
        int type = (prefix >> 2) & 3, tag = prefix >> 4;
        ULONG u = 0;
        for (int k = 0; k < n && i + 1 + k < d.size(); ++k) u |= ULONG(d[i + 1 + k]) << (8 * k);
        LONG s = n == 1 ? LONG(std::int8_t(u)) : n == 2 ? LONG(std::int16_t(u)) : LONG(u);
        i += 1 + n;
        if (type == 1) {  // global
            switch (tag) {
            case 0: page = USAGE(u); break;
            case 1: logMin = s; break;
            case 2: logMax = s; break;
            case 7: size = USHORT(u); break;
            case 8: id = UCHAR(u); break;
            case 9: count = USHORT(u); break;
            }
        } else if (type == 2) {  // local
            if (tag == 0) usages.push_back(USAGE(u));
            if (tag == 1) { usageMin = USAGE(u); haveMin = true; }
            if (tag == 2) { usageMax = USAGE(u); haveMax = true; }
        } else if (type == 0) {  // main
            if (tag == 0xA) {
                if (depth++ == 0 && !usages.empty()) {
                    c.page = page;
                    c.usage = usages.front();
                }
            } else if (tag == 0xC) {
                --depth;
            } else if (tag == 0x8 || tag == 0x9 || tag == 0xB) {
                HIDP_REPORT_TYPE rt = tag == 0x8 ? HidP_Input : tag == 0x9 ? HidP_Output : HidP_Feature;
                ULONG& at = bits[rt][id];
                if (!(u & 1)) {  // data, not padding
                    Field f{};
                    f.type = rt;
                    f.reportId = id;
                    f.page = page;
                    f.isArray = !(u & 2);
                    f.relative = (u & 4) != 0;
                    f.isButton = f.isArray || (size == 1 && logMin == 0 && logMax == 1);
                    f.isRange = haveMin && haveMax;
                    f.usageMin = usageMin;
                    f.usageMax = usageMax;
                    f.usages = usages;
                    f.bitOffset = 8 + at;
                    f.size = size;
                    f.count = count;
                    f.logicalMin = logMin;
                    f.logicalMax = logMax;
                    c.fields.push_back(f);
                }
                at += ULONG(size) * count;
            }
            usages.clear();
            haveMin = haveMax = false;
        }
    }
    for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 256; ++r)
            if (bits[t][r]) c.length[t] = std::max<USHORT>(c.length[t], USHORT(1 + (bits[t][r] + 7) / 8));
    }
    for (const Field& f : c.fields) {
        // Button and value capabilities share these fields.
        auto fill = [&](auto& cap, bool range, USAGE a, USAGE b) {
            cap.UsagePage = f.page;
            cap.ReportID = f.reportId;
            cap.IsAbsolute = !f.relative;
            cap.LinkUsage = c.usage;
            cap.LinkUsagePage = c.page;
            cap.IsRange = range;
            if (range) { cap.Range.UsageMin = a; cap.Range.UsageMax = b; }
            else cap.NotRange.Usage = a;
        };
        auto addButton = [&](bool range, USAGE a, USAGE b) {
            HIDP_BUTTON_CAPS bc = {};
            fill(bc, range, a, b);
            c.buttonCaps[f.type].push_back(bc);
        };
        auto addValue = [&](bool range, USAGE a, USAGE b) {
            HIDP_VALUE_CAPS vc = {};
            fill(vc, range, a, b);
            vc.BitSize = f.size;
            vc.ReportCount = f.count;
            vc.LogicalMin = f.logicalMin;
            vc.LogicalMax = f.logicalMax;
            c.valueCaps[f.type].push_back(vc);
        };
        if (f.isRange) {
            if (f.isButton) addButton(true, f.usageMin, f.usageMax);
            else addValue(true, f.usageMin, f.usageMax);
        } else {
            for (USAGE u : f.usages) {
                if (f.isButton) addButton(false, u, u);
                else addValue(false, u, u);
            }
        }
    }
    return c;
}

Bytes KeyboardDescriptor() {
    return {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x04,
            0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
            0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
            0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
            0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02,
            0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0xC0};
}

Bytes ConsumerDescriptor() {
    return {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
            // two array slots: 1..59 stand for usages 0xB0..0xEA
            0x19, 0xB0, 0x29, 0xEA, 0x15, 0x01, 0x25, 0x3B, 0x75, 0x08, 0x95, 0x02, 0x81, 0x00,
            // eight launch keys, one bit each
            0x0A, 0x83, 0x01, 0x0A, 0x8A, 0x01, 0x0A, 0x92, 0x01, 0x0A, 0x94, 0x01,
            0x0A, 0x23, 0x02, 0x0A, 0x24, 0x02, 0x0A, 0x25, 0x02, 0x0A, 0x2A, 0x02,
            0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
            // volume dial, relative -64..63
            0x09, 0xE0, 0x15, 0xC0, 0x25, 0x3F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xC0};
}

Bytes VendorDescriptor() {
    return {0x06, 0x7F, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02,
            0x05, 0x09, 0x19, 0x02, 0x29, 0x08, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x07, 0x81, 0x02,
            0x95, 0x01, 0x75, 0x01, 0x81, 0x01,
            0x85, 0x03, 0x05, 0x08, 0x19, 0x01, 0x29, 0x03, 0x95, 0x03, 0x75, 0x01, 0x91, 0x02,
            0x09, 0x19, 0x09, 0x27, 0x95, 0x02, 0x91, 0x02, 0x95, 0x03, 0x91, 0x01, 0xC0};
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
    f.collection = Collection::Parse(descriptor);
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
        if (slots_[i].handle.load() && slots_[i].iface == iface) n += slots_[i].waiting.load();
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
    if (length != f.collection.length[HidP_Output]) {
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
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[s->iface].collection);
    ++preparsed_;
    ++ifaces_[s->iface].parsed;
    return TRUE;
}

BOOLEAN FakeHid::FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    --preparsed_;
    for (int i = 0; i < ifaceCount_; ++i)
        if (data == reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[i].collection)) --ifaces_[i].parsed;
    return TRUE;
}

FakeHid::Interface* FakeHid::Live(PHIDP_PREPARSED_DATA data) {
    for (int i = 0; i < ifaceCount_; ++i) {
        if (data != reinterpret_cast<PHIDP_PREPARSED_DATA>(&ifaces_[i].collection)) continue;
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
    const Collection* c = Of(data);
    *caps = HIDP_CAPS{};
    caps->UsagePage = c->page;
    caps->Usage = c->usage;
    caps->InputReportByteLength = c->length[HidP_Input];
    caps->OutputReportByteLength = c->length[HidP_Output];
    caps->FeatureReportByteLength = c->length[HidP_Feature];
    caps->NumberLinkCollectionNodes = 1;
    caps->NumberInputButtonCaps = USHORT(c->buttonCaps[HidP_Input].size());
    caps->NumberInputValueCaps = USHORT(c->valueCaps[HidP_Input].size());
    caps->NumberOutputButtonCaps = USHORT(c->buttonCaps[HidP_Output].size());
    caps->NumberOutputValueCaps = USHORT(c->valueCaps[HidP_Output].size());
    caps->NumberFeatureButtonCaps = USHORT(c->buttonCaps[HidP_Feature].size());
    caps->NumberFeatureValueCaps = USHORT(c->valueCaps[HidP_Feature].size());
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
    ULONG n = 0;
    for (const Field& f : Of(data)->fields)
        if (f.type == type && f.isButton && (page == 0 || f.page == page)) n += f.count;
    return n;
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
    const Collection* c = Of(data);
    if (reportLength != c->length[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    UCHAR id = UCHAR(report[0]);
    bool pageFound = false, idFound = false, tooSmall = false;
    ULONG n = 0;
    auto add = [&](ULONG u) {
        if (u == 0) return;
        if (n < *length) list[n++] = USAGE(u);
        else tooSmall = true;
    };
    for (const Field& f : c->fields) {
        if (f.type != type || !f.isButton || f.page != page) continue;
        pageFound = true;
        if (f.reportId != id) continue;
        idFound = true;
        for (USHORT k = 0; k < f.count; ++k) {
            ULONG v = GetBits(report, f.bitOffset + ULONG(k) * f.size, f.size);
            if (f.isArray) {
                LONG sv = f.logicalMin < 0 ? Signed(v, f.size) : LONG(v);
                if (sv < f.logicalMin || sv > f.logicalMax) continue;  // the null value
                ULONG u = f.usageMin + ULONG(sv - f.logicalMin);
                if (u <= f.usageMax) add(u);
            } else if (v) {
                if (f.isRange) add(f.usageMin + k <= f.usageMax ? f.usageMin + k : 0);
                else add(f.usages.empty() ? 0 : f.usages[std::min<size_t>(k, f.usages.size() - 1)]);
            }
        }
    }
    if (!pageFound) return HIDP_STATUS_USAGE_NOT_FOUND;
    if (!idFound) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
    *length = n;
    return tooSmall ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::UsageListDifference(USAGE* previous, USAGE* current, USAGE* breaks, USAGE* makes,
                                      ULONG length) {
    auto contains = [length](const USAGE* l, USAGE u) {
        for (ULONG i = 0; i < length && l[i]; ++i)
            if (l[i] == u) return true;
        return false;
    };
    ULONG b = 0, m = 0;
    for (ULONG i = 0; i < length && previous[i]; ++i)
        if (!contains(current, previous[i])) breaks[b++] = previous[i];
    for (ULONG i = 0; i < length && current[i]; ++i)
        if (!contains(previous, current[i])) makes[m++] = current[i];
    for (; b < length; ++b) breaks[b] = 0;
    for (; m < length; ++m) makes[m] = 0;
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::GetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE usage,
                                ULONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                ULONG reportLength) {
    if (!Live(data)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    const Collection* c = Of(data);
    if (reportLength != c->length[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    for (const Field& f : c->fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        if (f.reportId != UCHAR(report[0])) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
        *value = GetBits(report, f.bitOffset + IndexOf(f, usage) * f.size, f.size);
        return HIDP_STATUS_SUCCESS;
    }
    return HIDP_STATUS_USAGE_NOT_FOUND;
}

NTSTATUS FakeHid::GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                      LONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                      ULONG reportLength) {
    ULONG raw = 0;
    NTSTATUS st = GetUsageValue(type, page, link, usage, &raw, data, report, reportLength);
    if (st != HIDP_STATUS_SUCCESS) return st;
    for (const Field& f : Of(data)->fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        LONG v = f.logicalMin < 0 ? Signed(raw, f.size) : LONG(raw);
        if (v < f.logicalMin || v > f.logicalMax) return HIDP_STATUS_VALUE_OUT_OF_RANGE;
        *value = v;
        return HIDP_STATUS_SUCCESS;
    }
    return HIDP_STATUS_USAGE_NOT_FOUND;
}

NTSTATUS FakeHid::SetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE* list, ULONG* length,
                            PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) {
    const Collection* c = Of(data);
    if (reportLength != c->length[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    for (ULONG i = 0; i < *length; ++i) {
        USAGE u = list[i];
        if (u == 0) continue;
        const Field* field = ButtonField(*c, type, page, u);
        if (!field) return HIDP_STATUS_USAGE_NOT_FOUND;
        if (!ClaimReportId(report, field->reportId)) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
        if (!field->isArray) {
            SetBits(report, field->bitOffset + IndexOf(*field, u), 1, 1);
            continue;
        }
        bool placed = false;
        for (USHORT k = 0; k < field->count && !placed; ++k) {
            ULONG off = field->bitOffset + ULONG(k) * field->size;
            LONG v = LONG(GetBits(report, off, field->size));
            if (v >= field->logicalMin && v <= field->logicalMax) continue;
            SetBits(report, off, field->size, ULONG(field->logicalMin + (u - field->usageMin)));
            placed = true;
        }
        if (!placed) return HIDP_STATUS_BUFFER_TOO_SMALL;
    }
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::UnsetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE* list,
                              ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                              ULONG reportLength) {
    const Collection* c = Of(data);
    if (reportLength != c->length[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    for (ULONG i = 0; i < *length; ++i) {
        USAGE u = list[i];
        if (u == 0) continue;
        const Field* field = ButtonField(*c, type, page, u);
        if (!field) return HIDP_STATUS_USAGE_NOT_FOUND;
        if (!ClaimReportId(report, field->reportId)) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
        if (field->isArray) return HIDP_STATUS_BUTTON_NOT_PRESSED;
        ULONG off = field->bitOffset + IndexOf(*field, u);
        if (!GetBits(report, off, 1)) return HIDP_STATUS_BUTTON_NOT_PRESSED;
        SetBits(report, off, 1, 0);
    }
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS FakeHid::SetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT, USAGE usage, ULONG value,
                                PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) {
    const Collection* c = Of(data);
    if (reportLength != c->length[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    for (const Field& f : c->fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        if (!ClaimReportId(report, f.reportId)) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
        SetBits(report, f.bitOffset + IndexOf(f, usage) * f.size, f.size, value);
        return HIDP_STATUS_SUCCESS;
    }
    return HIDP_STATUS_USAGE_NOT_FOUND;
}

}  // namespace fakekbd
