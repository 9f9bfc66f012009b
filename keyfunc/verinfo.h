// A file's version resource, read whole into memory and freed with this object.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vn {

class VersionInfo {
public:
    // False when the file is missing or has no version information.
    bool Load(const char* path);
    // The fixed part (file and product versions); null when absent.
    const VS_FIXEDFILEINFO* Fixed() const;
    // A text of the string table named by the first translation pair ("FileDescription",
    // "FileVersion"); false when there is no translation or no such text.
    bool Text(const char* name, std::string* text) const;

private:
    std::vector<unsigned char> block_;
};

}  // namespace vn
