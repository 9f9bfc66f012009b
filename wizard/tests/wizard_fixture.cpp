#include "wizard/tests/wizard_fixture.h"

#include <commctrl.h>

#include "common/handles.h"

namespace tkcfg::test {

namespace {

const char kRoot[] = "Software\\OSTRL_KBD";

std::string SectionPath(const std::string& section) { return UserBranch() + (section.empty() ? "" : "\\" + section); }

LRESULT CALLBACK ServiceProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace

std::string UserBranch() {
    char user[261] = {};
    DWORD size = sizeof user - 1;
    GetUserNameA(user, &size);
    return std::string(kRoot) + "\\Productivity\\users\\" + user;
}

bool ReadBytes(const std::string& section, const char* name, std::string* bytes, DWORD* type) {
    vn::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return false;
    BYTE data[1024];
    DWORD size = sizeof data, t = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &t, data, &size) != ERROR_SUCCESS) return false;
    bytes->assign(reinterpret_cast<char*>(data), size);
    if (type) *type = t;
    return true;
}

bool ReadNumber(const std::string& section, const char* name, DWORD* value) {
    std::string bytes;
    DWORD type = 0;
    if (!ReadBytes(section, name, &bytes, &type) || type != REG_DWORD || bytes.size() != 4) return false;
    *value = *reinterpret_cast<const DWORD*>(bytes.data());
    return true;
}

bool ReadString(const std::string& section, const char* name, std::string* value) {
    DWORD type = 0;
    if (!ReadBytes(section, name, value, &type) || type != REG_SZ) return false;
    value->resize(value->find('\0') == std::string::npos ? value->size() : value->find('\0'));
    return true;
}

bool KeyExists(const std::string& section) {
    vn::RegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

void WriteValue(const std::string& section, const char* name, DWORD type, const void* data, DWORD size) {
    vn::RegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr);
    RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

std::vector<UINT>& PostedToService() {
    static std::vector<UINT> posted;
    return posted;
}

namespace {
LRESULT CALLBACK ServiceProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0x0730 && msg <= 0x0732) {
        PostedToService().push_back(msg);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}
}  // namespace

void WizardTest::SetUp() {
    std::string bin = vntest::ExeFolder() + "..\\bin\\";
    for (const char* f : {"TKCfg.exe", "VNUtil.dll"})
        ASSERT_TRUE(CopyFileA((bin + f).c_str(), dir.file(f).c_str(), FALSE)) << f;
    vntest::DeleteRegTree(HKEY_CURRENT_USER, kRoot);
    vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, kRoot);
    PostedToService().clear();
}

void WizardTest::TearDown() {
    if (service) DestroyWindow(service);
}

void WizardTest::StartWizard() { ASSERT_TRUE(wizard.Start(dir.file("TKCfg.exe"), dir.path())); }

void WizardTest::MakeServiceWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ServiceProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VNDaemon";
    RegisterClassA(&wc);
    service = CreateWindowExA(0, "VNDaemon", "VNDaemon", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
}

void WizardTest::FinishWith(int button) {
    if (button == kExtraFinish)
        PostMessageA(wizard.sheet(), WM_COMMAND, kExtraFinish, 0);
    else
        PostMessageA(wizard.sheet(), PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    ASSERT_EQ(0, wizard.WaitExit());
    vntest::PumpFor(200);  // take what was posted to the service window
}

}  // namespace tkcfg::test
