// Finding and answering the uninstaller's dialogs from outside, as a user would.
#pragma once
#include <windows.h>

#include <string>

#include "common/testing/winetest.h"

namespace uninsttest {

using vntest::WindowText;

struct Search {
    std::string caption;
    HWND found = nullptr;
};

inline BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w) && WindowText(w) == s->caption) s->found = w;
    return TRUE;
}

// A visible dialog of any process with this caption, or null.
inline HWND Dialog(const std::string& caption) {
    Search s{caption};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline HWND WaitDialog(const std::string& caption, DWORD ms = 20000) {
    HWND found = nullptr;
    vntest::WaitUntil([&] { return (found = Dialog(caption)) != nullptr; }, ms);
    return found;
}

inline void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace uninsttest
