// A scripted keyboard behind the library's HID door: HID interfaces described by real report
// descriptors, decoded bit by bit the way the descriptor lays them out. Tests plug interfaces in,
// feed input reports, make reads fail, unplug them and read back the output reports written.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hidkbd/hidsystem.h"
#include "hidkbd/tests/hidparser.h"

namespace fakekbd {

// What an interface's preparsed data stands for: its collection and the capabilities in the
// system's form.
struct Preparsed {
    Collection collection;
    std::vector<HIDP_BUTTON_CAPS> buttonCaps[3];
    std::vector<HIDP_VALUE_CAPS> valueCaps[3];
    static Preparsed From(const Bytes& descriptor);
};

// The models the keyboard comes as.
constexpr USHORT kVendor = 0x2A7E;
constexpr USHORT kProductUsb = 0x5A01;
constexpr USHORT kProductPs2Combo = 0x5A02;

class FakeHid final : public vnhid::HidSystem {
public:
    FakeHid();   // installs itself as the library's HID system
    ~FakeHid() override;

    // Plugs in one HID interface; returns its index.
    int Plug(const std::string& path, USHORT vendor, USHORT product, const Bytes& descriptor);
    // A whole keyboard (keyboard, consumer and vendor collections); returns the first index.
    int PlugKeyboard(USHORT product, int instance = 0);
    void Unplug(int iface);
    const std::string& Path(int iface) const { return ifaces_[iface].path; }
    // The handle the library holds without access rights (the one it registers notifications for).
    HANDLE InfoHandle(int iface) const;

    void Feed(int iface, const Bytes& report);
    void SetReadsFail(int iface, bool fail);
    void SetOpenFails(int iface, bool fail) { ifaces_[iface].openFails = fail; }
    LONG ReadCalls(int iface) const { return ifaces_[iface].readCalls; }
    std::vector<Bytes> Outputs(int iface) const { return ifaces_[iface].outputs; }
    int OpenHandles() const { return openHandles_; }
    // Readers blocked in a read with no report queued for them: done with all that was fed.
    int ReadersWaiting(int iface) const;
    int OutstandingPreparsed() const { return preparsed_; }
    // Parser calls made with preparsed data that had already been freed.
    LONG StaleParses() const { return staleParses_; }
    // The next parse of the interface's reports waits, inside the parser, until released.
    void StallNextParse(int iface);
    bool WaitStalled(DWORD ms);
    void ReleaseParse();
    // Handle registrations that the system refuses.
    void SetNotificationsFail(bool fail) { notificationsFail_ = fail; }

    // HidSystem
    void GetHidGuid(GUID* guid) override;
    HDEVINFO GetClassDevs(const GUID* guid, DWORD flags) override;
    BOOL EnumDeviceInterfaces(HDEVINFO set, const GUID* guid, DWORD index,
                              SP_DEVICE_INTERFACE_DATA* data) override;
    BOOL GetDeviceInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                  SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD size,
                                  DWORD* required) override;
    BOOL DestroyDeviceInfoList(HDEVINFO set) override;
    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD flags) override;
    BOOL Read(HANDLE h, void* buffer, DWORD length, DWORD* done) override;
    BOOL Write(HANDLE h, const void* buffer, DWORD length, DWORD* done) override;
    BOOL Close(HANDLE h) override;
    BOOLEAN GetPreparsedData(HANDLE h, PHIDP_PREPARSED_DATA* data) override;
    BOOLEAN FreePreparsedData(PHIDP_PREPARSED_DATA data) override;
    BOOLEAN GetAttributes(HANDLE h, HIDD_ATTRIBUTES* attributes) override;
    NTSTATUS GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) override;
    NTSTATUS GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* count,
                           PHIDP_PREPARSED_DATA data) override;
    NTSTATUS GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* count,
                          PHIDP_PREPARSED_DATA data) override;
    ULONG MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE page, PHIDP_PREPARSED_DATA data) override;
    NTSTATUS GetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list, ULONG* length,
                       PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) override;
    NTSTATUS UsageListDifference(USAGE* previous, USAGE* current, USAGE* breaks, USAGE* makes,
                                 ULONG length) override;
    NTSTATUS GetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                           ULONG* value, PHIDP_PREPARSED_DATA data, char* report,
                           ULONG reportLength) override;
    NTSTATUS GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                 LONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                 ULONG reportLength) override;
    NTSTATUS SetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list, ULONG* length,
                       PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) override;
    NTSTATUS UnsetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list,
                         ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                         ULONG reportLength) override;
    NTSTATUS SetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                           ULONG value, PHIDP_PREPARSED_DATA data, char* report,
                           ULONG reportLength) override;
    // Missing, as on Windows 95 and NT 4.0, when the reported version is one of those.
    bool HasDeviceNotifications() override;
    HDEVNOTIFY RegisterNotification(HWND window, void* filter) override;
    BOOL UnregisterNotification(HDEVNOTIFY handle) override;

private:
    static constexpr int kInterfaces = 96;
    static constexpr int kSlots = 64;
    static constexpr int kRing = 64;
    static constexpr int kMaxReport = 64;

    struct Interface {
        std::string path;
        USHORT vendor = 0, product = 0;
        Preparsed data;
        bool present = false;
        bool openFails = false;
        std::atomic<bool> failReads{false};
        HANDLE gone = nullptr;      // manual reset: set when unplugged
        HANDLE failing = nullptr;   // manual reset: set while reads are made to fail
        std::atomic<LONG> readCalls{0};
        std::atomic<LONG> parsed{0};  // preparsed data handed out and not yet freed
        std::vector<Bytes> outputs;
    };
    // An open handle. Readers find their slot without locks: slots change only on the test's
    // thread, and a reader's slot lives until its handle is closed after the reader is gone.
    struct Slot {
        std::atomic<HANDLE> handle{nullptr};
        int iface = -1;
        DWORD access = 0;
        HANDLE reports = nullptr;  // semaphore counting queued reports
        std::atomic<LONG> head{0}, tail{0};
        std::atomic<LONG> waiting{0};
        std::uint8_t data[kRing][kMaxReport];
        DWORD size[kRing];
    };

    Slot* Find(HANDLE h) const;
    const Preparsed* Of(PHIDP_PREPARSED_DATA data) const { return reinterpret_cast<const Preparsed*>(data); }
    const Collection& C(PHIDP_PREPARSED_DATA data) const { return Of(data)->collection; }
    // The interface whose preparsed data this is; counts a use of freed data.
    Interface* Live(PHIDP_PREPARSED_DATA data);

    Interface ifaces_[kInterfaces];
    int ifaceCount_ = 0;
    std::unique_ptr<Slot[]> slots_;
    int openHandles_ = 0;
    int preparsed_ = 0;
    std::atomic<LONG> staleParses_{0};
    std::atomic<int> stallIface_{-1};
    HANDLE stalled_ = nullptr, released_ = nullptr;
    bool notificationsFail_ = false;
};

}  // namespace fakekbd
