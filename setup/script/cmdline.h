// setup's command-line options. Plain C++.
#pragma once
#include <string>

#include "setup/script/script.h"

namespace setupscript {

struct CommandOptions {
    bool hidden = false;
    bool silent = false;
    bool noRestart = false;
    bool preload = false;
    bool typeGiven = false;
    Interface type = Interface::Usb;
};

constexpr int kMaxOptions = 16;
constexpr std::size_t kMaxOptionLength = 15;

// Splits at each "/", drops every blank and the text before the first "/", takes at most 16
// options of at most 15 characters and stops at the first empty one. Unknown options are ignored.
CommandOptions ParseCommandLine(const char* commandLine);

}  // namespace setupscript
