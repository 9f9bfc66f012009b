#include "uninstall/ui.h"

#include <commctrl.h>

#include "uninstall/resource.h"

namespace uninst {

namespace {

using instutil::FillIn;
using instutil::LoadText;

constexpr UINT kConfirm = WM_APP + 200;
constexpr UINT kStageDone = WM_APP + 201;  // + 0 to 5: stages 1 to 6 finished
constexpr UINT kAskShared = WM_APP + 210;  // worker to dialog: the shared-file question
constexpr UINT_PTR kOkTimer = 1;
constexpr int kStages = 6;
constexpr char kClassName[] = "VarnelUninstall";

// ---- shared-file question ----

struct SharedQuestion {
    UninstallRun* run;
    const std::string* name;
    const std::string* folder;
};

INT_PTR CALLBACK SharedProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* q = reinterpret_cast<SharedQuestion*>(lp);
        SetDlgItemTextA(dlg, IDC_SHARED_TEXT1, FillIn(LoadText(q->run->instance, IDS_SHARED_TEXT), q->run->product).c_str());
        SetDlgItemTextA(dlg, IDC_SHARED_NAME, q->name->c_str());
        SetDlgItemTextA(dlg, IDC_SHARED_FOLDER, q->folder->c_str());
        // Below the progress dialog when there is room, so that the stages stay in view.
        RECT owner{}, self{}, work{};
        GetWindowRect(GetParent(dlg), &owner);
        GetWindowRect(dlg, &self);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        int height = self.bottom - self.top, width = self.right - self.left;
        if (owner.bottom + 8 + height <= work.bottom)
            SetWindowPos(dlg, nullptr, (owner.left + owner.right - width) / 2, owner.bottom + 8, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDYES: EndDialog(dlg, static_cast<INT_PTR>(SharedAnswer::Yes)); return TRUE;
        case IDC_YES_TO_ALL: EndDialog(dlg, static_cast<INT_PTR>(SharedAnswer::YesToAll)); return TRUE;
        case IDNO:
        case IDCANCEL: EndDialog(dlg, static_cast<INT_PTR>(SharedAnswer::No)); return TRUE;
        case IDC_NO_TO_ALL: EndDialog(dlg, static_cast<INT_PTR>(SharedAnswer::NoToAll)); return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- progress dialog and worker ----

struct Progress {
    UninstallRun* run;
    HWND dialog = nullptr;
    vn::Handle worker;
    vn::GdiObject tick;
};

// Called on the worker thread: the question is asked on the dialog's thread.
SharedAnswer AskFromWorker(void* context, const std::string& name, const std::string& folder) {
    auto* p = static_cast<Progress*>(context);
    SharedQuestion q{p->run, &name, &folder};
    return static_cast<SharedAnswer>(SendMessageA(p->dialog, kAskShared, 0, reinterpret_cast<LPARAM>(&q)));
}

DWORD WINAPI Worker(void* param) {
    auto* p = static_cast<Progress*>(param);
    UninstallRun& run = *p->run;
    RestoreDrivers(run);
    SendMessageA(p->dialog, kStageDone + 0, 0, 0);
    CloseWindows(run);
    SendMessageA(p->dialog, kStageDone + 1, 0, 0);
    // "DeleteProgramFolder" is listed in records but asks for nothing.
    SendMessageA(p->dialog, kStageDone + 2, 0, 0);
    DeleteFiles(run);
    SendMessageA(p->dialog, kStageDone + 3, 0, 0);
    DeleteFolders(run);
    SendMessageA(p->dialog, kStageDone + 4, 0, 0);
    bool recordGone = DeleteRegistry(run);
    SendMessageA(p->dialog, kStageDone + 5, recordGone, 0);
    return 0;
}

void ShowStage(HWND dlg, const UninstallRun& run, int stage) {
    for (int i = 0; i < kStages; ++i) Animate_Stop(GetDlgItem(dlg, IDC_ANIMATE1 + i));
    if (stage < kStages) {
        ShowWindow(GetDlgItem(dlg, IDC_STAGE1 + stage), SW_SHOW);
        HWND anim = GetDlgItem(dlg, IDC_ANIMATE1 + stage);
        Animate_Play(anim, 0, -1, -1);
        ShowWindow(anim, SW_SHOW);
    }
    SetDlgItemTextA(dlg, IDC_STATUS, LoadText(run.instance, IDS_STAGE1 + stage).c_str());
}

INT_PTR CALLBACK ProgressProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* p = reinterpret_cast<Progress*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        p = reinterpret_cast<Progress*>(lp);
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        p->dialog = dlg;
        UninstallRun& run = *p->run;
        instutil::PlaceBelowBand(dlg, 0);
        SetDlgItemTextA(dlg, IDC_PROGRESS_TEXT, FillIn(LoadText(run.instance, IDS_PROGRESS_TEXT), run.product).c_str());
        EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 12));
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETSTEP, 2, 0);
        // Drawn on the dialog grey, which the loader turns into the system's face colour.
        p->tick.reset(LoadImageA(run.instance, MAKEINTRESOURCEA(IDB_TICK), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        for (int i = 0; i < kStages; ++i) {
            SendDlgItemMessageA(dlg, IDC_TICK1 + i, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(p->tick.get()));
            HWND anim = GetDlgItem(dlg, IDC_ANIMATE1 + i);
            Animate_Open(anim, MAKEINTRESOURCEA(IDA_PROGRESS));
            ShowWindow(anim, SW_HIDE);
            ShowWindow(GetDlgItem(dlg, IDC_TICK1 + i), SW_HIDE);
            if (i > 0) ShowWindow(GetDlgItem(dlg, IDC_STAGE1 + i), SW_HIDE);
        }
        ShowStage(dlg, run, 0);
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        run.askShared = AskFromWorker;
        run.askContext = p;
        DWORD id = 0;
        p->worker.reset(CreateThread(nullptr, 0, Worker, p, 0, &id));
        if (!p->worker) EndDialog(dlg, IDOK);
        return TRUE;
    }
    case WM_SETCURSOR:
        // The hourglass while the drivers are being restored.
        if (p && p->worker && !IsWindowVisible(GetDlgItem(dlg, IDC_TICK1))) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case kAskShared: {
        INT_PTR answer = DialogBoxParamA(p->run->instance, MAKEINTRESOURCEA(IDD_SHARED), dlg, SharedProc, lp);
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, answer < 0 ? static_cast<INT_PTR>(SharedAnswer::No) : answer);
        return TRUE;
    }
    case WM_TIMER:
        if (wp == kOkTimer) {
            KillTimer(dlg, kOkTimer);
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK && IsWindowEnabled(GetDlgItem(dlg, IDOK))) {
            // The worker has sent its last message; let it end before the dialog goes.
            WaitForSingleObject(p->worker.get(), INFINITE);
            EndDialog(dlg, IDOK);
        }
        return TRUE;
    }
    if (p && msg >= kStageDone && msg < kStageDone + kStages) {
        int stage = static_cast<int>(msg - kStageDone);
        ShowWindow(GetDlgItem(dlg, IDC_TICK1 + stage), SW_SHOW);
        ShowWindow(GetDlgItem(dlg, IDC_ANIMATE1 + stage), SW_HIDE);
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
        ShowStage(dlg, *p->run, stage + 1);
        if (stage == 0) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        if (stage == kStages - 1) {
            EnableWindow(GetDlgItem(dlg, IDOK), TRUE);
            if (wp) {
                SetTimer(dlg, kOkTimer, 2000, nullptr);
            } else {
                p->run->failure = 2;
                PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
        }
        return TRUE;
    }
    return FALSE;
}

