// CPSheet: the wizard-style property sheet, its extra Finish button and the one Finish step.
#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

#ifndef PSH_WIZARD97
#define PSH_WIZARD97 0x01000000
#endif

namespace tkcfg {

namespace {

const int kBackId = 0x3023, kNextId = 0x3024, kFinishId = 0x3025, kLineId = 0x3026, kHelpId = 9;

HFONT MakeFont(const LOGFONTA& base, int points, int weight, bool underline, const char* face, int width) {
    LOGFONTA lf = base;
    lf.lfHeight = -MulDiv(points, 96, 72);
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfItalic = 0;
    if (face) vn::CopyTruncated(lf.lfFaceName, LF_FACESIZE, face);
    return CreateFontIndirectA(&lf);
}

LANGID UiLanguage() {
    // The user interface language exists from Windows 2000 on; older systems follow the user locale.
    using Fn = LANGID(WINAPI*)();
    if (HMODULE k = GetModuleHandleA("kernel32.dll"))
        if (auto fn = reinterpret_cast<Fn>(GetProcAddress(k, "GetUserDefaultUILanguage"))) return fn();
    return GetUserDefaultLangID();
}

RECT ChildRect(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

CPSheet* g_sheet = nullptr;  // the property sheet callback carries no context of its own

}  // namespace

void WizardFonts::Build(HFONT dialogFont, LANGID language) {
    LOGFONTA base{};
    if (!dialogFont || !GetObjectA(dialogFont, sizeof base, &base))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    static const int kBody[2] = {9, 11}, kHeading[2] = {16, 20}, kTitle[2] = {24, 28};
    // Arial has no Chinese, Japanese or Korean letters: those headings keep the dialog's face.
    WORD primary = PRIMARYLANGID(language);
    bool eastAsian = primary == LANG_JAPANESE || primary == LANG_CHINESE || primary == LANG_KOREAN ||
                     base.lfCharSet == SHIFTJIS_CHARSET || base.lfCharSet == GB2312_CHARSET ||
                     base.lfCharSet == CHINESEBIG5_CHARSET || base.lfCharSet == HANGUL_CHARSET;
    const char* headingFace = eastAsian ? nullptr : "Arial";
    for (int s = 0; s < 2; ++s) {
        body[s] = MakeFont(base, kBody[s], FW_NORMAL, false, nullptr, 0);
        link[s] = MakeFont(base, kBody[s], FW_NORMAL, true, nullptr, 0);
        current[s] = MakeFont(base, kBody[s], FW_BOLD, false, nullptr, 0);
        heading[s] = MakeFont(base, kHeading[s], FW_NORMAL, false, headingFace, 0);
        title[s] = MakeFont(base, kTitle[s], FW_BOLD, false, nullptr, 17);
    }
}

WizardFonts::~WizardFonts() {
    for (int s = 0; s < 2; ++s)
        for (HFONT f : {body[s], link[s], current[s], heading[s], title[s]})
            if (f) DeleteObject(f);
}

CPSheet::CPSheet(HINSTANCE instance)
    : instance_(instance), uiLanguage_(UiLanguage()), hand_(LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_LINK))) {
    pages_[kWelcome] = MakeWelcomePage(*this);
    pages_[kInternetNav] = MakeInternetNavPage(*this);
    pages_[kKeyreach] = MakeKeyreachPage(*this);
    pages_[kCustomizeKeys] = MakeCustomizeKeysPage(*this);
    pages_[kPrintLabel] = MakePrintLabelPage(*this);
    pages_[kOsd] = MakeOsdPage(*this);
    pages_[kSummary] = MakeSummaryPage(*this);
}

CPSheet::~CPSheet() = default;

void CPSheet::BuildFonts(HFONT dialogFont) {
    if (fontsBuilt_) return;
    fonts_.Build(dialogFont, uiLanguage_);
    fontsBuilt_ = true;
}

bool CPSheet::ReadHighContrast() {
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    bool on = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
    bool changed = on != highContrast_;
    highContrast_ = on;
    return changed;
}

HBITMAP CPSheet::Picture(int id) {
    auto it = pictures_.find(id);
    if (it == pictures_.end())
        it = pictures_.emplace(id, vn::GdiObject(LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                            LR_CREATEDIBSECTION))).first;
    return static_cast<HBITMAP>(it->second.get());
}

std::string CPSheet::Text(UINT id) const {
    char text[kField] = {};
    LoadStringA(instance_, id, text, sizeof text);
    return text;
}

void CPSheet::Run() {
    ReadHighContrast();
    HPROPSHEETPAGE handles[kPageCount];
    for (int i = 0; i < kPageCount; ++i) handles[i] = pages_[i]->Create();
    std::string caption = Text(IDS_SHEET_CAPTION);
    PROPSHEETHEADERA psh{};
    psh.dwSize = sizeof psh;
    psh.dwFlags = PSH_WIZARD | PSH_WIZARD97 | PSH_USECALLBACK;
    psh.hInstance = instance_;
    psh.pszCaption = caption.c_str();
    psh.nPages = kPageCount;
    psh.nStartPage = kWelcome;
    psh.phpage = handles;
    psh.pfnCallback = SheetCallback;
    g_sheet = this;
    PropertySheetA(&psh);
    g_sheet = nullptr;
}

