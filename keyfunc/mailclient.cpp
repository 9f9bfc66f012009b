// The mail programs registered on the machine, and starting or re-activating one of them.
#include <string>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/cmdparse.h"
#include "keyfunc/regtext.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

const char kClients[] = "Software\\Clients\\Mail";

// The mail program started last time; forgotten when it can no longer be activated.
DWORD g_mailProcess = 0;

bool DefaultClient(std::string* name) { return ReadRegText(HKEY_LOCAL_MACHINE, kClients, nullptr, name) && !name->empty(); }

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI EnumMailClient(int index, char* name, int bufferSize) {
    if (name && bufferSize > 0) name[0] = '\0';
    if (index < 0) return 0;
    RegKey clients;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClients, 0, KEY_READ, clients.out()) != ERROR_SUCCESS) return 0;
    char found[kMaxText];
    DWORD length = sizeof found;
    if (RegEnumKeyExA(clients.get(), static_cast<DWORD>(index), found, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    if (!name) return 1;
    return CopyOut(found, name, bufferSize);
}

int VNAPI GetDefaultMailClient(char* buffer, int bufferSize) {
    std::string name;
    if (!buffer || !DefaultClient(&name)) return 0;
    return CopyOut(name, buffer, bufferSize);
}

int VNAPI GetDefaultMailClientDllPath(char* buffer, int bufferSize) {
    std::string name, path;
    if (!buffer || !DefaultClient(&name)) return 0;
    if (!ReadRegText(HKEY_LOCAL_MACHINE, (std::string(kClients) + "\\" + name).c_str(), "DLLPath", &path)) return 0;
    return CopyOut(path, buffer, bufferSize);
}

int VNAPI LaunchMailClient(const char* name) {
    if (!name || !*name) return 0;
    std::string clientPath = std::string(kClients) + "\\" + name;
    {
        RegKey client;
        if (clientPath.size() >= kMaxText ||
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, clientPath.c_str(), 0, KEY_READ, client.out()) != ERROR_SUCCESS)
            return 0;
    }
    std::string command, program, arguments;
    if (ReadRegText(HKEY_LOCAL_MACHINE, (clientPath + "\\Shell\\Open\\Command").c_str(), nullptr, &command)) {
        SplitShellCommand(command.c_str(), &program, &arguments);
    } else if (lstrcmpiA(name, "Netscape Messenger") == 0 &&
               ReadRegText(HKEY_LOCAL_MACHINE, (clientPath + "\\Protocols\\mailto\\shell\\open\\command").c_str(),
                           nullptr, &command)) {
        // Its mailto handler opens the mail window when told so.
        SplitShellCommand(command.c_str(), &program, &arguments);
        arguments = "-mail";
    }
    if (program.empty()) return 0;

    if (g_mailProcess) {
        if (ActivateWindowByProcessId(g_mailProcess, 1)) return 1;
        g_mailProcess = 0;
    }
    if (!FileExisted(program.c_str())) return 0;
    return LaunchProgram(program.c_str(), arguments.c_str(), nullptr, &g_mailProcess) ? 1 : 0;
}

int VNAPI LaunchDefaultMailProgram() {
    char name[kMaxText];
    if (!GetDefaultMailClient(name, sizeof name)) return 0;
    return LaunchMailClient(name);
}

}  // extern "C"
