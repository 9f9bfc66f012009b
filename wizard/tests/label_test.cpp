// The key label: what printing draws, read back record by record from a metafile that stands in
// for the printer, a picture of it for review, and the Print Label page driven from outside.
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/handles.h"
#include "wizard/label.h"
#include "wizard/label_layout.h"
#include "wizard/tests/wizard_fixture.h"

namespace tkcfg::test {
namespace {

const int kBoxLeft[7] = {160, 410, 660, 910, 1160, 1410, 1660};
const int kBoxRight[7] = {395, 650, 905, 1160, 1410, 1660, 1799};

TEST(LabelLayout, BoxesPictureScaleAndTexts) {
    for (int k = 0; k < 7; ++k) {
        Rect b = LabelTextBox(k);
        EXPECT_EQ(kBoxLeft[k], b.left);
        EXPECT_EQ(kBoxRight[k], b.right);
        EXPECT_EQ(-60, b.top);
        EXPECT_EQ(-134, b.bottom);
    }
    // A4 upright is narrower in proportion than the picture: it fills the width; landscape the height.
    EXPECT_EQ(2000, InstructionSize(200, 287, 582, 732).width);
    EXPECT_EQ(2515, InstructionSize(200, 287, 582, 732).height);
    EXPECT_EQ(1590, InstructionSize(287, 200, 582, 732).width);
    EXPECT_EQ(2000, InstructionSize(287, 200, 582, 732).height);

    KeySlot slot{};
    EXPECT_STREQ("", KeyLabelText(slot));
    std::strcpy(slot.storedLabel, "Stored");
    EXPECT_STREQ("Stored", KeyLabelText(slot));
    std::strcpy(slot.label, "Applied");
    EXPECT_STREQ("Applied", KeyLabelText(slot));
    std::memset(slot.label, 'x', sizeof slot.label);  // no terminating zero: not text
    EXPECT_STREQ("Stored", KeyLabelText(slot));
}

// The records of one printed label, with the state each drawing record was drawn in.
struct Drawn {
    int mapMode = 0, fillMode = 0, pages = 0, docs = 0;
    std::vector<POINT> polygon;
    LOGPEN polygonPen{}, linePen{};
    COLORREF polygonBrush = 0xFFFFFFFF;
    POINT lineFrom{}, lineTo{};
    EMRSTRETCHDIBITS picture{};
    bool pictureSeen = false;
    struct Line {
        std::wstring text;
        RECTL clip;
        DWORD options;
        POINTL at;
        COLORREF color, background;
        LONG fontHeight;
    };
    std::vector<Line> lines;
};

struct Player {
    Drawn d;
    std::map<DWORD, LOGPEN> pens;
    std::map<DWORD, COLORREF> brushes;
    std::map<DWORD, LONG> fonts;
    LOGPEN pen{};
    COLORREF brush = 0xFFFFFFFF, text = 0, background = 0;
    LONG font = 0;
    POINT at{};

