#include "setup/script/cmdline.h"

#include <cstring>

namespace setupscript {

using instutil::SameText;

CommandOptions ParseCommandLine(const char* commandLine) {
    CommandOptions o;
    if (!commandLine) return o;
    const char* p = std::strchr(commandLine, '/');
    for (int count = 0; p && count < kMaxOptions; ++count) {
        ++p;  // past the "/"
        std::string option;
        for (; *p && *p != '/'; ++p)
            if (*p != ' ' && option.size() < kMaxOptionLength) option.push_back(*p);
        if (option.empty()) break;
        const char* s = option.c_str();
        if (SameText(s, "H")) {
            o.hidden = true;
        } else if (SameText(s, "S")) {
            o.silent = true;
        } else if (SameText(s, "NR")) {
            o.noRestart = true;
        } else if (SameText(s, "TYPE:PS2")) {
            o.typeGiven = true;
            o.type = Interface::Ps2;
        } else if (SameText(s, "TYPE:USB")) {
            o.typeGiven = true;
            o.type = Interface::Usb;
        } else if (SameText(s, "PRELOAD") || SameText(s, "P")) {
            o.preload = true;
        }
        p = *p ? p : nullptr;
    }
    return o;
}

}  // namespace setupscript
