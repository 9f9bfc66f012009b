// The setup script's sections as the profile reader returns them, its field syntax and "Update
// Driver" entries, the command line, the licence table, the wininit.ini edit and the PCX decoder:
// scripts, command lines and pictures on an installation medium are outside data.
// The first byte picks the parser.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "setup/script/cmdline.h"
#include "setup/script/fields.h"
#include "setup/script/licence.h"
#include "setup/script/pcx.h"
#include "setup/script/section.h"
#include "setup/script/work_rules.h"
#include "setup/util/rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t which = data[0] % 5;
    ++data;
    --size;
    std::vector<char> text = vnfuzz::Text(data, size);
    const std::string value(text.data());
    switch (which) {
    case 0: {
        // Placeholders stand for texts of at most 8 characters here, so the fields can only grow
        // by that much per percent sign.
        setupscript::Folders folders{"C:\\WIN", "C:\\WIN\\S", "C:\\D", "E:"};
        auto strings = [](const std::string& name, std::string* t) {
            *t = name.size() < 4 ? name : std::string();
            return !t->empty();
        };
        std::size_t total = 0;
        for (const auto& f : setupscript::SplitFields(value, folders, strings)) total += f.size();
        if (total > value.size() * 24 + 24) std::abort();
        total = 0;
        for (const auto& f : setupscript::SplitSimpleFields(value)) total += f.size();
        if (total > value.size()) std::abort();
        // The same value as an "Update Driver" entry and the paths the driver step makes of it.
        const setupscript::DriverEntry entry = setupscript::ReadDriverEntry(value);
        if (entry.fields.size() != 10) std::abort();
        entry.Unknown();
        entry.CopyFlag();
        if (setupscript::EntryInf("E:", entry).size() != 3 + entry[10].size() + entry[2].size()) std::abort();
        setupscript::PreloadCommand(setupscript::LocalMediumFolder(entry[3], entry[1]), entry, "V");
        // The same bytes as a section read whole: "key=value" texts, each ended by a zero.
        for (const auto& e : setupscript::SplitSection(reinterpret_cast<const char*>(data), size, 259))
            if (e.value.size() > 259 || e.key.size() + e.value.size() > size) std::abort();
        break;
    }
    case 1:
        setupscript::ParseCommandLine(text.data());
        break;
    case 2:
        setupscript::LicenceFileForLocale(text.data());
        break;
    case 3:
        if (instutil::InsertRenameLine(value, "a=b\r\n").size() > value.size() + 17) std::abort();
        break;
    case 4: {
        setupscript::PcxImage img;
        if (setupscript::DecodePcx(data, size, &img)) {
            if (img.bits.size() != img.Stride() * static_cast<std::size_t>(img.height)) std::abort();
            if (img.palette.size() != (std::size_t(1) << img.bitsPerPixel)) std::abort();
        }
        break;
    }
    }
    return 0;
}
