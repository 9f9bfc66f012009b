#include "setup/script/script.h"

namespace setupscript {

using instutil::SameText;

const char* ChooseScript(const instutil::SystemKind& s, const std::function<bool(const char*)>& exists) {
    const char* name;
    if (s.win9x) {
        if (s.winMe && exists("SETUPME.INI"))
            name = "SETUPME.INI";
        else if (s.win98OrLater && exists("SETUP98.INI"))
            name = "SETUP98.INI";
        else
            name = "SETUP95.INI";
    } else if (s.win2000 && exists("SETUP2K.INI")) {
        name = "SETUP2K.INI";
    } else if (s.winXp && exists("SETUPXP.INI")) {
        name = "SETUPXP.INI";
    } else {
        name = "SETUPNT.INI";
    }
    return exists(name) ? name : nullptr;
}

namespace {

// A key that is true only when it says "TRUE".
bool IsTrue(const Profile& p, const char* key, const char* fallback) {
    return SameText(p.Get("Setup", key, fallback).c_str(), "TRUE");
}
// A key whose default holds unless it says "FALSE".
bool NotFalse(const Profile& p, const char* key) { return !SameText(p.Get("Setup", key, "TRUE").c_str(), "FALSE"); }

std::string Absolute(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace

SetupKeys ReadSetupKeys(const Profile& p, const std::string& sourceFolder, const std::string& setupWord) {
    auto get = [&p](const char* key, const char* fallback = "") { return p.Get("Setup", key, fallback); };
    SetupKeys k;
    k.productName = get("ProductName");
    k.uninstallDisplayName = get("UninstallDisplayName");
    k.setupTitle = get("SetupTitle");
    if (k.setupTitle.empty()) k.setupTitle = k.productName + " " + setupWord;
    k.setupTitle += " ";
    k.version = get("Version", "1.0");
    k.srcFileDir = get("SrcFileDir");
    k.infFile = Absolute(sourceFolder, get("InfFile", "Keyboard.inf"));
    k.usbInf = get("USBInf");
    if (!k.usbInf.empty()) k.usbInf = Absolute(sourceFolder, k.usbInf);
    k.bkgLogo = get("BkgLogo");
    k.cabFile = IsTrue(p, "CabFile", "FALSE");
    if (k.cabFile) k.cabFileName = get("CabFileName");
    k.askType = NotFalse(p, "AskType");
    k.usbType = NotFalse(p, "USBType");
    k.ps2Type = NotFalse(p, "PS2Type");
    k.defaultType = get("DefaultType");
    k.ps2DriverName = get("PS2DriverName");
    k.restart = get("Restart");
    k.uninstallKey = get("UninstallKey");
    k.callConfigMg = IsTrue(p, "CallConfigMg", "TRUE");
    k.askPath = IsTrue(p, "AskPath", "FALSE");
    k.askLicense = IsTrue(p, "AskLicense", "FALSE");
    k.licenseFolder = get("LicenseFolder");
    k.askProgramFolder = IsTrue(p, "AskProgramFolder", "FALSE");
    k.deleteInfIndex = IsTrue(p, "DeleteINFIndex", "TRUE");
    k.updateDriver = IsTrue(p, "UpdateDriver", "TRUE");
    k.deviceClass = get("Class", "Keyboard");
    k.usbInstallSection = get("USBInstallSection");
    k.usbDriverName = get("USBDriverName");
    k.ps2PnpId = get("PS2PnPID");
    k.usbPnpId = get("USBPnPID");
    k.provider = get("Provider", "Varnel");
    k.mfgName = get("MfgName", k.provider.c_str());
    k.drvSetupProgram = get("DrvSetupProgram");
    k.drvSetupAction = get("DrvSetupAction");
    k.infNoFileCopy = IsTrue(p, "InfNoFileCopy", "FALSE");
    return k;
}

void ChooseInterface(InterfaceState& state, Interface chosen, bool ntFamily, const std::string& usbInf) {
    state.chosen = chosen;
    if (chosen == Interface::Ps2) {
        state.restart = ntFamily;
        state.callConfigMg = !ntFamily;
    } else {
        state.restart = false;
        state.callConfigMg = true;
        if (!usbInf.empty()) state.infFile = usbInf;
    }
}

InterfaceState ScriptInterface(const SetupKeys& keys, bool ntFamily, bool* askType) {
    InterfaceState state;
    state.callConfigMg = keys.callConfigMg;
    state.infFile = keys.infFile;
    Interface chosen = Interface::Usb;
    // A type that is "FALSE" is the one fixed: its choice is greyed because there is no other.
    if (!keys.usbType) chosen = Interface::Usb;
    if (!keys.ps2Type) chosen = Interface::Ps2;
    bool bothAllowed = keys.usbType && keys.ps2Type;
    *askType = keys.askType && bothAllowed;
    if (bothAllowed && !keys.askType) {
        if (!keys.defaultType.empty())
            chosen = (keys.defaultType[0] == 'P' || keys.defaultType[0] == 'p') ? Interface::Ps2 : Interface::Usb;
        else
            chosen = keys.ps2DriverName.empty() ? Interface::Usb : Interface::Ps2;
    }
    ChooseInterface(state, chosen, ntFamily, keys.usbInf);
    if (SameText(keys.restart.c_str(), "FALSE")) state.restart = false;
    if (SameText(keys.restart.c_str(), "TRUE")) state.restart = true;
    return state;
}

}  // namespace setupscript
