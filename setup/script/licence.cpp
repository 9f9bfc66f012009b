#include "setup/script/licence.h"

#include <cstring>

#include "setup/util/rules.h"

namespace setupscript {

namespace {

struct LicenceEntry {
    const char* locale;
    const char* file;
};
const LicenceEntry kLicences[] = {
    {"00000404", "LICENTCH.TXT"}, {"00000804", "LICENSCH.TXT"}, {"00000406", "LICENDAN.TXT"},
    {"00000413", "LICENDUT.TXT"}, {"00000409", "LICENENG.TXT"}, {"0000040B", "LICENFIN.TXT"},
    {"0000040C", "LICENFRE.TXT"}, {"00000407", "LICENGER.TXT"}, {"00000410", "LICENITA.TXT"},
    {"00000411", "LICENJP.TXT"},  {"00000414", "LICENNOR.TXT"}, {"00000416", "LICENBRA.TXT"},
    {"0000080A", "LICENSPA.TXT"}, {"0000041D", "LICENSWE.TXT"}, {"00000412", "LICENENG.TXT"},
};

bool SameChar(char a, char b) {
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    return a == b;
}

}  // namespace

const char* LicenceFileForLocale(const char* locale) {
    if (!locale) return nullptr;
    for (const LicenceEntry& e : kLicences)
        if (instutil::SameText(e.locale, locale)) return e.file;
    if (std::strlen(locale) < 8) return nullptr;
    for (const LicenceEntry& e : kLicences)
        if (SameChar(e.locale[6], locale[6]) && SameChar(e.locale[7], locale[7])) return e.file;
    return nullptr;
}

}  // namespace setupscript
