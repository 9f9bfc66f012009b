// The eight-page setup wizard.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <memory>

#include "common/handles.h"
#include "setup/install_work.h"
#include "setup/resource.h"
#include "setup/run.h"

namespace setup {

namespace {

enum Page { kWelcome, kLicence, kInterface, kDestination, kProgramFolder, kStart, kProgress, kResult, kPageCount };

const int kTemplates[kPageCount] = {IDD_WELCOME,        IDD_LICENSE, IDD_INTERFACE, IDD_DESTINATION,
                                    IDD_PROGRAM_FOLDER, IDD_START,   IDD_PROGRESS,  IDD_RESULT};

struct Wizard;

struct PageState {
    Wizard* wizard = nullptr;
    Page page = kWelcome;
    instutil::SidePicture picture;
};

struct Wizard {
    SetupRun* run = nullptr;
    PageState pages[kPageCount];
    InstallShared install;
    vn::Handle thread;
    vn::Handle pause;
    WNDPROC sheetProc = nullptr;
};

Wizard* g_wizard = nullptr;

// How long "Exit Setup" lets the worker finish the file it is copying.
constexpr DWORD kStopWait = 60000;  // for the property sheet's callback, which carries no data

HWND Sheet(HWND page) { return GetParent(page); }

void SetResult(HWND page, LONG_PTR result) { SetWindowLongPtrA(page, DWLP_MSGRESULT, result); }

std::string ItemText(HWND page, int id) {
    char text[1024] = {};
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

// "Exit Setup": true when the user chose to quit.
INT_PTR CALLBACK ExitProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        const std::string& product = *reinterpret_cast<const std::string*>(lp);
        for (int id : {IDC_TEXT1, IDC_TEXT2}) SetDlgItemTextA(dialog, id, FillIn(ItemText(dialog, id), product).c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_EXIT_SETUP || LOWORD(wp) == IDC_RESUME || LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wp) == IDC_EXIT_SETUP);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

bool AskExit(Wizard& w, HWND owner) {
    return DialogBoxParamA(w.run->instance, MAKEINTRESOURCEA(IDD_EXIT_SETUP), owner, ExitProc,
                           reinterpret_cast<LPARAM>(&w.run->keys.productName)) == 1;
}

void FillSummary(HWND page, const SetupRun& run) {
    auto entry = [&](const char* lead, UINT label, const std::string& value) {
        return FillIn(lead, LoadText(run.instance, label)) + value;
    };
    std::string text = entry("%s:\r\n          ", IDS_PRODUCT, run.keys.productName);
    text += entry("\r\n\r\n%s:\r\n          ", IDS_VERSION, run.keys.version);
    text += entry("\r\n\r\n%s:\r\n          ", IDS_INTERFACE,
                  LoadText(run.instance, run.iface.chosen == setupscript::Interface::Usb ? IDS_USB : IDS_PS2));
    if (run.askPath) text += entry("\r\n\r\n%s:\r\n          ", IDS_INSTALL_DIR, run.destination);
    if (run.askProgramFolder) text += entry("\r\n\r\n%s:\r\n          ", IDS_PROGRAM_FOLDER, run.programFolder);
    SetDlgItemTextA(page, IDC_SUMMARY, text.c_str());
}

// More than any agreement needs; a larger file shows its beginning.
constexpr DWORD kMaxLicence = 1024 * 1024;

void ShowLicence(HWND page, const SetupRun& run) {
    std::string text;
    const DWORD length = run.licenceLength < kMaxLicence ? run.licenceLength : kMaxLicence;
    if (!run.licencePath.empty()) {
        vn::FileHandle file(
            CreateFileA(run.licencePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) {
            text.resize(length);
            DWORD read = 0;
            if (length && !ReadFile(file.get(), &text[0], length, &read, nullptr)) read = 0;
            text.resize(read);
        }
    }
    SetDlgItemTextA(page, IDC_LICENSE_TEXT, text.c_str());
}

// The progress bar: a blue bar on white with the percentage centred, its digits white where the
// bar lies under them.
void DrawProgress(const DRAWITEMSTRUCT& item, LONG percent) {
    HDC dc = item.hDC;
    RECT all = item.rcItem;
    RECT bar = all;
    bar.right = all.left + MulDiv(all.right - all.left, percent, 100);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    vn::GdiObject blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc, &bar, static_cast<HBRUSH>(blue.get()));
    char text[8];
    wsprintfA(text, "%d%%", static_cast<int>(percent));
    int old = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    SetBkMode(dc, old);
}

// What went wrong, naming the file, and what the user can do about it.
void ShowFailure(HWND page, const SetupRun& run) {
    std::string text;
    UINT hint = IDS_FAILED_HINT;
    if (run.failureCode == kCabinetFailure) {
        text = LoadText(run.instance, IDS_FAILED) + "\n\n" + LoadText(run.instance, IDS_READ_FAILED);
    } else {
        const bool full = DiskFull(run.failedError);
        text = LoadText(run.instance, full ? IDS_DISK_FULL : IDS_WRITE_FAILED);
        hint = full ? IDS_DISK_FULL_HINT : IDS_WRITE_FAILED_HINT;
    }
    SetDlgItemTextA(page, IDC_TEXT1, (text + "\n" + run.failedFile).c_str());
    SetDlgItemTextA(page, IDC_TEXT2, LoadText(run.instance, hint).c_str());
}

void InitResult(HWND page, SetupRun& run) {
    bool restart = false;
    // A copy that stopped at a file keeps what it copied before it, files in use included.
    for (const auto& pair : run.renames)
        instutil::ScheduleBootRename(pair.first.c_str(), pair.second.c_str(), run.system);
    if (run.failureCode != 0) {
        ShowFailure(page, run);
    } else {
        if (!run.renames.empty()) run.iface.restart = true;
        restart = run.iface.restart && !run.noRestart;
        std::string text = FillIn(LoadText(run.instance, restart ? IDS_DONE_RESTART : IDS_DONE), run.keys.productName);
        SetDlgItemTextA(page, IDC_TEXT1, text.c_str());
        SetDlgItemTextA(page, IDC_TEXT2, "");
    }
    for (int id : {IDC_RESTART_NOW, IDC_RESTART_LATER}) ShowWindow(GetDlgItem(page, id), restart ? SW_SHOW : SW_HIDE);
    CheckRadioButton(page, IDC_RESTART_NOW, IDC_RESTART_LATER, IDC_RESTART_NOW);
}

// A readable disk in drive A: would be started from at the restart.
bool FloppyInDriveA() {
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("A:\\*.*", &data);
    DWORD error = GetLastError();
    SetErrorMode(old);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return true;
    }
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
}

void Restart(HWND page, const SetupRun& run) {
    if (!run.silent && FloppyInDriveA())
        MessageBoxA(page, LoadText(run.instance, IDS_RESTART_DISKS).c_str(), LoadText(run.instance, IDS_WARNING).c_str(),
                    MB_OK | MB_ICONWARNING);
    if (run.system.nt) instutil::EnableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT, 0);
}