int CALLBACK CPSheet::SheetCallback(HWND sheet, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED && g_sheet) g_sheet->Initialise(sheet);
    return 0;
}

void CPSheet::Initialise(HWND sheet) {
    hwnd_ = sheet;
    SetWindowLongPtrA(sheet, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
    SendMessageA(sheet, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(instance_, MAKEINTRESOURCEA(IDI_PROGRAM))));

    BITMAP bm{};
    int width = 719;
    if (HBITMAP wide = Picture(IDB_SHEET_WIDTH))
        if (GetObjectA(wide, sizeof bm, &bm)) width = bm.bmWidth;
    HWND cancel = GetDlgItem(sheet, IDCANCEL), next = GetDlgItem(sheet, kNextId);
    HWND finish = GetDlgItem(sheet, kFinishId), back = GetDlgItem(sheet, kBackId);
    RECT rc = ChildRect(sheet, cancel), rn = ChildRect(sheet, next), rb = ChildRect(sheet, back);
    RECT rf = ChildRect(sheet, finish);
    int cancelX = width - (rc.right - rc.left) - 13;
    int nextX = cancelX - 2 * (rn.right - rn.left) - 15;
    int backX = nextX - (rb.right - rb.left) - 3;
    auto place = [&](HWND w, const RECT& r, int x) { SetWindowPos(w, nullptr, x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
    place(cancel, rc, cancelX);
    place(next, rn, nextX);
    place(finish, rf, nextX);
    place(back, rb, backX);
    if (HWND help = GetDlgItem(sheet, kHelpId)) {
        RECT rh = ChildRect(sheet, help);
        place(help, rh, 0);
    }

    char text[64] = {};
    GetWindowTextA(finish, text, sizeof text);
    int w = rf.right - rf.left;
    HWND extra = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 cancelX - w - 3, rf.top, w, rf.bottom - rf.top, sheet,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXTRA_FINISH)), instance_, nullptr);
    SendMessageA(extra, WM_SETFONT, SendMessageA(finish, WM_GETFONT, 0, 0), FALSE);
    ShowWindow(extra, SW_HIDE);

    RECT win;
    GetWindowRect(sheet, &win);
    SetWindowPos(sheet, nullptr, 0, 0, width, win.bottom - win.top, SWP_NOMOVE | SWP_NOZORDER);
}

LRESULT CALLBACK CPSheet::SheetProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CPSheet*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_EXTRA_FINISH) {
        self->Save();
        SendMessageA(w, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        return 0;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_SHEET_FINISH) self->Save();
    if (msg == WM_SETTINGCHANGE && self->ReadHighContrast()) {
        int current = self->CurrentIndex();
        if (current >= 0) self->pages_[current]->Activate();
    }
    return CallWindowProcA(self->baseProc_, w, msg, wp, lp);
}

int CPSheet::CurrentIndex() const {
    HWND current = reinterpret_cast<HWND>(SendMessageA(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (int i = 0; i < kPageCount; ++i)
        if (current && pages_[i]->hwnd() == current) return i;
    return -1;
}

void CPSheet::MakeRoomFor(HWND page) const {
    HWND line = GetDlgItem(hwnd_, kLineId);
    if (!line) return;
    RECT pr = ChildRect(hwnd_, page), lr = ChildRect(hwnd_, line);
    int over = pr.bottom - lr.top;
    if (over <= 0) return;
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r = ChildRect(hwnd_, c);
        if (c != page && r.top >= lr.top) SetWindowPos(c, nullptr, r.left, r.top + over, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT win;
    GetWindowRect(hwnd_, &win);
    SetWindowPos(hwnd_, nullptr, 0, 0, win.right - win.left, win.bottom - win.top + over, SWP_NOMOVE | SWP_NOZORDER);
}

void CPSheet::SetButtons(unsigned flags) const { SendMessageA(hwnd_, PSM_SETWIZBUTTONS, 0, flags); }

void CPSheet::ShowExtraFinish(bool show) const { ShowWindow(GetDlgItem(hwnd_, IDC_EXTRA_FINISH), show ? SW_SHOW : SW_HIDE); }

void CPSheet::GoTo(int index) const { SendMessageA(hwnd_, PSM_SETCURSEL, index, 0); }

void CPSheet::PlayClick() const {
    PlaySoundA(MAKEINTRESOURCEA(IDW_CLICK), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

void CPSheet::Save() {
    if (saved_) return;
    saved_ = true;
    FinishInput in;
    in.slots = slots_;
    in.slotsOut = slots_;
    in.uiLanguage = uiLanguage_;
    for (auto& p : pages_) p->Contribute(in);
    RunFinish(in);
}

}  // namespace tkcfg
