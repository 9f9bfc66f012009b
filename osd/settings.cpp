// Section "OSD" of the settings store: the font, colour, duration and the on/off switch.
#include <cstring>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "osd/layout.h"
#include "osd/state.h"
#include "osd/vnosd.h"

namespace osd {
namespace {

// The user's locale as the 8-digit hexadecimal text the system keeps in the registry.
void ReadLocaleText(char (&locale)[vn::kMaxText]) {
    int ok = IsNT() ? Reg_GetValueString(HKEY_CURRENT_USER, "Control Panel\\International", "Locale", locale,
                                         sizeof locale)
                    : Reg_GetValueString(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", nullptr,
                                         locale, sizeof locale);
    if (!ok) vn::CopyText(locale, sizeof locale, "00000409");
}

// On a Japanese system the display starts with the caption font's face and character set.
bool JapaneseCaptionFont(LOGFONTA* caption) {
    char locale[vn::kMaxText] = {};
    ReadLocaleText(locale);
    if (!IsJapaneseLocale(locale)) return false;
    NONCLIENTMETRICSA metrics{};
    static_assert(sizeof metrics == 340, "the record of the oldest systems");
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    *caption = metrics.lfCaptionFont;
    return true;
}

int Number(const char* name, int defaultValue) {
    int value = defaultValue;
    Reg_GetProfileNumber(kSection, name, &value, defaultValue);
    return value;
}

BYTE LowByte(const char* name, int defaultValue) { return static_cast<BYTE>(Number(name, defaultValue) & 0xFF); }

}  // namespace

bool UserChangedStored() {
    int unused = 0;
    return Reg_GetProfileNumber(kSection, "UserChanged", &unused, 0) != 0;
}

}  // namespace osd

using namespace osd;

int VNOSDAPI OSD_LoadSettings(void) {
    State& s = Osd();
    LOGFONTA caption{};
    const bool japanese = JapaneseCaptionFont(&caption);

    LOGFONTA lf = DefaultFont();
    s.baseHeight = Number("Height", kDefaultHeight);
    lf.lfHeight = ScaledFontHeight(s.baseHeight, GetSystemMetrics(SM_CYSCREEN), UserChangedStored());
    lf.lfWeight = Number("Weight", FW_NORMAL);
    lf.lfWidth = Number("Width", 0);
    lf.lfEscapement = Number("Esc", 0);
    lf.lfOrientation = Number("Orient", 0);
    lf.lfItalic = LowByte("Italic", 0);
    lf.lfUnderline = LowByte("Underline", 0);
    lf.lfStrikeOut = LowByte("StrikeOut", 0);
    lf.lfCharSet = LowByte("CharSet", japanese ? caption.lfCharSet : 0);
    lf.lfOutPrecision = LowByte("OutPrec", 0);
    lf.lfClipPrecision = LowByte("ClipPrec", 0);
    lf.lfQuality = LowByte("Quality", 0);
    lf.lfPitchAndFamily = LowByte("Pitch&Family", japanese ? caption.lfPitchAndFamily : 0);
    char face[LF_FACESIZE] = {};
    Reg_GetProfileString(kSection, "FaceName", face, sizeof face, japanese ? caption.lfFaceName : "Arial");
    std::memcpy(lf.lfFaceName, face, sizeof face);
    s.font = lf;

    OSD_SetColor(static_cast<COLORREF>(Number("Color", static_cast<int>(kDefaultColor))));
    s.duration = Number("Duration", kDefaultDuration);
    s.settingsLoaded = true;
    return Reg_GetProfileBool(kSection, "Enabled", &s.enabled, 1);
}

int VNOSDAPI OSD_SaveSettings(void) {
    const State& s = Osd();
    const LOGFONTA& lf = s.font;
    struct Item {
        const char* name;
        int value;
    };
    const Item before[] = {
        {"Height", s.baseHeight},          {"Weight", lf.lfWeight},         {"Width", lf.lfWidth},
        {"Esc", lf.lfEscapement},          {"Orient", lf.lfOrientation},    {"Italic", lf.lfItalic},
        {"Underline", lf.lfUnderline},     {"StrikeOut", lf.lfStrikeOut},   {"CharSet", lf.lfCharSet},
        {"OutPrec", lf.lfOutPrecision},    {"ClipPrec", lf.lfClipPrecision}, {"Quality", lf.lfQuality},
        {"Pitch&Family", lf.lfPitchAndFamily},
    };
    int result = 0;
    for (const Item& item : before) result = Reg_SetProfileNumber(kSection, item.name, item.value);
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);  // terminated even if the description was not
    result = Reg_SetProfileString(kSection, "FaceName", face);
    result = Reg_SetProfileNumber(kSection, "Color", static_cast<int>(s.color));
    result = Reg_SetProfileNumber(kSection, "Duration", s.duration);
    if (s.fontChosen) result = Reg_SetProfileNumber(kSection, "UserChanged", 1);
    return result;
}
