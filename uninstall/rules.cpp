#include "uninstall/rules.h"

#include <cctype>
#include <cstring>

#include "common/text.h"

namespace uninst {

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EndsWithNoCase(const std::string& text, const char* tail) {
    std::size_t n = std::strlen(tail);
    return text.size() >= n && EqualNoCase(text.substr(text.size() - n), tail);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

bool IsAbsolute(const std::string& path) {
    char letter = path.empty() ? '\0' : static_cast<char>(path[0] | 0x20);
    bool drive = path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' &&
                 path[2] == '\\';
    bool unc = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return drive || unc;
}

// Path parts between backslashes, empty ones skipped.
std::vector<std::string> Parts(const std::string& path, char separator = '\\') {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == separator) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool HasDotDot(const std::string& path) {
    for (const std::string& p : Parts(path))
        if (p == ".." || p == ".") return true;
    return false;
}

}  // namespace

Role RoleFor(const std::vector<std::string>& args) {
    if (args.empty()) return Role::InPlace;
    if (args.size() == 1) return args[0] == "/DeleteSelf" ? Role::InPlace : Role::Launcher;
    if (args.size() == 3 && args[1] == "/DeleteSelf") return Role::Working;
    return Role::Quit;
}

namespace {

// One argument in quotes: a run of backslashes is doubled where a quote follows it (the quote
// itself escaped, or the closing one), and kept as it is elsewhere.
void AppendQuoted(std::string& line, const std::string& arg) {
    line += '"';
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        line.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        line += c;
    }
    line.append(2 * slashes, '\\');
    line += '"';
}

}  // namespace

std::string WorkingCopyCommand(const std::string& program, const std::string& key, const std::string& ownFolder) {
    std::string line = "\"" + program + "\"";
    line += ' ';
    AppendQuoted(line, key);
    line += " /DeleteSelf ";
    AppendQuoted(line, ownFolder);
    return line;
}

bool IsRecordKey(const std::string& key) {
    return !key.empty() && key.size() < vn::kMaxText && key.find('\\') == std::string::npos;
}

std::string ResolveFolder(const std::string& text, const Folders& f,
                          const std::function<bool(const std::string&, std::string*)>& lookup) {
    if (text.empty() || text == "%11%") return f.system;
    if (text == "%10%") return f.windows;
    if (text == "%99%") return f.own;
    if (text == "%12%") return f.windows + "\\System32\\Drivers";
    if (text == "%17%") return f.windows + "\\Inf";
    if (text == "%18%") return f.windows + "\\Help";
    std::string found;
    if (lookup && lookup(text, &found)) return found;
    return text;
}

std::string TrimAtSigns(const std::string& name) {
    std::size_t end = name.find_last_not_of('@');
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

std::string KeyPathOfValueEntry(const std::string& name) {
    std::size_t sep = name.rfind("\\\\");
    return sep == std::string::npos ? name : name.substr(0, sep);
}

bool MeansWholeKey(const std::string& data) { return data.empty() || data == "0"; }

bool SameRegData(const std::string& a, const std::string& b) {
    return a == b || (MeansWholeKey(a) && MeansWholeKey(b));
}

FileKind KindOf(const std::string& name) {
    if (EqualNoCase(name, "VNUninst.exe") && name != "Vnuninst.exe") return FileKind::Uninstaller;
    if (name == "Vnuninst.exe" || name == "Vnsetup.dll") return FileKind::InUse;
    return FileKind::Other;
}

FileStep StepForFile(bool shared, FileKind kind, bool yesToAll, bool noToAll, bool canAsk) {
    if (!shared || yesToAll) {
        if (shared && kind != FileKind::Other) return FileStep::Keep;
        return kind == FileKind::Uninstaller ? FileStep::RemoveAtEnd : FileStep::Remove;
    }
    return noToAll || kind != FileKind::Other || !canAsk ? FileStep::Keep : FileStep::Ask;
}

std::vector<std::string> Companions(const std::string& path, const std::string& name, const std::string& folderText) {
    std::vector<std::string> extra;
    if (name.size() < 4 || name[name.size() - 4] != '.' || path.size() < name.size() ||
        path.compare(path.size() - name.size(), name.size(), name) != 0)
        return extra;
    std::string stem = path.substr(0, path.size() - 3);
    if (EndsWithNoCase(name, ".hlp") || folderText == "%18%") {
        extra.push_back(stem + "cnt");
        extra.push_back(stem + "gid");
    } else if (EndsWithNoCase(name, ".inf")) {
        extra.push_back(stem + "pnf");
    }
    return extra;
}

bool StartsUninstaller(const std::string& uninstallString, const std::string& systemFolder) {
    auto startsWith = [&](const std::string& head) {
        return uninstallString.size() >= head.size() && EqualNoCase(uninstallString.substr(0, head.size()), head);
    };
    return startsWith("VNUninst.exe") || startsWith(systemFolder + "\\VNUninst.exe");
}

bool IsWithin(const std::string& path, const std::string& folder) {
    std::string p = WithoutTrailingSlash(path), f = WithoutTrailingSlash(folder);
    if (f.empty() || p.size() < f.size() || !EqualNoCase(p.substr(0, f.size()), f)) return false;
    return p.size() == f.size() || p[f.size()] == '\\' || f.back() == '\\';
}

bool IsSafeFile(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:*?\"<>|") != std::string::npos || name == "." || name == "..")
        return false;
    if (!IsAbsolute(folder) || HasDotDot(folder)) return false;
    return folder.size() + 1 + name.size() < vn::kMaxText;
}

bool MayRemoveEmptyFolder(const std::string& folder) {
    if (!IsAbsolute(folder) || HasDotDot(folder) || folder.size() >= vn::kMaxText) return false;
    // A drive root or a bare network share is never an installed folder.
    return Parts(folder).size() >= (folder[0] == '\\' ? 3u : 2u);
}

bool MayDeleteTree(const std::string& folder, const Folders& f) {
    if (!MayRemoveEmptyFolder(folder)) return false;
    // Never a folder of the system itself, whatever else the record says.
    if (IsWithin(f.windows, folder) || IsWithin(f.system, folder)) return false;
    if (!f.own.empty() && IsAbsolute(f.own) && Parts(f.own).size() >= 2 && IsWithin(folder, f.own)) return true;
    if (f.windows.size() < 3) return false;
    std::string programFiles = f.windows.substr(0, 3) + "Program Files";
    return IsWithin(folder, programFiles) && Parts(WithoutTrailingSlash(folder)).size() == 3;
}

bool MayDeleteKey(const std::string& path) {
    std::string trimmed = WithoutTrailingSlash(path);
    std::vector<std::string> parts = Parts(trimmed);
    if (parts.size() < 2 || HasDotDot(trimmed) || trimmed.size() >= vn::kMaxText) return false;
    static const char* const kSystemKeys[] = {
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
        "Software\\Classes\\CLSID",
        "Software\\Varnel\\Uninstall",
        "System\\CurrentControlSet\\Services",
        "System\\CurrentControlSet\\Control",
        "Control Panel\\Desktop",
        "Control Panel\\International",
        ".Default\\Control Panel",
    };
    for (const char* key : kSystemKeys)
        if (IsWithin(key, trimmed)) return false;
    return true;
}

}  // namespace uninst
