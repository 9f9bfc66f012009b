// The narrow door between the keyboard library and the HID class driver, the device-interface
// enumeration and the device handles. The library calls only these; the default implementation
// forwards to the system (hid.dll and setupapi.dll, loaded at run time because Windows 95 and
// NT 4.0 may lack them), and tests put a scripted keyboard in its place.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <hidsdi.h>

namespace vnhid {

class HidSystem {
public:
    virtual ~HidSystem() = default;

    // Device-interface enumeration of the HID class.
    virtual void GetHidGuid(GUID* guid) = 0;
    virtual HDEVINFO GetClassDevs(const GUID* guid, DWORD flags) = 0;
    virtual BOOL EnumDeviceInterfaces(HDEVINFO set, const GUID* guid, DWORD index,
                                      SP_DEVICE_INTERFACE_DATA* data) = 0;
    virtual BOOL GetDeviceInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD size,
                                          DWORD* required) = 0;
    virtual BOOL DestroyDeviceInfoList(HDEVINFO set) = 0;

    // Device handles. Read blocks until a report arrives; the reader threads call it and may be
    // terminated inside it.
    virtual HANDLE Open(const char* path, DWORD access, DWORD share, DWORD flags) = 0;
    virtual BOOL Read(HANDLE h, void* buffer, DWORD length, DWORD* done) = 0;
    virtual BOOL Write(HANDLE h, const void* buffer, DWORD length, DWORD* done) = 0;
    virtual BOOL Close(HANDLE h) = 0;

    // HID class driver and report parser.
    virtual BOOLEAN GetPreparsedData(HANDLE h, PHIDP_PREPARSED_DATA* data) = 0;
    virtual BOOLEAN FreePreparsedData(PHIDP_PREPARSED_DATA data) = 0;
    virtual BOOLEAN GetAttributes(HANDLE h, HIDD_ATTRIBUTES* attributes) = 0;
    virtual NTSTATUS GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) = 0;
    virtual NTSTATUS GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* count,
                                   PHIDP_PREPARSED_DATA data) = 0;
    virtual NTSTATUS GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* count,
                                  PHIDP_PREPARSED_DATA data) = 0;
    virtual ULONG MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE page, PHIDP_PREPARSED_DATA data) = 0;
    virtual NTSTATUS GetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list,
                               ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                               ULONG reportLength) = 0;
    virtual NTSTATUS UsageListDifference(USAGE* previous, USAGE* current, USAGE* breaks,
                                         USAGE* makes, ULONG length) = 0;
    virtual NTSTATUS GetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                   ULONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                   ULONG reportLength) = 0;
    virtual NTSTATUS GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link,
                                         USAGE usage, LONG* value, PHIDP_PREPARSED_DATA data,
                                         char* report, ULONG reportLength) = 0;
    virtual NTSTATUS SetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list,
                               ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                               ULONG reportLength) = 0;
    virtual NTSTATUS UnsetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list,
                                 ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                                 ULONG reportLength) = 0;
    virtual NTSTATUS SetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                   ULONG value, PHIDP_PREPARSED_DATA data, char* report,
                                   ULONG reportLength) = 0;

    // Device notifications of user32. Windows 95 and NT 4.0 have none: the functions are missing
    // there and both calls fail.
    virtual bool HasDeviceNotifications() = 0;
    virtual HDEVNOTIFY RegisterNotification(HWND window, void* filter) = 0;
    virtual BOOL UnregisterNotification(HDEVNOTIFY handle) = 0;
};

// The implementation in use: the system's unless a test installed another (nullptr restores it).
HidSystem& System();
void SetSystem(HidSystem* system);

}  // namespace vnhid
