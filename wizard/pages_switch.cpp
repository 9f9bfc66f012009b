// The Welcome page and the three pages that switch a group of keys or the label printing.
#include <string>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "wizard/label.h"
#include "wizard/label_layout.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

namespace tkcfg {

namespace {

class CPPageWelcome : public CPPage {
public:
    explicit CPPageWelcome(CPSheet& s) : CPPage(s, kWelcome, IDD_WELCOME) {}

protected:
    void OnInit() override {
        char version[kField] = {};
        if (!Reg_GetValueString(HKEY_LOCAL_MACHINE, kProfileRoot, "Version", version, sizeof version))
            vn::CopyText(version, sizeof version, "1.0.0.2");
        version[kField - 1] = '\0';
        char line[2 * kField] = {};
        GetDlgItemTextA(hwnd_, IDC_VERSION, line, kField);
        vn::AppendText(line, sizeof line, version);
        SetDlgItemTextA(hwnd_, IDC_VERSION, line);
    }
    void OnActivate() override { sheet_.SetButtons(kNext); }
};

// A page with an Enable/Disable radio pair and one picture for each choice.
class SwitchPage : public CPPage {
public:
    SwitchPage(CPSheet& s, int index, int templateId, int firstRadio, int picOn, int picOff, const char* value)
        : CPPage(s, index, templateId), firstRadio_(firstRadio), picOn_(picOn), picOff_(picOff), value_(value) {}

    void LeaveForward() override {
        radio_ = CheckedRadio(firstRadio_, 2);
        if (radio_ != -1) flag_ = radio_ == 0 ? 1 : 0;
        Record(flag_);
    }

protected:
    void OnInit() override {
        int stored = ProfileNumber("Buttons", value_, 1);
        Show(picOn_, true);
        Show(picOff_, false);
        if (stored == 1 || stored == 0) Choose(stored == 1 ? 0 : 1);
        CheckRadio(firstRadio_, 2, radio_);
    }
    bool OnCommand(int id, int code) override {
        if (code != BN_CLICKED || id < firstRadio_ || id > firstRadio_ + 1) return false;
        Choose(id - firstRadio_);
        return true;
    }
    bool CommitsOnStepLink() const override { return true; }
    virtual void Record(int flag) = 0;
    virtual void Choose(int radio) {
        radio_ = radio;
        flag_ = radio == 0 ? 1 : 0;
        Show(picOn_, radio == 0);
        Show(picOff_, radio != 0);
        sheet_.SetButtons(kBack | kNext);
    }

