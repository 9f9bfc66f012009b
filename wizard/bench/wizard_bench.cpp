// Prints the wizard's figures:
//  - start to first page painted, against a minimal wizard-style sheet with one empty page that
//    this program shows itself (run as "wizard_bench.exe --minimal"), both as new processes;
//  - filling a shell tree completely from a Start menu of 2,000 shortcuts in 100 folders, against a
//    plain recursive FindFirstFile walk of the same folders.
// Usage: wizard_bench.exe [folder holding TKCfg.exe, by default ..\\bin]
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handles.h"
#include "keyfunc/vnutil.h"
#include "wizard/shelltree.h"
#include "wizard/tests/wizard_driver.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int ShowMinimalSheet() {
    // One empty page from an in-memory template, in the same wizard style as the real sheet.
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } page{};
    page.t.style = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_CONTROL;
    page.t.cx = 477;
    page.t.cy = 265;
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_DLGINDIRECT | 0x800;  // no header, as the wizard's pages
    psp.pResource = &page.t;
    psp.pfnDlgProc = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_INITDIALOG; };
    HPROPSHEETPAGE handle = CreatePropertySheetPageA(&psp);
    PROPSHEETHEADERA psh{};
    psh.dwSize = sizeof psh;
    psh.dwFlags = PSH_WIZARD | 0x01000000;
    psh.pszCaption = "Minimal";
    psh.nPages = 1;
    psh.phpage = &handle;
    InitCommonControls();
    PropertySheetA(&psh);
    return 0;
}

// Milliseconds from process creation until its sheet is shown with the first page painted.
double TimeToFirstPage(const std::string& exe, const std::string& folder, const char* args = "") {
    double start = Now();
    tkcfg::test::WizardProcess p;
    if (!p.Start(exe, folder, args)) return -1;
    HWND page = p.Page();
    while (GetUpdateRect(page, nullptr, FALSE)) Sleep(1);
    double ms = Now() - start;
    p.Press(PSBTN_CANCEL);
    p.WaitExit();
    return ms;
}

void WalkFiles(const std::string& folder, int* count) {
    WIN32_FIND_DATAA fd;
    vn::FindHandle h(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!h) return;
    do {
        if (fd.cFileName[0] == '.') continue;
        ++*count;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) WalkFiles(folder + "\\" + fd.cFileName, count);
    } while (FindNextFileA(h.get(), &fd));
}

void BenchTree() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + "vn_bench_menu";
    CreateDirectoryA(root.c_str(), nullptr);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string target = std::string(system) + "\\notepad.exe";
    for (int f = 0; f < 100; ++f) {
        std::string folder = root + "\\Folder " + std::to_string(f);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int s = 0; s < 20; ++s) {
            std::string link = folder + "\\Program " + std::to_string(s) + ".lnk";
            if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) CreateShortcut(target.c_str(), "", 0, link.c_str());
        }
    }
    // The user's Start menu is made to point at these folders for the measurement.
    const char* shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    vn::RegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, shell, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
    char old[MAX_PATH] = {};
    DWORD size = sizeof old, type = REG_EXPAND_SZ;
    bool had = RegQueryValueExA(key.get(), "Start Menu", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == 0;
    RegSetValueExA(key.get(), "Start Menu", 0, REG_SZ, reinterpret_cast<const BYTE*>(root.c_str()),
                   static_cast<DWORD>(root.size() + 1));

    // A shown tree of the page's size, whose parent hands the tree's notifications to it as the page does.
    static tkcfg::ShellTree shellTree;
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_NOTIFY && shellTree.OnNotify(reinterpret_cast<NMHDR*>(lp))) return 0;
        return DefWindowProcA(w, msg, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VnBenchFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 360, 128, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 360, 128, frame,
                                nullptr, nullptr, nullptr);
    shellTree.Attach(tree);
    std::vector<double> fills, walks;
    int items = 0, files = 0;
    for (int run = 0; run < 5; ++run) {
        double t0 = Now();
        shellTree.Fill(CSIDL_STARTMENU);
        shellTree.ExpandAll();
        items = TreeView_GetCount(tree);
        UpdateWindow(tree);  // the items in view, with their icons
        fills.push_back(Now() - t0);
        t0 = Now();
        files = 0;
        WalkFiles(root, &files);
        walks.push_back(Now() - t0);
    }
    TreeView_DeleteAllItems(tree);
    DestroyWindow(frame);
    if (had)
        RegSetValueExA(key.get(), "Start Menu", 0, type, reinterpret_cast<BYTE*>(old), size);
    else
        RegDeleteValueA(key.get(), "Start Menu");
    std::printf("shell tree fill: %d items in %.1f ms; FindFirstFile walk: %d entries in %.1f ms; ratio %.2f (goal <= 3)\n",
                items, Median(fills), files, Median(walks), Median(fills) / Median(walks));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--minimal") return ShowMinimalSheet();
    CoInitialize(nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = argc > 1 ? argv[1] : std::string(self).substr(0, std::string(self).find_last_of('\\')) + "\\..\\bin";
    std::vector<double> wizard, minimal;
    for (int run = 0; run < 5; ++run) {
        wizard.push_back(TimeToFirstPage(folder + "\\TKCfg.exe", folder));
        minimal.push_back(TimeToFirstPage(self, folder, "--minimal"));
    }
    std::printf("start to first page painted: wizard %.1f ms, minimal sheet %.1f ms, ratio %.2f (goal <= 2)\n",
                Median(wizard), Median(minimal), Median(wizard) / Median(minimal));
    BenchTree();
    CoUninitialize();
    return 0;
}
