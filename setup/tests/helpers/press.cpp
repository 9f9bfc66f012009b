// Presses a button of a running setup for the screenshot script:
//   setup_press next | cancel | exit | resume | later-finish
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "setup/resource.h"

namespace {

HWND g_sheet = nullptr;
HWND g_exit = nullptr;

BOOL CALLBACK Find(HWND w, LPARAM) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0) return TRUE;
    DWORD_PTR page = 0;
    if (SendMessageTimeoutA(w, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, 2000, &page) && page) g_sheet = w;
    if (GetDlgItem(w, IDC_EXIT_SETUP)) g_exit = w;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    EnumWindows(Find, 0);
    bool exit = lstrcmpA(argv[1], "exit") == 0;
    if (exit || lstrcmpA(argv[1], "resume") == 0) {
        if (!g_exit) return 1;
        int id = exit ? IDC_EXIT_SETUP : IDC_RESUME;
        PostMessageA(g_exit, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return 0;
    }
    if (!g_sheet) return 1;
    if (lstrcmpA(argv[1], "next") == 0) PostMessageA(g_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    if (lstrcmpA(argv[1], "cancel") == 0) PostMessageA(g_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (lstrcmpA(argv[1], "later-finish") == 0) {
        DWORD_PTR page = 0;
        SendMessageTimeoutA(g_sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, 2000, &page);
        HWND p = reinterpret_cast<HWND>(page);
        CheckRadioButton(p, IDC_RESTART_NOW, IDC_RESTART_LATER, IDC_RESTART_LATER);
        PostMessageA(g_sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    }
    return 0;
}