    void Take(const ENHMETARECORD* r) {
        switch (r->iType) {
        case EMR_SETMAPMODE: d.mapMode = static_cast<int>(r->dParm[0]); break;
        case EMR_SETPOLYFILLMODE: d.fillMode = static_cast<int>(r->dParm[0]); break;
        case EMR_SETTEXTCOLOR: text = r->dParm[0]; break;
        case EMR_SETBKCOLOR: background = r->dParm[0]; break;
        case EMR_CREATEPEN: {
            auto* p = reinterpret_cast<const EMRCREATEPEN*>(r);
            pens[p->ihPen] = p->lopn;
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            auto* b = reinterpret_cast<const EMRCREATEBRUSHINDIRECT*>(r);
            brushes[b->ihBrush] = b->lb.lbColor;
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r);
            fonts[f->ihFont] = f->elfw.elfLogFont.lfHeight;
            break;
        }
        case EMR_SELECTOBJECT: {
            DWORD h = r->dParm[0];
            if (pens.count(h)) pen = pens[h];
            if (brushes.count(h)) brush = brushes[h];
            if (fonts.count(h)) font = fonts[h];
            break;
        }
        case EMR_POLYGON16: {
            auto* p = reinterpret_cast<const EMRPOLYGON16*>(r);
            for (DWORD i = 0; i < p->cpts; ++i) d.polygon.push_back({p->apts[i].x, p->apts[i].y});
            d.polygonPen = pen;
            d.polygonBrush = brush;
            break;
        }
        case EMR_POLYGON: {
            auto* p = reinterpret_cast<const EMRPOLYGON*>(r);
            for (DWORD i = 0; i < p->cptl; ++i) d.polygon.push_back({p->aptl[i].x, p->aptl[i].y});
            d.polygonPen = pen;
            d.polygonBrush = brush;
            break;
        }
        case EMR_MOVETOEX: at = {static_cast<LONG>(r->dParm[0]), static_cast<LONG>(r->dParm[1])}; break;
        case EMR_LINETO:
            d.lineFrom = at;
            d.lineTo = {static_cast<LONG>(r->dParm[0]), static_cast<LONG>(r->dParm[1])};
            d.linePen = pen;
            break;
        case EMR_STRETCHDIBITS:
            d.picture = *reinterpret_cast<const EMRSTRETCHDIBITS*>(r);
            d.pictureSeen = true;
            break;
        case EMR_EXTTEXTOUTW: {
            auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
            auto* s = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + t->emrtext.offString);
            d.lines.push_back({std::wstring(s, t->emrtext.nChars), t->emrtext.rcl, t->emrtext.fOptions,
                               t->emrtext.ptlReference, text, background, font});
            break;
        }
        }
    }
    static int CALLBACK Each(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM self) {
        reinterpret_cast<Player*>(self)->Take(r);
        return 1;
    }
};