void StartInstall(HWND page, Wizard& w) {
    if (!w.pause) w.pause.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    w.install.run = w.run;
    w.install.sheet = Sheet(page);
    w.install.page = page;
    w.install.pause = w.pause.get();
    DWORD id = 0;
    w.thread.reset(CreateThread(nullptr, 0, InstallThread, &w.install, 0, &id));
}

// Cancel on the progress page: the worker stops before its next file while the question is open.
bool CancelInstall(HWND page, Wizard& w) {
    InterlockedExchange(&w.install.pausing, 1);
    if (w.pause) ResetEvent(w.pause.get());
    bool quit = AskExit(w, Sheet(page));
    if (!quit) {
        if (w.pause) SetEvent(w.pause.get());
        InterlockedExchange(&w.install.pausing, 0);
        return false;
    }
    InterlockedExchange(&w.install.cancelled, 1);
    if (w.pause) SetEvent(w.pause.get());
    // The worker stops before its next file; ending it in the middle of one would leave a
    // half-written file behind. Messages sent to this thread meanwhile are served.
    if (w.thread) {
        const DWORD until = GetTickCount() + kStopWait;
        HANDLE thread = w.thread.get();
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, until - GetTickCount(), QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1 &&
               static_cast<LONG>(until - GetTickCount()) > 0) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) TerminateThread(thread, 1);
    }
    w.thread.reset();
    w.pause.reset();
    RollBack(w.install);
    return true;
}