    int radio_ = -1, flag_ = -1;

private:
    const int firstRadio_, picOn_, picOff_;
    const char* value_;
};

class CPPageInternetNav : public SwitchPage {
public:
    explicit CPPageInternetNav(CPSheet& s)
        : SwitchPage(s, kInternetNav, IDD_INTERNETNAV, IDC_NAV_ENABLE, IDC_NAV_PIC_ON, IDC_NAV_PIC_OFF, "INavEnable") {}
    void Contribute(FinishInput& in) const override { in.navEnable = flag_; }

protected:
    void OnActivate() override { sheet_.SetButtons(RadioPageButtons(radio_)); }
    void Record(int flag) override { sheet_.state().navEnable = flag; }
};

class CPPageKRH : public SwitchPage {
public:
    explicit CPPageKRH(CPSheet& s)
        : SwitchPage(s, kKeyreach, IDD_KEYREACH, IDC_KRH_ENABLE, IDC_KRH_PIC_ON, IDC_KRH_PIC_OFF, "KRHEnable") {}
    void Contribute(FinishInput& in) const override { in.keyreachEnable = flag_; }

protected:
    // The buttons are set by the radio handlers alone (one of them runs at initialisation): on a
    // later visit Next stays offered with Disable chosen, and leads on with the keys off.
    void Choose(int radio) override {
        SwitchPage::Choose(radio);
        if (radio != 0) sheet_.SetButtons(kBack | kFinish);
    }
    void Record(int flag) override { sheet_.state().keyreachEnable = flag; }
    bool StepLinksLive() const override { return flag_ == 1; }
};

// Asks whether to print a new key label and in which colours; leaving forward with both chosen
// prints it at once.
class CPPagePrintLabel : public CPPage {
public:
    explicit CPPagePrintLabel(CPSheet& s) : CPPage(s, kPrintLabel, IDD_PRINTLABEL) {}
    void Contribute(FinishInput& in) const override {
        in.printEnable = flag_;
        if (flag_ != -1) in.printScheme = scheme_;
    }
    void LeaveForward() override {
        Transfer();
        if (print_ != -1) flag_ = print_ == 0 ? 1 : 0;
        sheet_.state().printEnable = flag_;
        if (flag_ == 1 && scheme_ != -1) Print();
    }

protected:
    void OnInit() override {
        labelFont_.reset(MakeLabelFont(reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0))));
        EnableScheme(false);
        int stored = ProfileNumber("Buttons", "PrintEnable", 0);
        if (stored == 0) {
            flag_ = 0;
            print_ = 1;
        } else if (stored == 1) {
            flag_ = 1;
            print_ = 0;
            EnableScheme(true);
        }
        Show(IDC_PRINT_PIC_ON, print_ == 0);
        Show(IDC_PRINT_PIC_OFF, print_ != 0);
        int scheme = ProfileNumber("Buttons", "PrintSubRadioBtns", 1);
        scheme_ = scheme == 0 || scheme == 1 ? scheme : -1;
        CheckRadio(IDC_PRINT_YES, 2, print_);
        CheckRadio(IDC_SCHEME_WHITE, 2, scheme_);
    }
    void OnActivate() override { sheet_.SetButtons(Buttons()); }
    bool OnCommand(int id, int code) override {
        if (code != BN_CLICKED) return false;
        if (id == IDC_PRINT_YES || id == IDC_PRINT_NO) {
            bool print = id == IDC_PRINT_YES;
            Show(IDC_PRINT_PIC_ON, print);
            Show(IDC_PRINT_PIC_OFF, !print);
            EnableScheme(print);
            Transfer();
            sheet_.SetButtons(Buttons());
            return true;
        }
        if (id == IDC_SCHEME_WHITE || id == IDC_SCHEME_BLACK) {
            Transfer();
            sheet_.SetButtons(kBack | kNext);
            return true;
        }
        return false;
    }
    bool CommitsOnStepLink() const override { return true; }

private:
    unsigned Buttons() const { return print_ == 1 || (print_ == 0 && scheme_ != -1) ? kBack | kNext : kBack; }
    void Transfer() {
        print_ = CheckedRadio(IDC_PRINT_YES, 2);
        scheme_ = CheckedRadio(IDC_SCHEME_WHITE, 2);
    }
    void EnableScheme(bool on) const {
        for (int id : {IDC_PRINT_QUESTION, IDC_SCHEME_WHITE, IDC_SCHEME_BLACK}) Enable(id, on);
    }
    void Print() const {
        LabelJob job{sheet_.instance(), static_cast<HFONT>(labelFont_.get()), scheme_, {}};
        for (int k = 0; k < kKeyCount; ++k) job.texts[k] = KeyLabelText(sheet_.slots()[k]);
        PrintKeyLabel(GetParent(hwnd_), job);
    }
    int print_ = -1, flag_ = -1, scheme_ = -1;
    vn::GdiObject labelFont_;
};

}  // namespace

std::unique_ptr<CPPage> MakeWelcomePage(CPSheet& s) { return std::make_unique<CPPageWelcome>(s); }
std::unique_ptr<CPPage> MakeInternetNavPage(CPSheet& s) { return std::make_unique<CPPageInternetNav>(s); }
std::unique_ptr<CPPage> MakeKeyreachPage(CPSheet& s) { return std::make_unique<CPPageKRH>(s); }
std::unique_ptr<CPPage> MakePrintLabelPage(CPSheet& s) { return std::make_unique<CPPagePrintLabel>(s); }

}  // namespace tkcfg
