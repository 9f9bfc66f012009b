// The page base: what every page of the sheet does the same way.
#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

#ifndef PSP_HIDEHEADER
#define PSP_HIDEHEADER 0x00000800
#endif

namespace tkcfg {

CPPage::CPPage(CPSheet& sheet, int index, int templateId) : sheet_(sheet), index_(index), templateId_(templateId) {}

HPROPSHEETPAGE CPPage::Create() {
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_HIDEHEADER;
    psp.hInstance = sheet_.instance();
    psp.pszTemplate = MAKEINTRESOURCEA(templateId_);
    psp.pfnDlgProc = Proc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageA(&psp);
}

INT_PTR CALLBACK CPPage::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* page = reinterpret_cast<CPPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lp)->lParam);
        SetWindowLongPtrA(w, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->hwnd_ = w;
    }
    auto* page = reinterpret_cast<CPPage*>(GetWindowLongPtrA(w, DWLP_USER));
    return page ? page->Handle(msg, wp, lp) : FALSE;
}

static void Result(HWND w, LRESULT r) { SetWindowLongPtrA(w, DWLP_MSGRESULT, r); }

INT_PTR CPPage::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        sheet_.BuildFonts(reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
        Normalise();
        OnInit();
        RecordSteps();
        return TRUE;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == GetParent(hwnd_)) {
            switch (nm->code) {
            case PSN_SETACTIVE:
                Activate();
                Result(hwnd_, 0);
                return TRUE;
            case PSN_WIZNEXT:
                LeaveForward();
                Result(hwnd_, 0);
                return TRUE;
            case PSN_WIZBACK: {
                int to = PreviousPage(index_, sheet_.state().keyreachEnable);
                // The sheet goes to a page named by its template id; 0 means the neighbour.
                Result(hwnd_, to == index_ - 1 ? 0 : sheet_.page(to).templateId_);
                return TRUE;
            }
            case PSN_WIZFINISH:
                sheet_.Save();
                Result(hwnd_, 0);
                return TRUE;
            }
        }
        LRESULT r = 0;
        if (OnNotify(nm, &r)) {
            Result(hwnd_, r);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(sheet_.highContrast() ? nullptr : GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<INT_PTR>(ColorFor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wp));
        Result(hwnd_, 1);
        return TRUE;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        int step = StepAt(steps_, p.x, p.y);
        bool hand = (step >= 0 && StepPage(step) != index_ && StepLinksLive()) || HandAt(p.x, p.y);
        if (!hand) return FALSE;
        SetCursor(sheet_.HandCursor());
        Result(hwnd_, TRUE);
        return TRUE;
    }
    case WM_LBUTTONDOWN: {
        int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        int step = StepAt(steps_, x, y);
        if (step >= 0 && StepLinksLive()) {
            ClickStep(step);
            return TRUE;
        }
        return OnClick(x, y) ? TRUE : FALSE;
    }
    }
    bool handled = false;
    INT_PTR r = OnOtherMessage(msg, wp, lp, &handled);
    return handled ? r : FALSE;
}

void CPPage::Normalise() {
    RECT unit = {0, 0, 4, 8};
    MapDialogRect(hwnd_, &unit);
    int k = VerticalFactor(sheet_.uiLanguage());
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        LONG style = GetWindowLongA(c, GWL_STYLE);
        bool isStatic = lstrcmpiA(cls, "Static") == 0;
        // Pictures keep the size of their bitmap; frames keep their width; combo boxes their height.
        bool picture = isStatic && ((style & SS_TYPEMASK) == SS_BITMAP || (style & SS_TYPEMASK) == SS_ICON);
        bool keepWidth = picture || (isStatic && (style & 0xE) != 0);
        bool keepHeight = picture || lstrcmpiA(cls, "ComboBox") == 0;
        Rect n = NormaliseRect({r.left, r.top, r.right, r.bottom}, unit.right, unit.bottom, k, keepWidth, keepHeight);
        MoveWindow(c, n.left, n.top, n.right - n.left, n.bottom - n.top, FALSE);
    }
}

