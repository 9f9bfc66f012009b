// The setup script: which file is read on which system, the "Setup" section's keys with their
// defaults, and the rule that settles the keyboard interface. Plain C++.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "setup/util/rules.h"

namespace setupscript {

// The script file for a system, given a test for files beside the program; null when the system
// is not supported (the file it would use is missing).
const char* ChooseScript(const instutil::SystemKind& system, const std::function<bool(const char*)>& exists);

// Reads the profile: a value (with its default) and the key names of a section.
class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string Get(const char* section, const char* key, const char* fallback) const = 0;
    virtual std::vector<std::string> Keys(const char* section) const = 0;
};

enum class Interface { Usb, Ps2 };

// Every key of the "Setup" section, as read (paths already made absolute where said).
struct SetupKeys {
    std::string productName, uninstallDisplayName, setupTitle, version, srcFileDir, infFile, usbInf, bkgLogo;
    bool cabFile = false;
    std::string cabFileName;
    bool askType = true, usbType = true, ps2Type = true;
    std::string defaultType, ps2DriverName, restart, uninstallKey;
    bool callConfigMg = true, askPath = false, askLicense = false;
    std::string licenseFolder;
    bool askProgramFolder = false, deleteInfIndex = true, updateDriver = true;
    // Read and kept for the driver work; nothing else depends on them.
    std::string deviceClass, usbInstallSection, usbDriverName, ps2PnpId, usbPnpId, provider, mfgName,
        drvSetupProgram, drvSetupAction;
    bool infNoFileCopy = false;
};

// sourceFolder has no trailing backslash; setupWord is the localized "Setup" of the title default.
SetupKeys ReadSetupKeys(const Profile& profile, const std::string& sourceFolder, const std::string& setupWord);

// The state the interface rule settles.
struct InterfaceState {
    Interface chosen = Interface::Usb;
    bool restart = true;
    bool callConfigMg = true;
    std::string infFile;
};

// Applies the rule for a chosen interface (restart, device start, INF file).
void ChooseInterface(InterfaceState& state, Interface chosen, bool ntFamily, const std::string& usbInf);

// The interface and page choice that the script's keys make, with "Restart" applied last.
// askType is cleared when only one type is allowed.
InterfaceState ScriptInterface(const SetupKeys& keys, bool ntFamily, bool* askType);

}  // namespace setupscript
