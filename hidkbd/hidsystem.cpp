// The system's HID class driver and device enumeration, reached through hid.dll and setupapi.dll
// loaded on first use. Without them (Windows 95, NT 4.0) the enumeration finds no devices.
#include "hidkbd/hidsystem.h"

namespace vnhid {
namespace {

template <typename F>
void Bind(HMODULE module, const char* name, F& fn) {
    fn = module ? reinterpret_cast<F>(GetProcAddress(module, name)) : nullptr;
}

constexpr NTSTATUS kNotImplemented = HIDP_STATUS_NOT_IMPLEMENTED;

// The HID and device-installation functions are loaded at run time and may be missing: a
// missing one answers `missing` converted to its return type.
template <typename F, typename M, typename... A>
auto CallOr(F f, M missing, A... args) -> decltype(f(args...)) {
    return f ? f(args...) : static_cast<decltype(f(args...))>(missing);
}

class RealSystem final : public HidSystem {
public:
    RealSystem() {
        // Both are system libraries that stay loaded for the life of the process.
        HMODULE hid = LoadLibraryA("hid.dll");
        HMODULE setup = LoadLibraryA("setupapi.dll");
        Bind(hid, "HidD_GetHidGuid", getHidGuid_);
        Bind(hid, "HidD_GetPreparsedData", getPreparsed_);
        Bind(hid, "HidD_FreePreparsedData", freePreparsed_);
        Bind(hid, "HidD_GetAttributes", getAttributes_);
        Bind(hid, "HidP_GetCaps", getCaps_);
        Bind(hid, "HidP_GetButtonCaps", getButtonCaps_);
        Bind(hid, "HidP_GetValueCaps", getValueCaps_);
        Bind(hid, "HidP_MaxUsageListLength", maxUsageListLength_);
        Bind(hid, "HidP_GetUsages", getUsages_);
        Bind(hid, "HidP_UsageListDifference", usageListDifference_);
        Bind(hid, "HidP_GetUsageValue", getUsageValue_);
        Bind(hid, "HidP_GetScaledUsageValue", getScaledUsageValue_);
        Bind(hid, "HidP_SetUsages", setUsages_);
        Bind(hid, "HidP_UnsetUsages", unsetUsages_);
        Bind(hid, "HidP_SetUsageValue", setUsageValue_);
        Bind(setup, "SetupDiGetClassDevsA", getClassDevs_);
        Bind(setup, "SetupDiEnumDeviceInterfaces", enumInterfaces_);
        Bind(setup, "SetupDiGetDeviceInterfaceDetailA", getDetail_);
        Bind(setup, "SetupDiDestroyDeviceInfoList", destroyList_);
        HMODULE user = GetModuleHandleA("user32.dll");
        Bind(user, "RegisterDeviceNotificationA", registerNotification_);
        Bind(user, "UnregisterDeviceNotification", unregisterNotification_);
    }

