// The licence agreement text file for the user's locale. Plain C++.
#pragma once

namespace setupscript {

// The file for an 8-digit locale ("00000409"): the exact entry, else the first entry of the same
// primary language (characters 7 and 8); null when the language has no text.
const char* LicenceFileForLocale(const char* locale);

}  // namespace setupscript
