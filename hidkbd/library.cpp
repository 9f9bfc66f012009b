// The exported functions: opening the keyboard's collections, following device arrival and
// removal, the indicator LEDs, the OS type and the shell hook.
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/handles.h"
#include "common/text.h"
#include "hidkbd/device.h"
#include "hidkbd/library.h"
#include "hidkbd/resource.h"
#include "hidkbd/rules.h"
#include "hidkbd/vnusbkbd.h"

namespace vnhid {
namespace {

constexpr DWORD kSettleMs = 1000;  // a new device settles before it is opened

struct TableEntry {
    USHORT vendorId;
    USHORT productId;
    char* name;
    const char* maker;
};

struct State {
    HWND window = nullptr;
    DeviceNode list;  // sentinel of the circular list, in order of arrival
    LONG count = 0;
    TableEntry* table = nullptr;
    LONG entries = 0;
    HHOOK hook = nullptr;
    bool hookInstalled = false;
    HDEVNOTIFY classNotification = nullptr;
    HWND classWindow = nullptr;
    DWORD settleMs = kSettleMs;
};

State& S() {
    static State s;
    if (!s.list.next) s.list.next = s.list.prev = &s.list;
    return s;
}

HDEVNOTIFY Register(HWND window, void* filter) { return System().RegisterNotification(window, filter); }

BOOL Unregister(HDEVNOTIFY h) { return System().UnregisterNotification(h); }

void ShowError(UINT id) {
    char caption[vn::kMaxText] = {};
    char text[vn::kMaxText] = {};
    LoadStringA(vn::ThisModule(), IDS_ERROR_CAPTION, caption, sizeof caption);
    LoadStringA(vn::ThisModule(), id, text, sizeof text);
    MessageBoxA(nullptr, text, caption, MB_TASKMODAL | MB_ICONWARNING);
}

LRESULT CALLBACK ShellProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && ConsumesShellEvent(code, lParam)) return 1;
    return CallNextHookEx(S().hook, code, wParam, lParam);
}

void InstallHook() {
    State& s = S();
    if (s.hookInstalled) return;
    s.hook = SetWindowsHookExA(WH_SHELL, ShellProc, vn::ThisModule(), 0);
    s.hookInstalled = s.hook != nullptr;
}

void RemoveHook() {
    State& s = S();
    if (!s.hookInstalled) return;
    if (UnhookWindowsHookEx(s.hook)) {
        s.hookInstalled = false;
        s.hook = nullptr;
    }
}

const TableEntry* MatchEntry(const HIDD_ATTRIBUTES& a) {
    State& s = S();
    for (LONG i = 0; i < s.entries; ++i) {
        if (s.table[i].vendorId == a.VendorID && s.table[i].productId == a.ProductID)
            return &s.table[i];
    }
    return nullptr;
}

// Accepted collection of a listed model: copies the model's texts into the record.
bool Accept(DeviceRecord& r) {
    if (!IsAcceptedCollection(r.caps.UsagePage, r.caps.Usage)) return false;
    const TableEntry* e = MatchEntry(r.attributes);
    if (!e) return false;
    vn::CopyTruncated(r.name, kNameChars, e->name);
    vn::CopyTruncated(r.maker, kNameChars, e->maker);
    return true;
}

HDEVNOTIFY RegisterHandle(HWND window, HANDLE h) {
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = h;
    return Register(window, &filter);
}

void Append(DeviceNode* node) {
    State& s = S();
    node->prev = s.list.prev;
    node->next = &s.list;
    s.list.prev->next = node;
    s.list.prev = node;
    ++s.count;
}

void Unlink(DeviceNode* node) {
    node->prev->next = node->next;
    node->next->prev = node->prev;
    node->next = node->prev = nullptr;
}

// Stops the reader and closes both records of a node; the caller unlinks and frees it.
void CloseNode(HidSystem& sys, DeviceNode* node) {
    StopReader(sys, *node);
    if (node->infoOpen) CloseRecord(sys, node->info);
    node->infoOpen = false;
}

void CloseAllNodes(HidSystem& sys, bool unregister) {
    State& s = S();
    while (s.list.next != &s.list && s.list.next) {
        DeviceNode* node = s.list.next;
        Unlink(node);
        if (unregister) Unregister(node->notification);
        CloseNode(sys, node);
        delete node;
    }
    s.list.next = s.list.prev = &s.list;
    s.count = 0;
}