// "From:" and "To:" follow the worker; a file already shown is not written again.
void ShowCurrentFile(HWND page, InstallShared& install) {
    const LONG current = install.current;
    if (current < 0 || current == install.shown) return;
    const FileRecord& r = install.files[static_cast<std::size_t>(current)];
    SetDlgItemTextA(page, IDC_FROM, r.source.c_str());
    SetDlgItemTextA(page, IDC_TO, Destination(r).c_str());
    install.shown = current;
}

// The copy is over: the page tells that the registry and the driver are being updated.
void ShowUpdating(HWND page, const SetupRun& run) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id != IDC_SIDE_PICTURE && id != IDC_STATUS) ShowWindow(child, SW_HIDE);
    }
    SetDlgItemTextA(page, IDC_STATUS, LoadText(run.instance, IDS_UPDATING).c_str());
    PropSheet_CancelToClose(Sheet(page));
}

BOOL OnNotify(HWND page, PageState& state, const NMHDR& note) {
    Wizard& w = *state.wizard;
    SetupRun& run = *w.run;
    HWND sheet = Sheet(page);
    switch (note.code) {
    case PSN_SETACTIVE:
        if (state.page == kProgress) {
            PropSheet_SetWizButtons(sheet, 0);
            StartInstall(page, w);
        } else if (state.page == kResult) {
            PropSheet_CancelToClose(sheet);
            PropSheet_SetWizButtons(sheet, PSWIZB_FINISH);
            if (run.silent && run.failureCode == 0) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        } else {
            PropSheet_SetWizButtons(sheet, PSWIZB_BACK | PSWIZB_NEXT);
            if (state.page == kLicence) ShowLicence(page, run);
            if (state.page == kStart) FillSummary(page, run);
            if (run.silent) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        }
        SetResult(page, 0);
        return TRUE;
    case PSN_WIZNEXT:
        if (state.page == kInterface) {
            setupscript::Interface chosen = IsDlgButtonChecked(page, IDC_PS2) == BST_CHECKED
                                                ? setupscript::Interface::Ps2
                                                : setupscript::Interface::Usb;
            setupscript::ChooseInterface(run.iface, chosen, run.system.nt, run.keys.usbInf);
        } else if (state.page == kProgress) {
            if (w.thread) WaitForSingleObject(w.thread.get(), INFINITE);
            w.thread.reset();
            w.pause.reset();
        }
        SetResult(page, 0);
        return TRUE;
    case PSN_QUERYCANCEL: {
        bool quit = state.page == kResult || (state.page == kProgress ? CancelInstall(page, w) : AskExit(w, sheet));
        SetResult(page, quit ? FALSE : TRUE);
        return TRUE;
    }
    case PSN_WIZFINISH:
        if (run.failureCode == 0 && run.iface.restart && !run.noRestart &&
            IsDlgButtonChecked(page, IDC_RESTART_LATER) != BST_CHECKED)
            Restart(page, run);
        SetResult(page, 0);
        return TRUE;
    }
    return FALSE;
}