void CPPage::RecordSteps() {
    for (int k = 0; k < kStepCount; ++k) {
        RECT r{};
        if (HWND c = Item(IDC_STEP_FIRST + k)) {
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        }
        steps_[k] = {r.left, r.top, r.right, r.bottom};
    }
}

void CPPage::Activate() {
    // The pictures are drawn for a page of the template's full size at the sheet's top-left corner.
    // Its size follows the same normalisation as its controls.
    int width = PAGE_CX * 6 / 4, height = PAGE_CY * VerticalFactor(sheet_.uiLanguage()) / 8;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    sheet_.MakeRoomFor(hwnd_);
    sheet_.ShowExtraFinish(index_ == kCustomizeKeys);
    sheet_.ReadHighContrast();
    ApplyFonts();
    OnActivate();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int CPPage::SetFontAll(HFONT font) const {
    int n = 0;
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++n)
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return n;
}

void CPPage::ApplyFonts() {
    const WizardFonts& f = sheet_.fonts();
    int set = sheet_.highContrast() ? 1 : 0;
    SetFontAll(f.body[set]);
    SendMessageA(Item(IDC_HEADING), WM_SETFONT, reinterpret_cast<WPARAM>(f.heading[set]), FALSE);
    for (int k = 0; k < kStepCount; ++k) {
        bool current = StepPage(k) == index_;
        SendMessageA(Item(IDC_STEP_FIRST + k), WM_SETFONT,
                     reinterpret_cast<WPARAM>(current ? f.current[set] : f.link[set]), FALSE);
    }
    if (index_ == kWelcome)
        SendMessageA(Item(IDC_WELCOME_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(f.title[set]), FALSE);
}

HBRUSH CPPage::ColorFor(HDC dc, HWND control) {
    int id = GetDlgCtrlID(control);
    if (HBRUSH own = ControlColor(dc, id)) return own;
    if (id == IDC_HEADING) {
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
        return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    }
    if (sheet_.highContrast()) return nullptr;
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    if (id >= IDC_STEP_FIRST && id < IDC_STEP_FIRST + kStepCount && StepIsLater(id - IDC_STEP_FIRST, index_)) {
        SetTextColor(dc, RGB(0xC0, 0xC0, 0xC0));
        if (index_ == kWelcome) {
            SetBkColor(dc, RGB(0, 0, 0));
            SetBkMode(dc, OPAQUE);
            return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        }
    }
    if (id == IDC_WELCOME_TITLE && index_ == kWelcome) SetTextColor(dc, RGB(0, 0, 255));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

HBRUSH CPPage::KeyLabelColors(HDC dc) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

int CPPage::Background() const { return IDB_BACKGROUND; }

void CPPage::EraseBackground(HDC dc) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (sheet_.highContrast()) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBITMAP picture = sheet_.Picture(Background());
        BITMAP bm;
        if (picture && GetObjectA(picture, sizeof bm, &bm)) {
            vn::MemDc mem(CreateCompatibleDC(dc));
            vn::SelectIn in(mem.get(), picture);
            BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0, SRCCOPY);
        }
    }
    PaintOver(dc);
}

void CPPage::ClickStep(int step) {
    sheet_.PlayClick();
    if (StepPage(step) == index_) return;
    if (CommitsOnStepLink()) LeaveForward();
    sheet_.GoTo(StepPage(step));
}

void CPPage::Show(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
void CPPage::Enable(int id, bool on) const { EnableWindow(Item(id), on ? TRUE : FALSE); }

void CPPage::SetTextRepaint(int id, const char* text) const {
    HWND c = Item(id);
    ShowWindow(c, SW_HIDE);
    SetWindowTextA(c, text);
    ShowWindow(c, SW_SHOW);
}

int CPPage::CheckedRadio(int first, int count) const {
    for (int i = 0; i < count; ++i)
        if (IsDlgButtonChecked(hwnd_, first + i) == BST_CHECKED) return i;
    return -1;
}

void CPPage::CheckRadio(int first, int count, int offset) const {
    for (int i = 0; i < count; ++i) CheckDlgButton(hwnd_, first + i, i == offset ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace tkcfg
