// The key label: what printing draws, read back record by record from a metafile that stands in
// for the printer and played onto a page picture for review; the Print Label page from outside.
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

TEST(LabelLayout, PictureScaleAndTexts) {
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

using Points = std::vector<std::pair<LONG, LONG>>;

// The drawing records of a label with the pen, brush, colours and font each was drawn with.
struct Drawn {
    int mapMode = 0, fillMode = 0;
    Points polygon, line;
    LOGPEN polygonPen{}, linePen{};
    COLORREF polygonBrush = CLR_INVALID;
    EMRSTRETCHDIBITS picture{};
    struct Text {
        std::wstring text;
        RECTL clip;
        DWORD options;
        POINTL at;
        COLORREF color, background;
        LONG fontHeight;
    };
    std::vector<Text> texts;

    std::map<DWORD, LOGPEN> pens;
    std::map<DWORD, COLORREF> brushes;
    std::map<DWORD, LONG> fonts;
    LOGPEN pen{};
    COLORREF brush = CLR_INVALID, color = 0, background = 0;
    LONG font = 0;

    template <typename Point>
    void Polygon(const Point* points, DWORD count) {  // short or long points, whichever hold the figures
        for (DWORD i = 0; i < count; ++i) polygon.push_back({points[i].x, points[i].y});
        polygonPen = pen;
        polygonBrush = brush;
    }
    void Take(const ENHMETARECORD* r) {
        const DWORD* p = r->dParm;
        switch (r->iType) {
        case EMR_SETMAPMODE: mapMode = static_cast<int>(p[0]); break;
        case EMR_SETPOLYFILLMODE: fillMode = static_cast<int>(p[0]); break;
        case EMR_SETTEXTCOLOR: color = p[0]; break;
        case EMR_SETBKCOLOR: background = p[0]; break;
        case EMR_CREATEPEN: pens[p[0]] = reinterpret_cast<const EMRCREATEPEN*>(r)->lopn; break;
        case EMR_CREATEBRUSHINDIRECT: brushes[p[0]] = reinterpret_cast<const EMRCREATEBRUSHINDIRECT*>(r)->lb.lbColor; break;
        case EMR_EXTCREATEFONTINDIRECTW:
            fonts[p[0]] = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r)->elfw.elfLogFont.lfHeight;
            break;
        case EMR_SELECTOBJECT:
            if (pens.count(p[0])) pen = pens[p[0]];
            if (brushes.count(p[0])) brush = brushes[p[0]];
            if (fonts.count(p[0])) font = fonts[p[0]];
            break;
        case EMR_POLYGON16: Polygon(reinterpret_cast<const EMRPOLYGON16*>(r)->apts, p[4]); break;
        case EMR_POLYGON: Polygon(reinterpret_cast<const EMRPOLYGON*>(r)->aptl, p[4]); break;
        case EMR_MOVETOEX: line = {{static_cast<LONG>(p[0]), static_cast<LONG>(p[1])}}; break;
        case EMR_LINETO:
            line.push_back({static_cast<LONG>(p[0]), static_cast<LONG>(p[1])});
            linePen = pen;
            break;
        case EMR_STRETCHDIBITS: picture = *reinterpret_cast<const EMRSTRETCHDIBITS*>(r); break;
        case EMR_EXTTEXTOUTW: {
            const EMRTEXT& t = reinterpret_cast<const EMREXTTEXTOUTW*>(r)->emrtext;
            auto* s = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + t.offString);
            texts.push_back({std::wstring(s, t.nChars), t.rcl, t.fOptions, t.ptlReference, color, background, font});
            break;
        }
        }
    }
    static int CALLBACK Each(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM self) {
        reinterpret_cast<Drawn*>(self)->Take(r);
        return 1;
    }
};

