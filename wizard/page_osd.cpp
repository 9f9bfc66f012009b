// The On-Screen Displays page: display on or off, its font, size and colour with an example, and
// the tray icon switch.
#include <cstdlib>
#include <cstring>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

namespace tkcfg {

namespace {

const COLORREF kColors[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
const int kWhite = 15;
const char* const kSizes[] = {"12", "14", "18", "26", "28", "36", "48", "72"};

int CALLBACK AddFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM combo) {
    if (type != TRUETYPE_FONTTYPE) return 1;
    HWND list = reinterpret_cast<HWND>(combo);
    if (SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(lf->lfFaceName)) != CB_ERR)
        return 1;
    LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lf->lfFaceName));
    if (at >= 0) SendMessageA(list, CB_SETITEMDATA, at, reinterpret_cast<LPARAM>(new LOGFONTA(*lf)));
    return 1;
}

class CPPageOSD : public CPPage {
public:
    explicit CPPageOSD(CPSheet& s) : CPPage(s, kOsd, IDD_OSD) {}
    ~CPPageOSD() override { sheet_.state().osdFont = nullptr; }

    void Contribute(FinishInput& in) const override {
        in.osdEnable = flag_;
        in.trayRadio = tray_;
        in.osdFont = static_cast<HFONT>(font_.get());
        in.pointSize = points_;
        in.fontIndex = fontIndex_;
        in.colorIndex = colorIndex_;
        in.sizeIndex = sizeIndex_;
        in.color = color_;
    }
    void LeaveForward() override {
        display_ = CheckedRadio(IDC_OSD_ENABLE, 2);
        if (display_ != -1) flag_ = display_ == 0 ? 1 : 0;
        sheet_.state().osdEnable = flag_;
    }

protected:
    void OnInit() override {
        int enabled = ProfileNumber("Buttons", "OSDEnable", 1);
        if (enabled == 0) {
            flag_ = 0;
            display_ = 1;
            EnableLists(false);
        } else if (enabled == 1) {
            flag_ = 1;
            display_ = 0;
        }
        int hide = ProfileNumber("SysTrayIcon", "Hide", 0);
        if (hide == 0 || hide == 1) ChooseTray(hide);
        CheckRadio(IDC_OSD_ENABLE, 2, display_);
        CheckRadio(IDC_TRAY_SHOW, 2, tray_);

        HWND sizes = Item(IDC_SIZE_LIST);
        for (const char* s : kSizes) SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        HWND colors = Item(IDC_COLOR_LIST);
        for (COLORREF c : kColors) SendMessageA(colors, CB_ADDSTRING, 0, static_cast<LPARAM>(c));
        SendMessageA(sizes, CB_SETCURSEL, ProfileNumber("OSD", "SizeIndex", 4), 0);
        SizeChanged();
        color_ = static_cast<COLORREF>(ProfileNumber("OSD", "Color", 0x00FF00));
        SendMessageA(colors, CB_SETCURSEL, ProfileNumber("OSD", "ColorIndex", 10), 0);
        ColorChanged();
        FillFonts();
        HWND fonts = Item(IDC_FONT_LIST);
        int arial = static_cast<int>(SendMessageA(fonts, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Arial")));
        SendMessageA(fonts, CB_SETCURSEL, ProfileNumber("OSD", "FontIndex", arial), 0);
        FontChanged();
    }

    void OnActivate() override {
        sheet_.SetButtons(RadioPageButtons(display_));
        FontChanged();
    }

    bool OnCommand(int id, int code) override {
        if (code == BN_CLICKED && (id == IDC_OSD_ENABLE || id == IDC_OSD_DISABLE)) {
            display_ = id == IDC_OSD_ENABLE ? 0 : 1;
            EnableLists(id == IDC_OSD_ENABLE);
            sheet_.SetButtons(kBack | kNext);
            return true;
        }
        if (code == BN_CLICKED && (id == IDC_TRAY_SHOW || id == IDC_TRAY_HIDE)) {
            ChooseTray(id == IDC_TRAY_SHOW ? 0 : 1);
            return true;
        }
        if (code != CBN_SELCHANGE) return false;
        if (id == IDC_FONT_LIST) FontChanged();
        if (id == IDC_SIZE_LIST) SizeChanged();
        if (id == IDC_COLOR_LIST) ColorChanged();
        return id == IDC_FONT_LIST || id == IDC_SIZE_LIST || id == IDC_COLOR_LIST;
    }

    HBRUSH ControlColor(HDC dc, int id) override {
        if (id != IDC_EXAMPLE) return nullptr;
        bool white = colorIndex_ == kWhite;
        SetTextColor(dc, color_);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, white ? RGB(0, 0, 0) : RGB(255, 255, 255));
        return static_cast<HBRUSH>(GetStockObject(white ? BLACK_BRUSH : WHITE_BRUSH));
    }

    INT_PTR OnOtherMessage(UINT msg, WPARAM, LPARAM lp, bool* handled) override {
        if (msg == WM_DRAWITEM) {
            auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (di->CtlID == IDC_COLOR_LIST) DrawColor(di);
            if (di->CtlID == IDC_FONT_LIST) DrawFace(di);
            *handled = true;
            return TRUE;
        }
        if (msg == WM_DESTROY) {
            ClearFonts();
            *handled = false;
        }
        return 0;
    }

private:
    void EnableLists(bool on) const {
        for (int id : {IDC_FONT_LIST, IDC_SIZE_LIST, IDC_COLOR_LIST, IDC_FONT_CAPTION, IDC_SIZE_CAPTION,
                       IDC_COLOR_CAPTION, IDC_EXAMPLE_CAPTION})
            Enable(id, on);
    }

    void ChooseTray(int radio) {
        tray_ = radio;
        Show(IDC_TRAY_PIC_SHOWN, radio == 0);
        Show(IDC_TRAY_PIC_HIDDEN, radio == 1);
        sheet_.state().trayShow = radio == 0 ? 1 : 0;
    }

    void ClearFonts() const {
        HWND list = Item(IDC_FONT_LIST);
        int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) delete reinterpret_cast<LOGFONTA*>(SendMessageA(list, CB_GETITEMDATA, i, 0));
        SendMessageA(list, CB_RESETCONTENT, 0, 0);
    }

