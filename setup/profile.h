// The setup script read through the system's profile reader, with its fixed buffers of 260
// characters per value; a section's key list is read whole, and so is a section the first time
// one of its values is asked for (the reader opens the file again for every value). One thread
// at a time uses a profile.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "setup/script/fields.h"
#include "setup/script/script.h"
#include "setup/script/section.h"

namespace setup {

class FileProfile : public setupscript::Profile {
public:
    explicit FileProfile(const std::string& path) : path_(path) {}
    std::string Get(const char* section, const char* key, const char* fallback) const override;
    std::vector<std::string> Keys(const char* section) const override;
    // The script's "Strings" section, for %name% placeholders.
    setupscript::StringLookup Strings() const;
    // A section value split into fields.
    std::vector<std::string> Fields(const char* section, const std::string& key,
                                    const setupscript::Folders& folders) const;

private:
    struct Section {
        bool read = false;
        bool whole = false;  // false: too long to be read whole, read value by value
        std::map<std::string, setupscript::SectionEntry> entries;  // by upper-case key; the first of equal keys
    };
    const Section& Read(const char* section) const;

    std::string path_;
    mutable std::map<std::string, Section> sections_;  // by upper-case section name
};

}  // namespace setup