// ---- result dialog ----

void Show(HWND dlg, int id, bool visible) { ShowWindow(GetDlgItem(dlg, id), visible ? SW_SHOW : SW_HIDE); }

INT_PTR CALLBACK ResultProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* run = reinterpret_cast<UninstallRun*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        run = reinterpret_cast<UninstallRun*>(lp);
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        instutil::PlaceBelowBand(dlg, 0);
        HINSTANCE in = run->instance;
        bool failed = run->failure != 0;
        bool offer = !failed && run->restart;
        SetDlgItemTextA(dlg, IDC_RESULT_TEXT1,
                        FillIn(LoadText(in, failed ? IDS_RESULT_FAILED : IDS_RESULT_DONE), run->product).c_str());
        SetDlgItemTextA(dlg, IDC_RESULT_TEXT2, failed ? LoadText(in, IDS_RESULT_FAILED_HINT).c_str()
                                                      : offer ? LoadText(in, IDS_RESTART_NEEDED).c_str() : "");
        SetDlgItemTextA(dlg, IDC_RESULT_TEXT3, offer ? LoadText(in, IDS_REMOVE_DISKS).c_str() : "");
        Show(dlg, IDC_RESTART_NOW, offer);
        Show(dlg, IDC_RESTART_LATER, offer);
        CheckRadioButton(dlg, IDC_RESTART_NOW, IDC_RESTART_LATER, IDC_RESTART_NOW);
        // What the record asked for beyond the product is named, so that nothing is left unexplained.
        Show(dlg, IDC_SKIPPED_TEXT, !run->skipped.empty());
        Show(dlg, IDC_SKIPPED_LIST, !run->skipped.empty());
        std::string list;
        for (const std::string& item : run->skipped) list += (list.empty() ? "" : "\r\n") + item;
        SetDlgItemTextA(dlg, IDC_SKIPPED_LIST, list.c_str());
        if (offer) {
            SetFocus(GetDlgItem(dlg, IDC_RESTART_NOW));
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_FINISH || LOWORD(wp) == IDCANCEL) {
            bool now = run->restart && IsDlgButtonChecked(dlg, IDC_RESTART_NOW) == BST_CHECKED;
            EndDialog(dlg, now ? IDC_RESTART_NOW : IDC_FINISH);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- background window ----

struct Background {
    UninstallRun* run;
    vn::GdiObject titleFont;
    std::string title;
};

void Paint(HWND window, Background& bg) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    vn::GdiObject ground(CreateSolidBrush(instutil::kBackdropColour));
    FillRect(dc, &client, static_cast<HBRUSH>(ground.get()));
    instutil::DrawTitle(dc, static_cast<HFONT>(bg.titleFont.get()), bg.title.c_str(), client.right);
    EndPaint(window, &ps);
}

