// Prints the key label on a named printer without the print dialog, the way the wizard prints on
// the printer chosen there, with seven sample labels:
//   label_print.exe <printer name> <scheme 0 or 1>
#include <windows.h>

#include <cstdlib>

#include "common/handles.h"
#include "wizard/label.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    vn::MemDc printer(CreateDCA(nullptr, argv[1], nullptr, nullptr));
    if (!printer) return 1;
    vn::GdiObject font(tkcfg::MakeLabelFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    tkcfg::LabelJob job{GetModuleHandleA(nullptr), static_cast<HFONT>(font.get()), std::atoi(argv[2]),
                        {"Mail", "Web Browser", "My Documents", "Calculator", "Music Player", "Photos",
                         "Quarterly sales figures of every branch"}};
    tkcfg::PrintLabel(printer.get(), job);
    return 0;
}
