// Shows every page of the real wizard and saves a picture of the sheet for each as a BMP file:
//   wizard_shots.exe <TKCfg.exe> <output folder>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "common/handles.h"
#include "wizard/tests/wizard_driver.h"

namespace {

void SaveWindow(HWND w, const std::string& path) {
    RECT r;
    GetWindowRect(w, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    vn::WindowDc screen(nullptr);
    vn::MemDc mem(CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    vn::GdiObject dib(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        vn::SelectIn in(mem.get(), dib.get());
        BitBlt(mem.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    DWORD stride = (width * 3 + 3) & ~3u, size = stride * height;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, size, 1, f);
    std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::string exe = argv[1], out = argv[2];
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    tkcfg::test::WizardProcess wizard;
    if (!wizard.Start(exe, folder)) return 1;
    SetWindowPos(wizard.sheet(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    const char* names[] = {"welcome", "internetnav", "keyreach", "customize", "printlabel", "osd", "summary"};
    for (int i = 0; i < 7; ++i) {
        wizard.GoTo(i);
        if (i == 3) {  // a key chosen and the file source open, as while assigning
            wizard.ClickPage(458, 175);
            wizard.ClickButton(1061);
        }
        Sleep(800);
        SaveWindow(wizard.sheet(), out + "\\" + names[i] + ".bmp");
    }
    wizard.Press(PSBTN_CANCEL);
    return wizard.WaitExit() == 0 ? 0 : 1;
}