// The label printed on a metafile DC in place of the print dialog's, and played back onto a
// picture of the page, a pixel a quarter millimetre, which is saved for review.
class LabelPrint : public ::testing::Test {
protected:
    void Print(int scheme, const char* const (&texts)[7]) {
        vn::WindowDc screen(nullptr);
        mm = {GetDeviceCaps(screen.get(), HORZSIZE), GetDeviceCaps(screen.get(), VERTSIZE)};
        RECT frame = {0, 0, mm.cx * 100, mm.cy * 100};
        HDC dc = CreateEnhMetaFileA(screen.get(), nullptr, &frame, nullptr);
        vn::GdiObject font(MakeLabelFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
        LabelJob job{GetModuleHandleA(nullptr), static_cast<HFONT>(font.get()), scheme, {}};
        std::copy(texts, texts + 7, job.texts);
        PrintLabel(dc, job);
        EXPECT_EQ(MM_TEXT, GetMapMode(dc));  // handed back as it came
        HENHMETAFILE emf = CloseEnhMetaFile(dc);
        d = Drawn{};
        EnumEnhMetaFile(nullptr, emf, Drawn::Each, &d, nullptr);
        Play(emf, "label_scheme" + std::to_string(scheme) + ".bmp");
        DeleteEnhMetaFile(emf);
    }
    void Play(HENHMETAFILE emf, const std::string& name) {
        w = mm.cx * 4;
        h = mm.cy * 4;
        vn::WindowDc screen(nullptr);
        vn::MemDc mem(CreateCompatibleDC(screen.get()));
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, h, 1, 24, BI_RGB};
        void* bits = nullptr;
        vn::GdiObject dib(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        vn::SelectIn in(mem.get(), dib.get());
        RECT all = {0, 0, w, h};
        FillRect(mem.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(mem.get(), emf, &all);
        GdiFlush();
        pixels.assign(static_cast<char*>(bits), ((w * 3 + 3) & ~3) * h);
        DWORD head = sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader;
        BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(head + pixels.size()), 0, 0, head};
        std::string file(reinterpret_cast<char*>(&fh), sizeof fh);
        file.append(reinterpret_cast<char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
        vntest::WriteFileBytes(vntest::ExeFolder() + name, file + pixels);
    }
    COLORREF At(int x, int y) const {  // a point of the page in 0.1 mm units, y upward
        int row = h - 1 - (-y * 4 / 10);
        auto* p = reinterpret_cast<const BYTE*>(pixels.data()) + row * ((w * 3 + 3) & ~3) + x * 4 / 10 * 3;
        return RGB(p[2], p[1], p[0]);
    }

    SIZE mm{};
    Drawn d;
    int w = 0, h = 0;
    std::string pixels;  // 24-bit rows, bottom-up
};

const int kBoxLeft[7] = {160, 410, 660, 910, 1160, 1410, 1660};
const int kBoxRight[7] = {395, 650, 905, 1160, 1410, 1660, 1799};
const char kLong[] = "Quarterly sales figures of every branch office";

TEST_F(LabelPrint, RecordsFollowTheLayoutInBothSchemes) {
    std::string longest(259, 'w');
    for (int i = 7; i < 259; i += 8) longest[i] = ' ';
    const char* texts[7] = {"Mail", kLong, "", longest.c_str(), nullptr, "Calc", "A & B"};
    for (int scheme = 0; scheme < 2; ++scheme) {
        SCOPED_TRACE(scheme);
        Print(scheme, texts);
        LabelColours c = SchemeColours(scheme);

        EXPECT_EQ(MM_LOMETRIC, d.mapMode);
        const EMRSTRETCHDIBITS& pic = d.picture;
        LabelSize size = InstructionSize(mm.cx, mm.cy, 582, 732);
        EXPECT_EQ((Points{{0, -50}, {size.width, -size.height}, {582, 732}}),
                  (Points{{pic.xDest, pic.yDest}, {pic.cxDest, pic.cyDest}, {pic.cxSrc, pic.cySrc}}));
        EXPECT_EQ(static_cast<DWORD>(SRCCOPY), pic.dwRop);

        EXPECT_EQ(WINDING, d.fillMode);
        EXPECT_EQ((Points{{119, -19}, {119, -295}, {1840, -295}, {1840, -19}, {119, -19}}), d.polygon);
        EXPECT_EQ(static_cast<UINT>(PS_SOLID), d.polygonPen.lopnStyle);
        EXPECT_EQ(c.outline, d.polygonPen.lopnColor);
        EXPECT_EQ(c.fill, d.polygonBrush);
        EXPECT_EQ((Points{{119, -157}, {1840, -157}}), d.line);
        EXPECT_EQ(static_cast<UINT>(PS_DASH), d.linePen.lopnStyle);
        EXPECT_EQ(1, d.linePen.lopnWidth.x);
        EXPECT_EQ(c.middleLine, d.linePen.lopnColor);

        // Every line of text is drawn in its key's box, clipped to it, in the scheme's colours.
        std::map<int, std::wstring> byKey;
        for (const Drawn::Text& t : d.texts) {
            int k = 0;
            while (k < 7 && kBoxLeft[k] != t.clip.left) ++k;
            ASSERT_LT(k, 7) << "a line outside every box";
            EXPECT_EQ((Points{{kBoxRight[k], -60}, {-134, kBoxLeft[k]}}),
                      (Points{{t.clip.right, t.clip.top}, {t.clip.bottom, t.at.x}}));
            EXPECT_TRUE(t.options & ETO_CLIPPED);
            EXPECT_TRUE(t.at.y <= -60 && t.at.y >= -134);
            EXPECT_EQ(c.text, t.color);
            EXPECT_EQ(c.textBackground, t.background);
            EXPECT_EQ(kLabelFontHeight, t.fontHeight);
            if (t.at.y == -134) continue;  // starts at the bottom edge: wholly clipped away
            if (!byKey[k].empty() && byKey[k].back() != L' ') byKey[k] += L' ';
            byKey[k] += t.text;
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
        EXPECT_TRUE(!byKey[3].empty() && byKey[3].size() < 259u);

        // The played page: the strip's fill, and letters in the first box.
        EXPECT_EQ(c.fill, At(1000, -250));
        int letters = 0;
        for (int x = 160; x < 395; x += 3)
            for (int y = -60; y > -100; y -= 3) letters += At(x, y) == c.text;
        EXPECT_GT(letters, 5);
    }
}

using PrintLabelPage = WizardTest;

TEST_F(PrintLabelPage, PrintsOnlyWithPrintAndASchemeAndCancelMovesOn) {
    // The print dialog once it is up, or what it shows first: without a printer the system's
    // notice that none is installed, owned by the dialog.
    auto printDialog = [&] {
        HWND found = nullptr;
        vntest::WaitUntil([&] {
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;)
                if (w != wizard.sheet() && GetAncestor(w, GA_ROOTOWNER) == wizard.sheet() && IsWindowVisible(w)) found = w;
            return found != nullptr;
        }, 3000);
        return found;
    };
    WriteNumber("Buttons", "PrintSubRadioBtns", 7);  // no scheme chosen
    StartWizard();
    wizard.GoTo(4);
    ASSERT_EQ(4, wizard.PageIndex());
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));  // "Do not print" is the stored choice
    EXPECT_FALSE(IsWindowEnabled(wizard.Control(1086)));
    wizard.Press(PSBTN_NEXT);
    EXPECT_EQ(5, wizard.PageIndex());
    EXPECT_EQ(nullptr, printDialog());

    wizard.Press(PSBTN_BACK);
    ASSERT_EQ(4, wizard.PageIndex());
    wizard.ClickButton(1024);
    EXPECT_TRUE(IsWindowVisible(wizard.Control(1122)) && !IsWindowVisible(wizard.Control(1123)));
    EXPECT_TRUE(IsWindowEnabled(wizard.Control(1086)));
    EXPECT_FALSE(wizard.ButtonEnabled(kNextButton));
    wizard.ClickButton(1086);
    EXPECT_TRUE(wizard.ButtonEnabled(kNextButton));

    wizard.Press(PSBTN_NEXT);
    HWND dialog = printDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return wizard.PageIndex() == 5; }));
    // Going back and forward again asks again; the Summary link commits the same way.
    wizard.Press(PSBTN_BACK);
    wizard.ClickPage(630, 16);
    dialog = printDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return wizard.PageIndex() == 6; }));
}

}  // namespace
}  // namespace tkcfg::test