    void FillFonts() const {
        ClearFonts();
        vn::WindowDc dc(hwnd_);
        EnumFontFamiliesA(dc.get(), nullptr, AddFace, reinterpret_cast<LPARAM>(Item(IDC_FONT_LIST)));
    }

    void FontChanged() {
        HWND list = Item(IDC_FONT_LIST);
        LRESULT sel = SendMessageA(list, CB_GETCURSEL, 0, 0);
        LOGFONTA lf{};
        vn::CopyText(lf.lfFaceName, LF_FACESIZE, "Arial");
        fontIndex_ = static_cast<int>(sel);
        if (sel != CB_ERR)
            if (auto* stored = reinterpret_cast<LOGFONTA*>(SendMessageA(list, CB_GETITEMDATA, sel, 0)))
                if (stored != reinterpret_cast<LOGFONTA*>(CB_ERR)) lf = *stored;
        // A point font for the screen: tenths of a point through the screen's vertical resolution.
        vn::WindowDc dc(nullptr);
        lf.lfHeight = -MulDiv(GetDeviceCaps(dc.get(), LOGPIXELSY), points_ * 10, 720);
        lf.lfWidth = 0;
        vn::GdiObject font(CreateFontIndirectA(&lf));
        SendMessageA(Item(IDC_EXAMPLE), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        font_ = std::move(font);
        sheet_.state().osdFont = font_.get();
        sheet_.state().osdHeight = points_ * 10;
        SetTextRepaint(IDC_EXAMPLE, lf.lfFaceName);
    }

    void SizeChanged() {
        HWND list = Item(IDC_SIZE_LIST);
        LRESULT sel = SendMessageA(list, CB_GETCURSEL, 0, 0);
        if (sel == CB_ERR) return;
        sizeIndex_ = static_cast<int>(sel);
        char text[16] = {};
        if (SendMessageA(list, CB_GETLBTEXTLEN, sel, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
        points_ = std::atoi(text);
        FontChanged();
    }

    void ColorChanged() {
        LRESULT sel = SendMessageA(Item(IDC_COLOR_LIST), CB_GETCURSEL, 0, 0);
        if (sel == CB_ERR || sel < 0 || sel > 15) return;
        colorIndex_ = static_cast<int>(sel);
        color_ = kColors[sel];
        sheet_.state().osdColor = color_;
        sheet_.state().osdColorChosen = true;
        if (colorIndex_ == kWhite) InvalidateRect(hwnd_, nullptr, TRUE);
        InvalidateRect(Item(IDC_EXAMPLE), nullptr, TRUE);
    }

    void DrawColor(const DRAWITEMSTRUCT* di) const {
        if (di->itemID == static_cast<UINT>(-1)) return;
        RECT r = di->rcItem;
        FillRect(di->hDC, &r, GetSysColorBrush(COLOR_WINDOW));
        RECT swatch = r;
        InflateRect(&swatch, -2, -2);
        vn::GdiObject brush(CreateSolidBrush(static_cast<COLORREF>(di->itemData)));
        FillRect(di->hDC, &swatch, static_cast<HBRUSH>(brush.get()));
        if (di->itemState & ODS_FOCUS) DrawFocusRect(di->hDC, &r);
        FrameRect(di->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    void DrawFace(const DRAWITEMSTRUCT* di) const {
        if (di->itemID == static_cast<UINT>(-1)) return;
        bool selected = (di->itemState & ODS_SELECTED) != 0;
        FillRect(di->hDC, &di->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        char text[LF_FACESIZE + 1] = {};
        if (SendMessageA(di->hwndItem, CB_GETLBTEXTLEN, di->itemID, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(di->hwndItem, CB_GETLBTEXT, di->itemID, reinterpret_cast<LPARAM>(text));
        SetBkMode(di->hDC, TRANSPARENT);
        SetTextColor(di->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT r = di->rcItem;
        r.left += 2;
        DrawTextA(di->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }

    int display_ = -1, flag_ = -1, tray_ = -1;
    int points_ = 18, fontIndex_ = -1, colorIndex_ = -1, sizeIndex_ = -1;
    COLORREF color_ = 0x00FF00;
    vn::GdiObject font_;
};

}  // namespace

std::unique_ptr<CPPage> MakeOsdPage(CPSheet& s) { return std::make_unique<CPPageOSD>(s); }

}  // namespace tkcfg