    void GetHidGuid(GUID* guid) override {
        if (getHidGuid_) getHidGuid_(guid);
        else *guid = GUID{};
    }
    HDEVINFO GetClassDevs(const GUID* guid, DWORD flags) override {
        return CallOr(getClassDevs_, INVALID_HANDLE_VALUE, guid, nullptr, nullptr, flags);
    }
    BOOL EnumDeviceInterfaces(HDEVINFO set, const GUID* guid, DWORD index,
                              SP_DEVICE_INTERFACE_DATA* data) override {
        if (!enumInterfaces_) return Missing(ERROR_NO_MORE_ITEMS);
        return enumInterfaces_(set, nullptr, guid, index, data);
    }
    BOOL GetDeviceInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                  SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD size,
                                  DWORD* required) override {
        if (!getDetail_) return Missing(ERROR_CALL_NOT_IMPLEMENTED);
        return getDetail_(set, data, detail, size, required, nullptr);
    }
    BOOL DestroyDeviceInfoList(HDEVINFO set) override {
        return CallOr(destroyList_, FALSE, set);
    }

    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD flags) override {
        return CreateFileA(path, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    }
    BOOL Read(HANDLE h, void* buffer, DWORD length, DWORD* done) override {
        return ReadFile(h, buffer, length, done, nullptr);
    }
    BOOL Write(HANDLE h, const void* buffer, DWORD length, DWORD* done) override {
        return WriteFile(h, buffer, length, done, nullptr);
    }
    BOOL Close(HANDLE h) override { return CloseHandle(h); }

    BOOLEAN GetPreparsedData(HANDLE h, PHIDP_PREPARSED_DATA* data) override {
        return CallOr(getPreparsed_, FALSE, h, data);
    }
    BOOLEAN FreePreparsedData(PHIDP_PREPARSED_DATA data) override {
        return CallOr(freePreparsed_, FALSE, data);
    }
    BOOLEAN GetAttributes(HANDLE h, HIDD_ATTRIBUTES* attributes) override {
        return CallOr(getAttributes_, FALSE, h, attributes);
    }
    NTSTATUS GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) override {
        return CallOr(getCaps_, kNotImplemented, data, caps);
    }
    NTSTATUS GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* count,
                           PHIDP_PREPARSED_DATA data) override {
        return CallOr(getButtonCaps_, kNotImplemented, type, caps, count, data);
    }
    NTSTATUS GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* count,
                          PHIDP_PREPARSED_DATA data) override {
        return CallOr(getValueCaps_, kNotImplemented, type, caps, count, data);
    }
    ULONG MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE page, PHIDP_PREPARSED_DATA data) override {
        return CallOr(maxUsageListLength_, 0, type, page, data);
    }
    NTSTATUS GetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list, ULONG* length,
                       PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) override {
        return CallOr(getUsages_, kNotImplemented, type, page, link, list, length, data, report, reportLength);
    }
    NTSTATUS UsageListDifference(USAGE* previous, USAGE* current, USAGE* breaks, USAGE* makes,
                                 ULONG length) override {
        return CallOr(usageListDifference_, kNotImplemented, previous, current, breaks, makes, length);
    }
    NTSTATUS GetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                           ULONG* value, PHIDP_PREPARSED_DATA data, char* report,
                           ULONG reportLength) override {
        return CallOr(getUsageValue_, kNotImplemented, type, page, link, usage, value, data, report, reportLength);
    }
    NTSTATUS GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                                 LONG* value, PHIDP_PREPARSED_DATA data, char* report,
                                 ULONG reportLength) override {
        return CallOr(getScaledUsageValue_, kNotImplemented, type, page, link, usage, value, data, report, reportLength);
    }
    NTSTATUS SetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list, ULONG* length,
                       PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength) override {
        return CallOr(setUsages_, kNotImplemented, type, page, link, list, length, data, report, reportLength);
    }
    NTSTATUS UnsetUsages(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE* list,
                         ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                         ULONG reportLength) override {
        return CallOr(unsetUsages_, kNotImplemented, type, page, link, list, length, data, report, reportLength);
    }
    NTSTATUS SetUsageValue(HIDP_REPORT_TYPE type, USAGE page, USHORT link, USAGE usage,
                           ULONG value, PHIDP_PREPARSED_DATA data, char* report,
                           ULONG reportLength) override {
        return CallOr(setUsageValue_, kNotImplemented, type, page, link, usage, value, data, report, reportLength);
    }

    bool HasDeviceNotifications() override { return registerNotification_ && unregisterNotification_; }
    HDEVNOTIFY RegisterNotification(HWND window, void* filter) override {
        return CallOr(registerNotification_, nullptr, window, filter, 0 /* DEVICE_NOTIFY_WINDOW_HANDLE */);
    }
    BOOL UnregisterNotification(HDEVNOTIFY handle) override {
        return handle ? CallOr(unregisterNotification_, FALSE, handle) : FALSE;
    }

private:
    static BOOL Missing(DWORD error) {
        SetLastError(error);
        return FALSE;
    }

    decltype(&HidD_GetHidGuid) getHidGuid_;
    decltype(&HidD_GetPreparsedData) getPreparsed_;
    decltype(&HidD_FreePreparsedData) freePreparsed_;
    decltype(&HidD_GetAttributes) getAttributes_;
    decltype(&HidP_GetCaps) getCaps_;
    decltype(&HidP_GetButtonCaps) getButtonCaps_;
    decltype(&HidP_GetValueCaps) getValueCaps_;
    decltype(&HidP_MaxUsageListLength) maxUsageListLength_;
    decltype(&HidP_GetUsages) getUsages_;
    decltype(&HidP_UsageListDifference) usageListDifference_;
    decltype(&HidP_GetUsageValue) getUsageValue_;
    decltype(&HidP_GetScaledUsageValue) getScaledUsageValue_;
    decltype(&HidP_SetUsages) setUsages_;
    decltype(&HidP_UnsetUsages) unsetUsages_;
    decltype(&HidP_SetUsageValue) setUsageValue_;
    decltype(&SetupDiGetClassDevsA) getClassDevs_;
    decltype(&SetupDiEnumDeviceInterfaces) enumInterfaces_;
    decltype(&SetupDiGetDeviceInterfaceDetailA) getDetail_;
    decltype(&SetupDiDestroyDeviceInfoList) destroyList_;
    HDEVNOTIFY(WINAPI* registerNotification_)(HANDLE, LPVOID, DWORD);
    BOOL(WINAPI* unregisterNotification_)(HDEVNOTIFY);
};

HidSystem* g_installed = nullptr;

}  // namespace

HidSystem& System() {
    if (g_installed) return *g_installed;
    static RealSystem real;
    return real;
}

void SetSystem(HidSystem* system) { g_installed = system; }

}  // namespace vnhid