class LabelPrint : public ::testing::Test {
protected:
    // Prints onto a metafile DC the way the print dialog's DC is printed on.
    HENHMETAFILE Print(int scheme, const char* const (&texts)[7]) {
        vn::WindowDc screen(nullptr);
        mm = {GetDeviceCaps(screen.get(), HORZSIZE), GetDeviceCaps(screen.get(), VERTSIZE)};
        RECT frame = {0, 0, mm.cx * 100, mm.cy * 100};
        HDC dc = CreateEnhMetaFileA(screen.get(), nullptr, &frame, nullptr);
        vn::GdiObject font(MakeLabelFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
        LabelJob job{GetModuleHandleA(nullptr), static_cast<HFONT>(font.get()), scheme, {}};
        for (int k = 0; k < 7; ++k) job.texts[k] = texts[k];
        PrintLabel(dc, job);
        EXPECT_EQ(MM_TEXT, GetMapMode(dc));  // handed back as it came
        return CloseEnhMetaFile(dc);
    }
    Drawn Read(HENHMETAFILE emf) {
        Player p;
        EnumEnhMetaFile(nullptr, emf, Player::Each, &p, nullptr);
        return p.d;
    }
    SIZE mm{};
};

const char kLong[] = "Quarterly sales figures of every branch office";

TEST_F(LabelPrint, RecordsFollowTheLayoutInBothSchemes) {
    std::string longest(259, 'w');
    for (int i = 7; i < 259; i += 8) longest[i] = ' ';
    const char* texts[7] = {"Mail", kLong, "", longest.c_str(), nullptr, "Calc", "A & B"};
    for (int scheme = 0; scheme < 2; ++scheme) {
        SCOPED_TRACE(scheme);
        HENHMETAFILE emf = Print(scheme, texts);
        Drawn d = Read(emf);
        DeleteEnhMetaFile(emf);
        LabelColours c = SchemeColours(scheme);

        EXPECT_EQ(MM_LOMETRIC, d.mapMode);
        ASSERT_TRUE(d.pictureSeen);
        LabelSize size = InstructionSize(mm.cx, mm.cy, 582, 732);
        EXPECT_EQ(0, d.picture.xDest);
        EXPECT_EQ(-50, d.picture.yDest);
        EXPECT_EQ(size.width, d.picture.cxDest);
        EXPECT_EQ(-size.height, d.picture.cyDest);
        EXPECT_EQ(582, d.picture.cxSrc);
        EXPECT_EQ(732, d.picture.cySrc);
        EXPECT_EQ(static_cast<DWORD>(SRCCOPY), d.picture.dwRop);

        EXPECT_EQ(WINDING, d.fillMode);
        std::vector<POINT> strip = {{119, -19}, {119, -295}, {1840, -295}, {1840, -19}, {119, -19}};
        ASSERT_EQ(strip.size(), d.polygon.size());
        for (size_t i = 0; i < strip.size(); ++i) {
            EXPECT_EQ(strip[i].x, d.polygon[i].x);
            EXPECT_EQ(strip[i].y, d.polygon[i].y);
        }
        EXPECT_EQ(static_cast<UINT>(PS_SOLID), d.polygonPen.lopnStyle);
        EXPECT_EQ(c.outline, d.polygonPen.lopnColor);
        EXPECT_EQ(c.fill, d.polygonBrush);

        EXPECT_EQ(119, d.lineFrom.x);
        EXPECT_EQ(-157, d.lineFrom.y);
        EXPECT_EQ(1840, d.lineTo.x);
        EXPECT_EQ(-157, d.lineTo.y);
        EXPECT_EQ(static_cast<UINT>(PS_DASH), d.linePen.lopnStyle);
        EXPECT_EQ(1, d.linePen.lopnWidth.x);
        EXPECT_EQ(c.middleLine, d.linePen.lopnColor);

        // Every line of text is drawn in its key's box, clipped to it, in the scheme's colours.
        std::map<int, std::wstring> byKey;
        for (const Drawn::Line& l : d.lines) {
            int k = 0;
            while (k < 7 && kBoxLeft[k] != l.clip.left) ++k;
            ASSERT_LT(k, 7) << "a line outside every box";
            EXPECT_EQ(kBoxRight[k], l.clip.right);
            EXPECT_EQ(-60, l.clip.top);
            EXPECT_EQ(-134, l.clip.bottom);
            EXPECT_TRUE(l.options & ETO_CLIPPED);
            EXPECT_EQ(kBoxLeft[k], l.at.x);
            EXPECT_LE(l.at.y, -60);
            EXPECT_GE(l.at.y, -134);
            EXPECT_EQ(c.text, l.color);
            EXPECT_EQ(c.textBackground, l.background);
            EXPECT_EQ(kLabelFontHeight, l.fontHeight);
            if (l.at.y <= -134) continue;  // starts at the bottom edge: cut off by the clipping
            if (!byKey[k].empty() && byKey[k].back() != L' ') byKey[k] += L' ';
            byKey[k] += l.text;
        }
        EXPECT_EQ(L"Mail", byKey[0]);
        EXPECT_EQ(L"Calc", byKey[5]);
        EXPECT_EQ(L"A & B", byKey[6]);  // an ampersand is printed, not taken for a mnemonic
        EXPECT_FALSE(byKey.count(2) || byKey.count(4));  // empty and missing labels leave blank boxes
        // A long label wraps at word boundaries; what does not fit the box is cut off.
        std::wstring wide(kLong, kLong + sizeof kLong - 1);
        while (!byKey[1].empty() && byKey[1].back() == L' ') byKey[1].pop_back();
        ASSERT_LT(byKey[1].size(), wide.size());
        EXPECT_EQ(0u, wide.find(byKey[1]));
        EXPECT_EQ(L' ', wide[byKey[1].size()]);
        EXPECT_FALSE(byKey[3].empty());
        EXPECT_LT(byKey[3].size(), 259u);
    }
}

// Plays the label onto a bitmap the size of the device's page, one pixel a quarter millimetre,
// saves it for review and reads colours where the strip and its letters are.
TEST_F(LabelPrint, PictureShowsTheStripOverTheInstructions) {
    const char* texts[7] = {"Mail", "Web Browser", "My Documents", "Calculator", "Music Player", "Photos",
                            "Quarterly sales figures"};
    for (int scheme = 0; scheme < 2; ++scheme) {
        HENHMETAFILE emf = Print(scheme, texts);
        int w = mm.cx * 4, h = mm.cy * 4;
        vn::WindowDc screen(nullptr);
        vn::MemDc mem(CreateCompatibleDC(screen.get()));
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, h, 1, 24, BI_RGB};
        void* bits = nullptr;
        vn::GdiObject dib(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        vn::SelectIn in(mem.get(), dib.get());
        RECT page = {0, 0, w, h};
        FillRect(mem.get(), &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(mem.get(), emf, &page);
        DeleteEnhMetaFile(emf);
        GdiFlush();
        LabelColours c = SchemeColours(scheme);
        // Page mm to pixels: 0.1 mm units x 0.4.
        auto at = [&](int x, int y) { return GetPixel(mem.get(), x * 4 / 10, -y * 4 / 10) & 0xFFFFFF; };
        EXPECT_EQ(c.fill, at(1000, -250)) << "inside the strip's lower half";
        int letters = 0;
        for (int x = 160; x < 395; x += 2)
            for (int y = -60; y > -100; y -= 2) letters += at(x, y) == c.text;
        EXPECT_GT(letters, 5) << "the first key's label";

        DWORD stride = (w * 3 + 3) & ~3u;
        BITMAPFILEHEADER fh{0x4D42, 0, 0, 0, sizeof fh + sizeof bi.bmiHeader};
        fh.bfSize = fh.bfOffBits + stride * h;
        std::string bytes(reinterpret_cast<char*>(&fh), sizeof fh);
        bytes.append(reinterpret_cast<char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
        bytes.append(static_cast<char*>(bits), stride * h);
        vntest::WriteFileBytes(vntest::ExeFolder() + "label_scheme" + std::to_string(scheme) + ".bmp", bytes);
    }
}

// The print dialog of the wizard, once it is up: a dialog of the process other than the sheet.
HWND PrintDialog(const WizardProcess& wizard) {
    struct Search {
        DWORD pid;
        HWND sheet, found;
    } s{GetProcessId(wizard.process()), wizard.sheet(), nullptr};
    vntest::WaitUntil([&] {
        EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                char cls[16] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (pid == s->pid && w != s->sheet && IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0) s->found = w;
                return s->found == nullptr;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
    }, 3000);
    return s.found;
}

using PrintLabelPage = WizardTest;

TEST_F(PrintLabelPage, PrintsOnlyWithPrintAndASchemeAndCancelMovesOn) {
    WriteNumber("Buttons", "PrintSubRadioBtns", 7);  // no scheme chosen
    StartWizard();
    wizard.GoTo(4);
    ASSERT_EQ(4, wizard.PageIndex());
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));  // "Do not print" is the stored choice
    EXPECT_FALSE(IsWindowEnabled(wizard.Control(1086)));
    wizard.Press(PSBTN_NEXT);
    EXPECT_EQ(5, wizard.PageIndex());
    EXPECT_EQ(nullptr, PrintDialog(wizard));

    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(4, wizard.PageIndex());
    wizard.ClickButton(1024);
    EXPECT_TRUE(IsWindowVisible(wizard.Control(1122)) && !IsWindowVisible(wizard.Control(1123)));
    EXPECT_TRUE(IsWindowEnabled(wizard.Control(1086)));
    EXPECT_FALSE(wizard.ButtonEnabled(kNextButton));
    wizard.ClickButton(1086);
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));

    wizard.Press(PSBTN_NEXT);
    HWND dialog = PrintDialog(wizard);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return wizard.PageIndex() == 5; }));
    // Going back and forward again asks again; the Summary link commits the same way.
    wizard.Press(PSBTN_BACK);
    wizard.ClickPage(630, 16);
    dialog = PrintDialog(wizard);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return wizard.PageIndex() == 6; }));
}

}  // namespace
}  // namespace tkcfg::test
