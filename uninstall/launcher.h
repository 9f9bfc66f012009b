// The command-line roles of the uninstaller and its self-deletion protocol: the started program
// only copies itself to a temporary file and waits until that copy, which does the work, no
// longer needs the installed program file.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace uninst {

int Main(HINSTANCE instance, const std::vector<std::string>& args);

// The launcher: temporary "www" copy, scheduled for deletion, started with the key, "/DeleteSelf"
// and the own folder; returns when the copy signals "DeleteSelfEvent". False when it could not start.
bool LaunchWorkingCopy(const std::string& key, const std::string& ownFolder);

}  // namespace uninst