void Work(HWND window, UninstallRun& run) {
    HINSTANCE in = run.instance;
    if (MessageBoxA(window, FillIn(LoadText(in, IDS_CONFIRM), run.product).c_str(),
                    FillIn(LoadText(in, IDS_UNINSTALLATION), run.product).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        SetEvent(run.deleteSelfEvent.get());
        return;
    }
    Progress progress{&run};
    DialogBoxParamA(in, MAKEINTRESOURCEA(IDD_PROGRESS), window, ProgressProc, reinterpret_cast<LPARAM>(&progress));
    instutil::BringToFront(window, run.system, true);
    SetEvent(run.deleteSelfEvent.get());
    INT_PTR choice = DialogBoxParamA(in, MAKEINTRESOURCEA(IDD_RESULT), window, ResultProc, reinterpret_cast<LPARAM>(&run));
    if (run.failure != 0) return;
    FinishRemoval(run);
    if (choice == IDC_RESTART_NOW) {
        if (run.system.nt) instutil::EnableShutdownPrivilege();
        ExitWindowsEx(EWX_REBOOT, 0);
    }
}

LRESULT CALLBACK BackgroundProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    auto* bg = reinterpret_cast<Background*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (msg) {
    case WM_CREATE: {
        bg = static_cast<Background*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bg));
        char locale[16] = {};
        instutil::ReadUserLocale(bg->run->system, locale, sizeof locale);
        bg->titleFont.reset(instutil::CreateTitleFont(locale));
        PostMessageA(window, kConfirm, 0, 0);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (bg) {
            Paint(window, *bg);
            return 0;
        }
        break;
    case kConfirm:
        Work(window, *bg->run);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

}  // namespace

void RunUninstall(UninstallRun& run) {
    Background bg{&run, {}, run.product + " " + LoadText(run.instance, IDS_UNINSTALL)};
    HWND window = instutil::CreateBackdrop(run.instance, kClassName, IDI_UNINSTALL, bg.title.c_str(), BackgroundProc, &bg);
    if (!window) return;
    run.background = window;
    instutil::RunBackdrop(window, true);
}

}  // namespace uninst