void FreeTable() {
    State& s = S();
    for (LONG i = 0; i < s.entries; ++i) std::free(s.table[i].name);
    std::free(s.table);
    s.table = nullptr;
    s.entries = 0;
}

bool CopyTable(const VnHidDeviceEntry* table, LONG entries) {
    State& s = S();
    if (entries <= 0 || !table) return true;
    s.table = static_cast<TableEntry*>(std::calloc(size_t(entries), sizeof(TableEntry)));
    if (!s.table) return false;
    for (LONG i = 0; i < entries; ++i) {
        TableEntry& e = s.table[i];
        e.vendorId = table[i].vendorId;
        e.productId = table[i].productId;
        e.maker = table[i].maker;
        const char* name = table[i].name ? table[i].name : "";
        size_t n = std::strlen(name) + 1;
        e.name = static_cast<char*>(std::malloc(n));
        s.entries = i + 1;
        if (!e.name) return false;
        std::memcpy(e.name, name, n);
    }
    return true;
}

// The accepted, opened records of every present HID interface; false when the search fails.
bool FindKnownDevices(HidSystem& sys, DeviceRecord*& found, ULONG& foundCount) {
    found = nullptr;
    foundCount = 0;
    GUID guid;
    sys.GetHidGuid(&guid);
    HDEVINFO set = sys.GetClassDevs(&guid, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return true;  // no HID support on this system: no devices

    ULONG room = 8;
    found = new (std::nothrow) DeviceRecord[room];
    bool ok = found != nullptr;
    for (DWORD index = 0; ok; ++index) {
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof data;
        if (!sys.EnumDeviceInterfaces(set, &guid, index, &data)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS) break;
            continue;
        }
        DWORD required = 0;
        sys.GetDeviceInterfaceDetail(set, &data, nullptr, 0, &required);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
            ok = false;
            break;
        }
        auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(std::calloc(required + 1, 1));
        if (!detail) {
            ok = false;
            break;
        }
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        DeviceRecord r;
        ok = sys.GetDeviceInterfaceDetail(set, &data, detail, required, nullptr) &&
             OpenRecord(sys, r, detail->DevicePath, false, false, false, false, true);
        std::free(detail);
        if (!ok) break;
        if (!Accept(r) || !BuildDataItems(sys, r)) {
            CloseRecord(sys, r);
            continue;
        }
        if (foundCount == room) {
            auto* bigger = new (std::nothrow) DeviceRecord[room * 2];
            if (!bigger) {
                CloseRecord(sys, r);
                ok = false;
                break;
            }
            for (ULONG i = 0; i < foundCount; ++i) bigger[i] = found[i];
            delete[] found;
            found = bigger;
            room *= 2;
        }
        found[foundCount++] = r;
    }
    sys.DestroyDeviceInfoList(set);
    if (!ok && found) {
        for (ULONG i = 0; i < foundCount; ++i) CloseRecord(sys, found[i]);
        delete[] found;
        found = nullptr;
        foundCount = 0;
    }
    return ok;
}

DeviceNode* FindByHandle(HANDLE h) {
    State& s = S();
    for (DeviceNode* n = s.list.next; n != &s.list; n = n->next) {
        if (!n) {
            ShowError(IDS_ERROR_LIST_NODE);
            return nullptr;
        }
        if (n->watched == h) return n;
    }
    return nullptr;
}

bool IsListedPath(const char* path) {
    State& s = S();
    for (DeviceNode* n = s.list.next; n != &s.list; n = n->next) {
        if (!n) {
            ShowError(IDS_ERROR_LIST_NODE);
            return false;
        }
        if (n->infoOpen && n->info.path && std::strcmp(n->info.path, path) == 0) return true;
    }
    return false;
}

void Arrival(HidSystem& sys, LPARAM eventData) {
    State& s = S();
    Sleep(s.settleMs);
    if (!eventData) {
        ShowError(IDS_ERROR_LPARAM_NULL);
        return;
    }
    auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(eventData);
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
    auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(eventData);
    // The name must end inside the broadcast's own size.
    size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= nameOffset) return;
    size_t room = header->dbch_size - nameOffset;
    if (!memchr(broadcast->dbcc_name, 0, room)) return;
    const char* path = broadcast->dbcc_name;
    if (IsListedPath(path)) return;

    DeviceNode* node = new (std::nothrow) DeviceNode;
    if (!node) {
        ShowError(IDS_ERROR_MEMORY);
        return;
    }
    if (!OpenRecord(sys, node->info, path, false, false, false, false, true)) {
        ShowError(IDS_ERROR_OPEN);
        delete node;
        return;
    }
    if (!Accept(node->info)) {
        CloseRecord(sys, node->info);
        delete node;
        return;
    }
    if (!BuildDataItems(sys, node->info)) {
        CloseRecord(sys, node->info);
        delete node;
        return;
    }
    node->infoOpen = true;
    if (!StartReader(sys, *node, s.window)) {
        CloseNode(sys, node);
        delete node;
        return;
    }
    node->watched = node->info.handle;
    // Without device notifications (Windows 95, NT 4.0) the node goes without one.
    if (sys.HasDeviceNotifications()) {
        node->notification = RegisterHandle(s.window, node->info.handle);
        if (!node->notification) {
            ShowError(IDS_ERROR_REGISTER);
            CloseNode(sys, node);
            delete node;
            return;
        }
    }
    Append(node);
    InstallHook();
}

