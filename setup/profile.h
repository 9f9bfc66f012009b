// The setup script read through the system's profile reader, with its fixed buffers of 260
// characters per value; a section's key list is read whole.
#pragma once
#include <string>
#include <vector>

#include "setup/script/fields.h"
#include "setup/script/script.h"

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
    std::string path_;
};

}  // namespace setup
