// The wizard sheet (CPSheet) and the page base shared by its seven pages: layout normalisation,
// fonts, colours, background pictures, step links and the run state they share.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "common/handles.h"
#include "wizard/model.h"
#include "wizard/store.h"

namespace tkcfg {

class CPSheet;

// Fonts built once from the Welcome page's dialog font; [0] normal, [1] large (high contrast).
struct WizardFonts {
    HFONT body[2] = {}, link[2] = {}, current[2] = {}, heading[2] = {}, title[2] = {};
    void Build(HFONT dialogFont, LANGID language);
    ~WizardFonts();
};

class CPPage {
public:
    CPPage(CPSheet& sheet, int index, int templateId);
    virtual ~CPPage() = default;
    CPPage(const CPPage&) = delete;
    CPPage& operator=(const CPPage&) = delete;

    HPROPSHEETPAGE Create();
    HWND hwnd() const { return hwnd_; }
    int index() const { return index_; }
    // Runs the page-specific part of activation and the shared part (buttons, fonts, colours).
    void Activate();
    // What this page hands to Finish.
    virtual void Contribute(FinishInput&) const {}
    // Next, or a step link where the page commits on it.
    virtual void LeaveForward() {}

protected:
    virtual void OnInit() {}
    virtual void OnActivate() {}
    virtual bool OnCommand(int id, int code) { return false; }
    virtual bool OnNotify(NMHDR*, LRESULT*) { return false; }
    // Colour of a page control; null when the shared rules apply.
    virtual HBRUSH ControlColor(HDC, int id) { return nullptr; }
    virtual void PaintOver(HDC) {}
    virtual bool OnClick(int x, int y) { return false; }
    virtual bool HandAt(int x, int y) { return false; }
    virtual bool StepLinksLive() const { return true; }
    virtual bool CommitsOnStepLink() const { return false; }
    virtual int Background() const;
    virtual INT_PTR OnOtherMessage(UINT, WPARAM, LPARAM, bool* handled) { return 0; }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void Show(int id, bool show) const;
    void Enable(int id, bool on) const;
    // Changes the text of a transparent control so that the picture below repaints.
    void SetTextRepaint(int id, const char* text) const;
    int CheckedRadio(int first, int count) const;  // offset of the checked radio, or -1
    void CheckRadio(int first, int count, int offset) const;
    int SetFontAll(HFONT font) const;
    // Key labels: white letters straight on the black strip of a key picture.
    static HBRUSH KeyLabelColors(HDC dc);

    CPSheet& sheet_;
    HWND hwnd_ = nullptr;
    const int index_;

private:
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Handle(UINT, WPARAM, LPARAM);
    void Normalise();
    void RecordSteps();
    void ApplyFonts();
    HBRUSH ColorFor(HDC dc, HWND control);
    void EraseBackground(HDC dc);
    void ClickStep(int step);

    const int templateId_;
    Rect steps_[kStepCount] = {};
};

class CPSheet {
public:
    explicit CPSheet(HINSTANCE instance);
    ~CPSheet();
    // Shows the wizard modally; returns when it closes.
    void Run();

    HINSTANCE instance() const { return instance_; }
    HWND hwnd() const { return hwnd_; }
    WizardState& state() { return state_; }
    KeySlot* slots() { return slots_; }
    const WizardFonts& fonts() const { return fonts_; }
    void BuildFonts(HFONT dialogFont);
    bool highContrast() const { return highContrast_; }
    bool ReadHighContrast();
    LANGID uiLanguage() const { return uiLanguage_; }
    CPPage& page(int index) { return *pages_[index]; }

    void SetButtons(unsigned flags) const;
    void ShowExtraFinish(bool show) const;
    // Moves the bottom buttons down and lengthens the sheet when a page reaches below them.
    void MakeRoomFor(HWND page) const;
    void GoTo(int index) const;
    void PlayClick() const;
    HCURSOR HandCursor() const { return hand_; }
    // A picture of the resources, loaded once for the run; null when missing.
    HBITMAP Picture(int id);
    // Writes everything once per run, whichever Finish button started it.
    void Save();
    std::string Text(UINT id) const;
    int CurrentIndex() const;

private:
    static int CALLBACK SheetCallback(HWND, UINT, LPARAM);
    static LRESULT CALLBACK SheetProc(HWND, UINT, WPARAM, LPARAM);
    void Initialise(HWND sheet);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;
    WizardState state_;
    KeySlot slots_[kKeyCount] = {};
    std::unique_ptr<CPPage> pages_[kPageCount];
    WizardFonts fonts_;
    bool fontsBuilt_ = false;
    bool highContrast_ = false;
    bool saved_ = false;
    LANGID uiLanguage_;
    HCURSOR hand_;
    std::map<int, vn::GdiObject> pictures_;
};

std::unique_ptr<CPPage> MakeWelcomePage(CPSheet&);
std::unique_ptr<CPPage> MakeInternetNavPage(CPSheet&);
std::unique_ptr<CPPage> MakeKeyreachPage(CPSheet&);
std::unique_ptr<CPPage> MakeCustomizeKeysPage(CPSheet&);
std::unique_ptr<CPPage> MakePrintLabelPage(CPSheet&);
std::unique_ptr<CPPage> MakeOsdPage(CPSheet&);
std::unique_ptr<CPPage> MakeSummaryPage(CPSheet&);

}  // namespace tkcfg
