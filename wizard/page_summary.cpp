// The Summary page: what Finish will save, recomputed at every visit.
#include <cstdio>
#include <string>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

namespace tkcfg {

namespace {

class CPPageSummary : public CPPage {
public:
    explicit CPPageSummary(CPSheet& s) : CPPage(s, kSummary, IDD_SUMMARY) {}

protected:
    void OnInit() override {
        GetDlgItemTextA(hwnd_, IDC_SUM_SIZE, sizeText_, sizeof sizeText_);
    }
    int Background() const override { return IDB_SUMMARY_BACKGROUND; }

    void OnActivate() override {
        sheet_.SetButtons(kBack | kFinish);
        HFONT strong = sheet_.fonts().current[1];
        for (int id = IDC_SUM_NAV; id <= IDC_SUM_TRAY; ++id)
            SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(strong), FALSE);
        const WizardState& st = sheet_.state();
        SetTextRepaint(IDC_SUM_NAV, OnOff(st.navEnable, "INavEnable").c_str());
        SetTextRepaint(IDC_SUM_KRH, OnOff(st.keyreachEnable, "KRHEnable").c_str());
        int print = st.printEnable != -1 ? st.printEnable : ProfileNumber("Buttons", "PrintEnable", 0) != 0;
        SetTextRepaint(IDC_SUM_PRINT, sheet_.Text(print ? IDS_YES : IDS_NO).c_str());
        int show = st.trayShow != -1 ? st.trayShow : ProfileNumber("SysTrayIcon", "Hide", 0) == 0;
        SetTextRepaint(IDC_SUM_TRAY, sheet_.Text(show ? IDS_TRAY_SHOW : IDS_TRAY_HIDE).c_str());

        HFONT example = static_cast<HFONT>(st.osdFont);
        char face[LF_FACESIZE] = {};
        int points = st.osdHeight ? st.osdHeight / 10 : ProfileNumber("OSD", "SelSize", 28);
        if (example) {
            LOGFONTA lf{};
            GetObjectA(example, sizeof lf, &lf);
            vn::CopyTruncated(face, sizeof face, lf.lfFaceName);
        } else {
            // The display page was not opened: the stored face at the stored point size.
            char stored[kField] = {};
            Reg_GetProfileString("OSD", "FaceName", stored, sizeof stored, "Arial");
            stored[kField - 1] = '\0';
            vn::CopyTruncated(face, sizeof face, stored);
            LOGFONTA lf{};
            vn::CopyTruncated(lf.lfFaceName, LF_FACESIZE, face);
            lf.lfHeight = -MulDiv(points > 0 && points < 1000 ? points : 28, 96, 72);
            lf.lfCharSet = DEFAULT_CHARSET;
            fallback_.reset(CreateFontIndirectA(&lf));
            example = static_cast<HFONT>(fallback_.get());
        }
        SendMessageA(Item(IDC_SUM_EXAMPLE), WM_SETFONT, reinterpret_cast<WPARAM>(example), FALSE);
        SetTextRepaint(IDC_SUM_EXAMPLE, face);
        char size[kField];
        std::snprintf(size, sizeof size, "%s%d", sizeText_, points);
        SetTextRepaint(IDC_SUM_SIZE, size);

        KeySlot* slots = sheet_.slots();
        for (int k = 0; k < kKeyCount; ++k) {
            if (!slots[k].label[0]) StoredLabel(k, sheet_.Text(IDS_FACTORY_FIRST + k).c_str(), slots[k].storedLabel);
            SetTextRepaint(IDC_SUM_LABEL_FIRST + k, slots[k].label[0] ? slots[k].label : slots[k].storedLabel);
        }
    }

    HBRUSH ControlColor(HDC dc, int id) override {
        if (id >= IDC_SUM_LABEL_FIRST && id < IDC_SUM_LABEL_FIRST + kKeyCount) return KeyLabelColors(dc);
        if (id == IDC_SUM_EXAMPLE) {
            COLORREF c = Color();
            SetTextColor(dc, c);
            SetBkMode(dc, OPAQUE);
            bool white = c == RGB(255, 255, 255);
            SetBkColor(dc, white ? RGB(0, 0, 0) : RGB(255, 255, 255));
            return static_cast<HBRUSH>(GetStockObject(white ? BLACK_BRUSH : WHITE_BRUSH));
        }
        if (id >= IDC_STEP_FIRST && id < IDC_STEP_FIRST + kStepCount && !sheet_.highContrast()) {
            SetBkMode(dc, TRANSPARENT);
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        }
        return nullptr;
    }

    void PaintOver(HDC dc) override {
        vn::GdiObject brush(CreateSolidBrush(Color()));
        vn::SelectIn in(dc, brush.get());
        vn::SelectIn pen(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, 650, 344, 660, 354);
    }

private:
    std::string OnOff(int decided, const char* value) const {
        int on = decided != -1 ? decided : ProfileNumber("Buttons", value, 1) != 0;
        return sheet_.Text(on ? IDS_ENABLE : IDS_DISABLE);
    }
    COLORREF Color() {
        WizardState& st = sheet_.state();
        if (!st.osdColorChosen) {
            st.osdColor = static_cast<COLORREF>(ProfileNumber("OSD", "Color", 65280));
        }
        return st.osdColor;
    }

    char sizeText_[kField] = {};
    vn::GdiObject fallback_;
};

}  // namespace

std::unique_ptr<CPPage> MakeSummaryPage(CPSheet& s) { return std::make_unique<CPPageSummary>(s); }

}  // namespace tkcfg