void InitPage(HWND page, PageState& state) {
    SetupRun& run = *state.wizard->run;
    state.picture.Attach(page, IDC_SIDE_PICTURE);
    switch (state.page) {
    case kWelcome:
        SetDlgItemTextA(page, IDC_TEXT1, FillIn(ItemText(page, IDC_TEXT1), run.keys.productName).c_str());
        break;
    case kInterface:
        if (!run.keys.ps2Type) {
            setupscript::ChooseInterface(run.iface, setupscript::Interface::Ps2, run.system.nt, run.keys.usbInf);
            EnableWindow(GetDlgItem(page, IDC_PS2), FALSE);
        }
        if (!run.keys.usbType) {
            setupscript::ChooseInterface(run.iface, setupscript::Interface::Usb, run.system.nt, run.keys.usbInf);
            EnableWindow(GetDlgItem(page, IDC_USB), FALSE);
        }
        CheckRadioButton(page, IDC_PS2, IDC_USB,
                         run.iface.chosen == setupscript::Interface::Ps2 ? IDC_PS2 : IDC_USB);
        break;
    case kDestination:
        SetDlgItemTextA(page, IDC_DESTINATION, run.destination.c_str());
        break;
    case kProgramFolder:
        SetDlgItemTextA(page, IDC_PROGRAM_FOLDER, run.programFolder.c_str());
        break;
    case kResult:
        InitResult(page, run);
        break;
    default:
        break;
    }
    HWND sheet = Sheet(page);
    if (run.hidden)
        ShowWindow(sheet, SW_HIDE);
    else if (!run.silent)
        instutil::BringToFront(sheet, run.system, run.system.win2000);
}

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<PageState*>(GetWindowLongPtrA(page, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        state = reinterpret_cast<PageState*>(reinterpret_cast<PROPSHEETPAGEA*>(lp)->lParam);
        SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        InitPage(page, *state);
        return TRUE;
    case WM_PAINT:
        if (state) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(page, &ps);
            state->picture.Paint(dc);
            EndPaint(page, &ps);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (state) return OnNotify(page, *state, *reinterpret_cast<NMHDR*>(lp));
        break;
    case WM_DRAWITEM:
        if (state && wp == IDC_PROGRESS_BAR) {
            DrawProgress(*reinterpret_cast<DRAWITEMSTRUCT*>(lp), state->wizard->install.percent);
            return TRUE;
        }
        break;
    case kProgressChanged:
        if (state) {
            InterlockedExchange(&state->wizard->install.posted, 0);
            ShowCurrentFile(page, state->wizard->install);
        }
        InvalidateRect(GetDlgItem(page, IDC_PROGRESS_BAR), nullptr, FALSE);
        return TRUE;
    case kCopyDone:
        if (state) ShowUpdating(page, *state->wizard->run);
        return TRUE;
    case WM_SETCURSOR:
        if (state && state->page == kProgress && state->wizard->install.busy) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            SetResult(page, TRUE);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The sheet keeps its place below the band when the work area or the display changes.
LRESULT CALLBACK SheetProc(HWND sheet, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcA(g_wizard->sheetProc, sheet, msg, wp, lp);
    if (msg == WM_SETTINGCHANGE || msg == WM_DISPLAYCHANGE) instutil::PlaceBelowBand(sheet, g_wizard->run->bandHeight);
    return r;
}

int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM lp) {
    if (msg == PSCB_PRECREATE && g_wizard->run->hidden) {
        // Created hidden, so that it never flashes up.
        auto* ex = reinterpret_cast<DWORD*>(lp);
        if (reinterpret_cast<WORD*>(lp)[1] == 0xFFFF)
            ex[3] &= ~WS_VISIBLE;  // DLGTEMPLATEEX: style after version, signature, help id, extended style
        else
            reinterpret_cast<DLGTEMPLATE*>(lp)->style &= ~WS_VISIBLE;
    } else if (msg == PSCB_INITIALIZED) {
        instutil::PlaceBelowBand(sheet, g_wizard->run->bandHeight);
        g_wizard->sheetProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
    }
    return 0;
}

}  // namespace

void RunWizard(SetupRun& run, HWND owner) {
    auto w = std::make_unique<Wizard>();
    w->run = &run;
    g_wizard = w.get();
    const bool wanted[kPageCount] = {true,        run.askLicense, run.askType, run.askPath, run.askProgramFolder,
                                     true,        true,           true};
    PROPSHEETPAGEA pages[kPageCount] = {};
    UINT count = 0, start = 0;
    for (int i = 0; i < kPageCount; ++i) {
        w->pages[i].wizard = w.get();
        w->pages[i].page = static_cast<Page>(i);
        if (!wanted[i]) continue;
        // A silent run would only press Next on every page before the installation: it starts there.
        if (i == kProgress && run.silent) start = count;
        PROPSHEETPAGEA& p = pages[count++];
        p.dwSize = sizeof p;
        p.hInstance = run.instance;
        p.pszTemplate = MAKEINTRESOURCEA(kTemplates[i]);
        p.pfnDlgProc = PageProc;
        p.lParam = reinterpret_cast<LPARAM>(&w->pages[i]);
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_NOAPPLYNOW | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hwndParent = owner;
    header.hInstance = run.instance;
    header.nPages = count;
    header.nStartPage = start;
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    PropertySheetA(&header);
    g_wizard = nullptr;
}

}  // namespace setup