void QueryRemove(HidSystem& sys, HANDLE h) {
    State& s = S();
    DeviceNode* node = FindByHandle(h);
    if (!node) return;
    CloseNode(sys, node);
    if (s.hookInstalled && s.count == 1) RemoveHook();
}

void RemoveComplete(HidSystem& sys, HANDLE h) {
    State& s = S();
    DeviceNode* node = FindByHandle(h);
    if (!node) return;
    PostMessageA(s.window, MSG_RELEASE_NOTIFY_HANDLE, 0, reinterpret_cast<LPARAM>(node->notification));
    CloseNode(sys, node);
    Unlink(node);
    --s.count;
    delete node;
    if (s.hookInstalled && s.count == 0) RemoveHook();
}

// Packs and writes the output reports of a record whose items are not yet set, from a zeroed
// report each time.
void WriteOutput(HidSystem& sys, DeviceRecord& r, HANDLE h, bool on) {
    ReportState& out = r.output;
    for (ULONG i = 0; i < out.itemCount; ++i) {
        if (out.items[i].dataSet) continue;
        std::memset(out.buffer, 0, out.length);
        ULONG id = out.items[i].reportId;
        bool packed = true;
        for (ULONG j = i; j < out.itemCount && packed; ++j) {
            DataItem& item = out.items[j];
            if (item.reportId != id) continue;
            if (item.isButton) {
                ULONG n = item.button.maxUsageLength;
                item.status = on ? sys.SetUsages(HidP_Output, item.usagePage, 0, item.button.usages,
                                                 &n, r.preparsed, out.buffer, out.length)
                                 : sys.UnsetUsages(HidP_Output, item.usagePage, 0,
                                                   item.button.usages, &n, r.preparsed,
                                                   out.buffer, out.length);
            } else {
                item.status = sys.SetUsageValue(HidP_Output, item.usagePage, 0, item.value.usage,
                                                item.value.value, r.preparsed, out.buffer,
                                                out.length);
            }
            packed = item.status == HIDP_STATUS_SUCCESS;
        }
        if (packed) {
            for (ULONG j = i; j < out.itemCount; ++j) {
                if (out.items[j].reportId == id) out.items[j].dataSet = TRUE;
            }
        }
        DWORD written = 0;
        sys.Write(h, out.buffer, out.length, &written);
    }
}

}  // namespace

void SetSettleTime(DWORD ms) { S().settleMs = ms; }
bool ShellHookInstalled() { return S().hookInstalled; }

int ReaderThreads(HANDLE* threads, int max) {
    State& s = S();
    int n = 0;
    for (DeviceNode* d = s.list.next; d != &s.list && n < max; d = d->next) {
        if (d->reader && d->reader->thread) threads[n++] = d->reader->thread;
    }
    return n;
}

}  // namespace vnhid

using namespace vnhid;

extern "C" LONG WINAPI VnHidClose(void) {
    State& s = S();
    HidSystem& sys = System();
    RemoveHook();
    int os = VnHidGetOSType();
    CloseAllNodes(sys, os != VNHID_OS_WIN95 && os != VNHID_OS_WIN98 && os != VNHID_OS_NT4);
    FreeTable();
    s.window = nullptr;
    return 1;
}

