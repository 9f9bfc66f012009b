#include "setup/script/work_rules.h"

#include <cstring>

#include "setup/script/fields.h"
#include "setup/util/rules.h"

namespace setupscript {

namespace {

int Compare(std::uint32_t aHigh, std::uint32_t aLow, std::uint32_t bHigh, std::uint32_t bLow) {
    if (aHigh != bHigh) return aHigh > bHigh ? 1 : -1;
    if (aLow != bLow) return aLow > bLow ? 1 : -1;
    return 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool SourceReplaces(const FileVersionFacts& source, const FileVersionFacts& destination, bool sourceTimeLater) {
    bool newer = false, equal = false, compared = false;
    if (source.fixed && destination.fixed) {
        int c = Compare(source.fixedHigh, source.fixedLow, destination.fixedHigh, destination.fixedLow);
        newer |= c > 0;
        equal |= c == 0;
        compared = true;
    }
    if (source.text && destination.text) {
        int c = Compare(source.textHigh, source.textLow, destination.textHigh, destination.textLow);
        newer |= c > 0;
        equal |= c == 0;
        compared = true;
    }
    if (newer) return true;
    if (equal || !compared) return sourceTimeLater;
    return false;
}

std::string SidePath(const std::string& destination, int digit) {
    std::size_t slash = destination.find_last_of('\\');
    std::size_t dot = destination.find_last_of('.');
    std::string base = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                           ? destination.substr(0, dot + 1)
                           : destination + ".";
    return base + static_cast<char>('0' + digit);
}

int Percent(std::uint32_t done, std::uint32_t total) {
    if (total == 0 || done >= total) return 100;
    return static_cast<int>(static_cast<std::uint64_t>(done) * 100 / total);
}

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
    std::size_t slash = path.find_last_of('\\');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

RegistryLine ParseRegistryLine(const std::vector<std::string>& f) {
    RegistryLine line;
    const std::string root = f.size() > 0 ? f[0] : "";
    if (instutil::SameText(root.c_str(), "HKLM")) line.root = RegistryLine::LocalMachine;
    else if (instutil::SameText(root.c_str(), "HKCU")) line.root = RegistryLine::CurrentUser;
    else if (instutil::SameText(root.c_str(), "HKCR")) line.root = RegistryLine::ClassesRoot;
    if (f.size() > 1) line.keyPath = f[1];
    if (f.size() > 2) line.valueName = f[2];
    if (line.valueName.empty()) return line;
    line.kind = RegistryLine::Text;
    if (f.size() < 4 || f[3].empty() || f[3] == "0") {
        if (f.size() > 4) line.text = f[4];
        return line;
    }
    for (std::size_t i = 4; i < f.size() && line.bytes.size() < 260; ++i) {
        unsigned value = 0;
        for (char c : f[i]) {
            int d = HexDigit(c);
            if (d < 0) break;
            value = value << 4 | static_cast<unsigned>(d);
        }
        line.bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    }
    line.kind = line.bytes.size() == 1 ? RegistryLine::Dword : RegistryLine::Binary;
    return line;
}

const char* RootName(RegistryLine::Root root) {
    switch (root) {
    case RegistryLine::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegistryLine::CurrentUser: return "HKEY_CURRENT_USER";
    case RegistryLine::ClassesRoot: return "HKEY_CLASSES_ROOT";
    default: return "HKEY_USERS";
    }
}

std::string RecordName(const RegistryLine& line) {
    return line.valueName.empty() ? line.keyPath : line.keyPath + "\\\\" + line.valueName;
}

bool DriverEntry::Unknown() const { return instutil::SameText(fields[0].c_str(), "Unknown"); }

bool DriverEntry::CopyFlag() const { return fields[7] == "1" || instutil::SameText(fields[7].c_str(), "TRUE"); }

DriverEntry ReadDriverEntry(const std::string& value) {
    DriverEntry entry{SplitSimpleFields(value)};
    entry.fields.resize(10);
    return entry;
}

std::string EntryInf(const std::string& folder, const DriverEntry& entry) {
    return folder + "\\" + entry[10] + entry[2];
}

std::string LocalMediumFolder(const std::string& windowsFolder, const std::string& productName) {
    std::string product = productName;
    for (char& c : product)
        if (c == '/') c = '.';
    return windowsFolder.substr(0, 3) + "Program Files\\" + product;
}

std::string PreloadCommand(const std::string& localFolder, const DriverEntry& entry, const std::string& runValue) {
    return localFolder + "\\Preload.exe /DEVID:" + entry[9] + " /CLASS:" + entry[1] + " /RunValue:\"" + runValue + "\"";
}

}  // namespace setupscript
