#include "wizard/store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/text.h"
#include "keyfunc/vnutil.h"

namespace tkcfg {

const char kProfileRoot[] = "Software\\OSTRL_KBD\\Productivity";

namespace {

const UINT kReloadSettings = 0x0730, kShowTrayIcon = 0x0731, kHideTrayIcon = 0x0732;

void Section(int key, char* section) { std::sprintf(section, "Buttons\\Aux%d", key + 1); }

// "ActionType" may be stored as text by older tools; a number that will not read falls back to it.
int StoredType(const char* section) {
    int type = 0;
    if (Reg_GetProfileNumber(section, "ActionType", &type, 0)) return type;
    char text[kField] = {};
    if (!Reg_GetProfileString(section, "ActionType", text, sizeof text, "0")) return 0;
    text[kField - 1] = '\0';
    return std::atoi(text);
}

}  // namespace

int ProfileNumber(const char* section, const char* name, int fallback) {
    int value = fallback;
    Reg_GetProfileNumber(section, name, &value, fallback);
    return value;
}

void StoredLabel(int key, const char* factoryLabel, char* label) {
    char section[32];
    Section(key, section);
    label[0] = '\0';
    if (!Reg_GetProfileString(section, "DisplayName", label, kField, nullptr)) vn::CopyTruncated(label, kField, factoryLabel);
    label[kField - 1] = '\0';
}

void LoadKeySlot(int key, const char* factoryLabel, KeySlot& slot) {
    char section[32];
    Section(key, section);
    StoredLabel(key, factoryLabel, slot.storedLabel);
    slot.storedParams[0] = '\0';
    Reg_GetProfileString(section, "ActionParam1", slot.storedParams, kField, "");
    slot.storedParams[kField - 1] = '\0';
    slot.type = StoredType(section);
    slot.storedLength = 0;
    slot.storedCommand[0] = '\0';
    if (slot.type == 6) {
        int count = static_cast<int>(kField);
        if (Reg_GetProfileBinary(section, "ActionCommand", slot.storedCommand, &count, nullptr, 0) && count > 0 &&
            count <= static_cast<int>(kField))
            slot.storedLength = count;
        else
            std::memset(slot.storedCommand, 0, kField);
    } else {
        Reg_GetProfileString(section, "ActionCommand", slot.storedCommand, kField, "");
        slot.storedCommand[kField - 1] = '\0';
    }
    if (slot.storedLength > 0) {
        std::memcpy(slot.command, slot.storedCommand, slot.storedLength);
    } else {
        std::memcpy(slot.command, slot.storedCommand, kField);
        std::memcpy(slot.params, slot.storedParams, kField);
    }
    std::memcpy(slot.label, slot.storedLabel, kField);
    slot.commandLength = slot.storedLength;
}

namespace {

void WriteKeys(const FinishInput& in) {
    for (int k = 0; k < kKeyCount; ++k) {
        char section[32];
        Section(k, section);
        if (in.resetRequested) {
            char sub[16];
            std::sprintf(sub, "Aux%d", k + 1);
            Reg_DelProfileKey("Buttons", sub);
        }
        const KeySlot& s = in.slots[k];
        KeySlot& out = in.slotsOut[k];
        // A key the user did not give a new assignment keeps its record exactly as stored, whatever
        // its kind, and whatever did not fit the wizard's fields.
        if (!s.applied || !s.label[0] || !s.command[0]) continue;
        Reg_SetProfileString(section, "DisplayName", s.label);
        Reg_SetProfileString(section, "ActionParam1", s.params);
        vn::CopyTruncated(out.storedLabel, kField, s.label);
        vn::CopyTruncated(out.storedParams, kField, s.params);
        out.storedLength = s.commandLength;
        if (s.commandLength < 1) {
            Reg_SetProfileString(section, "ActionCommand", s.command);
            vn::CopyTruncated(out.storedCommand, kField, s.command);
            Reg_SetProfileNumber(section, "ActionType", 1);
        } else {
            int n = s.commandLength <= static_cast<int>(kField) ? s.commandLength : static_cast<int>(kField);
            Reg_SetProfileBinary(section, "ActionCommand", s.command, n);
            std::memmove(out.storedCommand, s.command, n);
            Reg_SetProfileNumber(section, "ActionType", 6);
        }
    }
}

void WriteDisplay(const FinishInput& in) {
    LOGFONTA lf{};
    if (!in.osdFont || !GetObjectA(in.osdFont, sizeof lf, &lf)) return;
    const char* s = "OSD";
    Reg_SetProfileNumber(s, "Height", lf.lfHeight);
    Reg_SetProfileNumber(s, "SelSize", in.pointSize);
    Reg_SetProfileNumber(s, "Weight", lf.lfWeight);
    Reg_SetProfileNumber(s, "Width", lf.lfWidth);
    Reg_SetProfileNumber(s, "Esc", lf.lfEscapement);
    Reg_SetProfileNumber(s, "Orient", lf.lfOrientation);
    Reg_SetProfileNumber(s, "Italic", lf.lfItalic);
    Reg_SetProfileNumber(s, "Underline", lf.lfUnderline);
    Reg_SetProfileNumber(s, "StrikeOut", lf.lfStrikeOut);
    Reg_SetProfileNumber(s, "OutPrec", lf.lfOutPrecision);
    Reg_SetProfileNumber(s, "ClipPrec", lf.lfClipPrecision);
    Reg_SetProfileNumber(s, "Quality", lf.lfQuality);
    Reg_SetProfileNumber(s, "Pitch&Family", lf.lfPitchAndFamily);
    Reg_SetProfileString(s, "FaceName", lf.lfFaceName);
    Reg_SetProfileNumber(s, "CharSet", in.uiLanguage == 1041 ? 128 : lf.lfCharSet);
    Reg_SetProfileNumber(s, "Color", static_cast<int>(in.color));
    Reg_SetProfileNumber(s, "ColorIndex", in.colorIndex);
    Reg_SetProfileNumber(s, "FontIndex", in.fontIndex);
    Reg_SetProfileNumber(s, "SizeIndex", in.sizeIndex);
    Reg_SetProfileNumber(s, "Duration", 1200);
    Reg_SetProfileNumber(s, "UserChanged", 1);
}

void WriteSwitch(const char* name, int value) {
    if (value != -1) Reg_SetProfileNumber("Buttons", name, value);
}

}  // namespace

void RunFinish(const FinishInput& in) {
    WriteKeys(in);
    WriteDisplay(in);
    WriteSwitch("INavEnable", in.navEnable);
    WriteSwitch("KRHEnable", in.keyreachEnable);
    WriteSwitch("PrintEnable", in.printEnable);
    WriteSwitch("PrintSubRadioBtns", in.printScheme);
    WriteSwitch("OSDEnable", in.osdEnable);
    HWND service = FindWindowA("VNDaemon", nullptr);
    if (service) PostMessageA(service, kReloadSettings, 0, 0);
    if (in.trayRadio == 0) {
        Reg_SetProfileNumber("SysTrayIcon", "Hide", 0);
        if (service)
            PostMessageA(service, kShowTrayIcon, 0, 0);
        else
            LaunchProgram("VNDaemon.EXE", "", nullptr, nullptr);
    } else if (in.trayRadio == 1) {
        Reg_SetProfileNumber("SysTrayIcon", "Hide", 1);
        if (service) PostMessageA(service, kHideTrayIcon, 0, 0);
    }
}

}  // namespace tkcfg