extern "C" LONG WINAPI VnHidInit(HWND recipient, const VnHidDeviceEntry* table, LONG entries) {
    State& s = S();
    HidSystem& sys = System();
    // A second initialization starts over; the table of the first is released as well.
    if (s.count != 0 || s.window || s.table) VnHidClose();
    s.list.next = s.list.prev = &s.list;
    s.window = recipient;
    if (!CopyTable(table, entries)) {
        FreeTable();
        s.window = nullptr;
        return 0;
    }
    // Windows 95 and NT 4.0 have no device notifications: the keyboards present now are served
    // all the same, only without hot-plug notices.
    const bool notifications = sys.HasDeviceNotifications();
    DeviceRecord* found = nullptr;
    ULONG foundCount = 0;
    if (!FindKnownDevices(sys, found, foundCount)) {
        s.window = nullptr;
        return 0;
    }
    for (ULONG i = 0; i < foundCount; ++i) {
        DeviceNode* node = new (std::nothrow) DeviceNode;
        bool ok = node != nullptr;
        if (ok) {
            node->info = found[i];
            node->infoOpen = true;
            ok = StartReader(sys, *node, recipient);
            if (ok) {
                node->watched = node->info.handle;
                if (notifications) {
                    node->notification = RegisterHandle(recipient, node->info.handle);
                    ok = node->notification != nullptr;
                }
            }
        }
        if (!ok) {
            CloseAllNodes(sys, true);
            s.window = nullptr;
            for (ULONG j = node ? i + 1 : i; j < foundCount; ++j) CloseRecord(sys, found[j]);
            if (node) {
                CloseNode(sys, node);
                delete node;
            }
            delete[] found;
            return 0;
        }
        Append(node);
    }
    delete[] found;

    // One class registration per window: a re-initialization must not double every arrival.
    if (notifications && (!s.classNotification || s.classWindow != recipient)) {
        if (s.classNotification) Unregister(s.classNotification);
        DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        sys.GetHidGuid(&filter.dbcc_classguid);
        s.classNotification = Register(recipient, &filter);
        s.classWindow = s.classNotification ? recipient : nullptr;
        if (!s.classNotification) {
            CloseAllNodes(sys, true);
            s.window = nullptr;
            return 0;
        }
    }
    if (s.count != 0) InstallHook();
    return 1;
}

extern "C" void WINAPI VnHidDeviceChangeHandler(WPARAM eventType, LPARAM eventData) {
    HidSystem& sys = System();
    switch (eventType) {
    case DBT_DEVICEARRIVAL:
        Arrival(sys, eventData);
        return;
    case DBT_DEVICEQUERYREMOVE:
    case DBT_DEVICEREMOVEPENDING:
    case DBT_DEVICEREMOVECOMPLETE: {
        auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(eventData);
        if (!header || header->dbch_devicetype != DBT_DEVTYP_HANDLE) return;
        HANDLE h = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(eventData)->dbch_handle;
        if (eventType == DBT_DEVICEQUERYREMOVE) QueryRemove(sys, h);
        else RemoveComplete(sys, h);
        return;
    }
    default:
        return;
    }
}

extern "C" BOOL WINAPI VnHidUnregisterHandleHandler(WPARAM, LPARAM notification) {
    return Unregister(reinterpret_cast<HDEVNOTIFY>(notification));
}

extern "C" LONG WINAPI VnHidGetNumberDevices(void) { return S().count; }

extern "C" LONG WINAPI VnHidGetOSType(void) {
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExA(&vi)) return VNHID_OS_UNKNOWN;
    return OsTypeFromVersion(vi.dwPlatformId, vi.dwMajorVersion, vi.dwMinorVersion);
}

extern "C" LONG WINAPI VnHidSetLED(USHORT ledUsage, LONG on) {
    State& s = S();
    HidSystem& sys = System();
    int os = VnHidGetOSType();
    if (os == VNHID_OS_UNKNOWN || SystemKeepsLockLed(os, ledUsage)) return 0;
    for (DeviceNode* n = s.list.next; n != &s.list && n; n = n->next) {
        // A node closed by a query-remove has no parsing state left.
        if (!n->infoOpen || n->info.caps.OutputReportByteLength == 0) continue;
        DeviceRecord& r = n->info;
        for (ULONG i = 0; i < r.output.itemCount; ++i) {
            DataItem& item = r.output.items[i];
            if (!item.isButton) {
                item.value.value = 0;
                continue;
            }
            if (item.usagePage != 0x0008 || ledUsage < item.button.usageMin ||
                ledUsage > item.button.usageMax)
                continue;
            HANDLE h = sys.Open(r.path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
            if (h == INVALID_HANDLE_VALUE || !h) continue;
            for (ULONG k = 0; k < item.button.maxUsageLength; ++k) item.button.usages[k] = ledUsage;
            item.dataSet = FALSE;
            WriteOutput(sys, r, h, on == 1);
            sys.Close(h);
        }
    }
    return 1;
}
