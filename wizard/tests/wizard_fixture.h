// The real TKCfg.exe under Wine in a folder of its own, a settings store emptied for each test,
// and a window of class "VNDaemon" of the test's own that records what the wizard posts to it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/testing/winetest.h"
#include "wizard/tests/wizard_driver.h"

namespace tkcfg::test {

constexpr int kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025, kExtraFinish = 6189;

std::string UserBranch();  // the settings store's branch of this user, below HKEY_CURRENT_USER
bool ReadNumber(const std::string& section, const char* name, DWORD* value);
bool ReadString(const std::string& section, const char* name, std::string* value);
bool ReadBytes(const std::string& section, const char* name, std::string* bytes, DWORD* type = nullptr);
bool KeyExists(const std::string& section);
void WriteValue(const std::string& section, const char* name, DWORD type, const void* data, DWORD size);
inline void WriteText(const std::string& s, const char* n, const std::string& v) {
    WriteValue(s, n, REG_SZ, v.c_str(), static_cast<DWORD>(v.size() + 1));
}
inline void WriteNumber(const std::string& s, const char* n, DWORD v) { WriteValue(s, n, REG_DWORD, &v, sizeof v); }

// The messages the wizard posted to the test's "VNDaemon" window, in order.
std::vector<UINT>& PostedToService();

class WizardTest : public ::testing::Test {
protected:
    vntest::TempDir dir;
    WizardProcess wizard;
    HWND service = nullptr;

    void SetUp() override;
    void TearDown() override;
    void StartWizard();
    void MakeServiceWindow();
    void FinishWith(int button);  // presses it and waits for the wizard to end
};

}  // namespace tkcfg::test
