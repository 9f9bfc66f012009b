#include "setup/install_work.h"

#include <commctrl.h>
#include <prsht.h>

namespace setup {

// The file, registry and driver steps run here once they are part of the program; with none of
// them, the work is complete at once.
DWORD WINAPI InstallThread(void* param) {
    auto* shared = static_cast<InstallShared*>(param);
    InterlockedExchange(&shared->percent, 100);
    PostMessageA(shared->page, kProgressChanged, 0, 0);
    PostMessageA(shared->sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    return 0;
}

}  // namespace setup
