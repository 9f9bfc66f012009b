// The uninstaller's command line and the rules it applies to the entries of an uninstall record:
// any program can write the record, and the key arrives on the command line. The input is a few
// lines: arguments, then a file or registry name, its data and a "Strings" text.
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "fuzz/fuzz_input.h"
#include "uninstall/rules.h"

namespace {

// The run-time library's split of the arguments after the program name: blanks separate outside
// quotes, 2n backslashes before a quote give n and the quote toggles quoting, 2n+1 give n and a
// literal quote, a doubled quote inside quotes gives a quote; other backslashes stand as they are.
std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> args;
    std::size_t i = 0, n = line.size();
    // The program name: up to the closing quote.
    if (n && line[0] == '"') {
        std::size_t close = line.find('"', 1);
        args.push_back(line.substr(1, close - 1));
        i = close == std::string::npos ? n : close + 1;
    }
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= n) break;
        std::string arg;
        bool quoted = false;
        for (; i < n; ++i) {
            std::size_t slashes = 0;
            while (i < n && line[i] == '\\') ++slashes, ++i;
            if (i < n && line[i] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2) {
                    arg += '"';
                } else if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            arg.append(slashes, '\\');
            if (i >= n || (!quoted && (line[i] == ' ' || line[i] == '\t'))) break;
            arg += line[i];
        }
        args.push_back(arg);
    }
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> text = vnfuzz::Text(data, size);
    std::vector<std::string> lines(1);
    for (const char* p = text.data(); *p; ++p) {
        if (*p == '\n') lines.emplace_back();
        else lines.back() += *p;
    }
    uninst::RoleFor(lines);
    while (lines.size() < 5) lines.emplace_back();
    const std::string &key = lines[0], &name = lines[2], &value = lines[3], &strings = lines[4];

    const std::string program = "C:\\TEMP\\www1.tmp";
    const std::vector<std::string> expected = {program, key, "/DeleteSelf", lines[1]};
    std::vector<std::string> split = SplitArguments(uninst::WorkingCopyCommand(program, key, lines[1]));
    if (split != expected) std::abort();
    if (uninst::RoleFor({split.begin() + 1, split.end()}) != uninst::Role::Working) std::abort();
    uninst::IsRecordKey(key);

    // A "DeleteFiles" entry: the name, with the folder text as its data.
    const uninst::Folders folders{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\Program Files\\Kalvo"};
    auto lookup = [&](const std::string& n, std::string* out) {
        *out = strings;
        return n == "AppDir";
    };
    const std::string folder = uninst::ResolveFolder(value, folders, lookup);
    if (uninst::IsSafeFile(folder, name)) {
        const std::string path = folder + "\\" + name;
        if (path.size() >= vn::kMaxText || name.find('\\') != std::string::npos) std::abort();
        // A companion differs from the file only in its three-letter extension.
        for (const std::string& extra : uninst::Companions(path, name, value))
            if (extra.size() != path.size() || path[path.size() - 4] != '.' ||
                extra.compare(0, path.size() - 3, path, 0, path.size() - 3) != 0)
                std::abort();
    }
    const uninst::FileKind kind = uninst::KindOf(name);
    for (int bits = 0; bits < 16; ++bits) {
        bool shared = bits & 1, yes = bits & 2, no = bits & 4, ask = bits & 8;
        uninst::FileStep step = uninst::StepForFile(shared, kind, yes, no, ask);
        if (step == uninst::FileStep::RemoveAtEnd && kind != uninst::FileKind::Uninstaller) std::abort();
        if (step == uninst::FileStep::Ask && (!shared || !ask || yes || no)) std::abort();
    }

    // A "DeleteRegs" entry and a "DeleteDirectory" entry of the same texts.
    const std::string keyPath = uninst::TrimAtSigns(name);
    uninst::KeyPathOfValueEntry(keyPath);
    if (uninst::SameRegData(value, strings) != uninst::SameRegData(strings, value)) std::abort();
    if (uninst::MeansWholeKey(value) && uninst::MayDeleteKey(keyPath) &&
        uninst::IsWithin("Software\\Microsoft\\Windows\\CurrentVersion\\Run", keyPath))
        std::abort();
    if (uninst::MayDeleteTree(name, folders) &&
        (!uninst::MayRemoveEmptyFolder(name) || uninst::IsWithin(folders.windows, name) ||
         uninst::IsWithin(folders.system, name)))
        std::abort();
    uninst::StartsUninstaller(value, folders.system);
    return 0;
}
