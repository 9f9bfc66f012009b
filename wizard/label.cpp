#include "wizard/label.h"

#include <commdlg.h>

#include "common/handles.h"
#include "wizard/label_layout.h"
#include "wizard/resource.h"

namespace tkcfg {

namespace {

// Global memory the print dialog hands back.
struct GlobalTraits {
    static HGLOBAL invalid() { return nullptr; }
    static bool valid(HGLOBAL h) { return h != nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
using GlobalMemory = vn::Owned<HGLOBAL, GlobalTraits>;

// Restores every attribute of a DC (mapping mode, colours, fill mode, selections) at scope end.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDc() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

// The instruction picture straight from the resources: header, colour table and pixels, so it
// reaches the printer as device-independent bits.
void DrawInstructions(HDC dc, HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDB_INSTRUCTIONS), RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    auto* info = loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (!info || size < sizeof(BITMAPINFOHEADER)) return;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof h || h.biBitCount != 8 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight <= 0)
        return;
    DWORD colours = h.biClrUsed ? h.biClrUsed : 256;
    DWORD stride = (static_cast<DWORD>(h.biWidth) + 3) & ~3u;
    DWORD offset = h.biSize + colours * sizeof(RGBQUAD);
    if (colours > 256 || offset > size || stride * static_cast<DWORD>(h.biHeight) > size - offset) return;
    LabelSize to = InstructionSize(GetDeviceCaps(dc, HORZSIZE), GetDeviceCaps(dc, VERTSIZE), h.biWidth, h.biHeight);
    // y grows upward on the page: a negative height draws the picture downward, upright.
    StretchDIBits(dc, kPictureOrigin.x, kPictureOrigin.y, to.width, -to.height, 0, 0, h.biWidth, h.biHeight,
                  reinterpret_cast<const BYTE*>(info) + offset, info, DIB_RGB_COLORS, SRCCOPY);
}

void DrawStrip(HDC dc, const LabelJob& job) {
    LabelColours c = SchemeColours(job.scheme);
    vn::GdiObject fill(CreateSolidBrush(c.fill));
    vn::GdiObject outline(CreatePen(PS_SOLID, 1, c.outline));
    vn::GdiObject dashed(CreatePen(PS_DASH, 1, c.middleLine));
    vn::SelectIn font(dc, job.font);
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.textBackground);
    {
        vn::SelectIn brush(dc, fill.get());
        vn::SelectIn pen(dc, outline.get());
        SetPolyFillMode(dc, WINDING);
        POINT strip[kStripPoints];
        for (int i = 0; i < kStripPoints; ++i) strip[i] = {kStripOutline[i].x, kStripOutline[i].y};
        Polygon(dc, strip, kStripPoints);
    }
    {
        vn::SelectIn pen(dc, dashed.get());
        MoveToEx(dc, kMiddleLine[0].x, kMiddleLine[0].y, nullptr);
        LineTo(dc, kMiddleLine[1].x, kMiddleLine[1].y);
    }
    for (int k = 0; k < kKeyCount; ++k) {
        const char* text = job.texts[k];
        if (!text || !text[0]) continue;
        Rect b = LabelTextBox(k);
        RECT box = {b.left, b.top, b.right, b.bottom};
        DrawTextA(dc, text, -1, &box, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EXTERNALLEADING | DT_NOPREFIX);
    }
}

}  // namespace

HFONT MakeLabelFont(HFONT dialogFont) {
    LOGFONTA lf{};
    if (!dialogFont || !GetObjectA(dialogFont, sizeof lf, &lf)) return nullptr;
    lf.lfHeight = kLabelFontHeight;
    return CreateFontIndirectA(&lf);
}

HDC ChoosePrinter(HWND owner) {
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_DISABLEPRINTTOFILE;
    pd.nFromPage = pd.nToPage = pd.nMinPage = pd.nMaxPage = 1;
    pd.nCopies = 1;
    BOOL chosen = PrintDlgA(&pd);
    GlobalMemory mode(pd.hDevMode), names(pd.hDevNames);
    if (!chosen) {
        if (pd.hDC) DeleteDC(pd.hDC);
        return nullptr;
    }
    return pd.hDC;
}

void PrintLabel(HDC dc, const LabelJob& job) {
    SavedDc restore(dc);
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "";
    StartDocA(dc, &doc);
    SetMapMode(dc, MM_LOMETRIC);
    StartPage(dc);
    // Windows 95 to Me reset a printer DC's attributes at the start of every page.
    SetMapMode(dc, MM_LOMETRIC);
    DrawInstructions(dc, job.resources);
    DrawStrip(dc, job);
    EndPage(dc);
    EndDoc(dc);
}

void PrintKeyLabel(HWND owner, const LabelJob& job) {
    vn::MemDc printer(ChoosePrinter(owner));
    if (printer) PrintLabel(printer.get(), job);
}

}  // namespace tkcfg
