// Printing the Keyreach key label: the print dialog, then one page with the instruction picture
// and the label strip carrying the seven key labels.
#pragma once
#include <windows.h>

#include "wizard/model.h"

namespace tkcfg {

// The label font: the dialog font with a cell height of 3.5 mm on the page; null on failure.
HFONT MakeLabelFont(HFONT dialogFont);

struct LabelJob {
    HMODULE resources;  // holds the instruction picture
    HFONT font;
    int scheme;  // 0 white letters on black, 1 black letters on white
    const char* texts[kKeyCount];
};

// Shows the print dialog for one page; the printer's DC, or null when the user did not confirm.
HDC ChoosePrinter(HWND owner);

// Prints the label as one document of one page on a DC that the print dialog (or, in tests, a
// metafile) gave. The DC's attributes are as before afterwards; the caller keeps the DC.
void PrintLabel(HDC dc, const LabelJob& job);

// Asks for a printer and prints the label there; nothing when the dialog is cancelled.
void PrintKeyLabel(HWND owner, const LabelJob& job);

}  // namespace tkcfg
