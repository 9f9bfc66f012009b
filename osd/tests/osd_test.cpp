// The display against Wine's real windows, GDI and registry.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/handles.h"
#include "common/testing/winetest.h"
#include "keyfunc/vnutil.h"
#include "osd/layout.h"
#include "osd/shapes.h"
#include "osd/state.h"
#include "osd/tests/reference.h"
#include "osd/vnosd.h"

namespace {

const char kRoot[] = "Software\\VnTestOsd\\Productivity";
const char kUserOsd[] = "Software\\VnTestOsd\\Productivity\\users\\user1\\OSD";
const unsigned kServiceFormat = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;  // 0x2A

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
HMODULE Self() { return GetModuleHandleA(nullptr); }

// The process's GDI objects: GetGuiResources where the system has it (loaded at run time, it is
// missing on Windows 95); Wine answers 0 there, so then the live entries of the handle table are
// counted (a handle given by its table index alone is accepted by GetObjectType).
int GdiObjectCount() {
    using GetGuiResourcesFn = DWORD(WINAPI*)(HANDLE, DWORD);
    auto fn = reinterpret_cast<GetGuiResourcesFn>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetGuiResources"));
    if (fn) {
        DWORD n = fn(GetCurrentProcess(), 0 /* GR_GDIOBJECTS */);
        if (n) return static_cast<int>(n);
    }
    int n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
    return n;
}

std::string ReadText(HKEY hive, const char* path, const char* name) {
    char buffer[260] = {};
    return Reg_GetValueString(hive, path, name, buffer, sizeof buffer) ? buffer : "<missing>";
}

bool ReadNumber(const char* name, int* value) {
    return Reg_GetValueNumber(HKEY_CURRENT_USER, kUserOsd, name, value) != 0;
}

// Presses a button of the next dialog box this process shows, from another thread, while the
// test's thread sits in the modal loop.
class DialogPresser {
public:
    explicit DialogPresser(int button) : thread_([this, button] { Run(button); }) {}
    ~DialogPresser() { thread_.join(); }
    bool pressed() const { return pressed_; }

private:
    static BOOL CALLBACK Find(HWND w, LPARAM param) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(param) = w;
            return FALSE;
        }
        return TRUE;
    }
    void Run(int button) {
        for (int i = 0; i < 200 && !pressed_; ++i) {
            HWND dialog = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                Sleep(200);  // let the dialog finish filling its lists
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
                pressed_ = true;
            } else {
                Sleep(50);
            }
        }
    }
    std::atomic<bool> pressed_{false};
    std::thread thread_;
};

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        Reg_InitProfile(kRoot, "user1");
        ASSERT_EQ(OSD_Init(), 1);
        window_ = FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND");
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        OSD_KeepShowing(0);
        OSD_Destroy();
        Clean();
    }
    static void Clean() { vntest::DeleteRegTree(HKEY_CURRENT_USER, "Software\\VnTestOsd"); }
    static void Put(const char* name, int value) { Reg_SetProfileNumber("OSD", name, value); }

    // The window's current shape (owned by the caller).
    HRGN Shape() {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND"), region);
        return region;
    }
    static RECT ServiceRect() { return RECT{0, 0, ScreenWidth() - 40, ScreenHeight() - 40}; }
    static SIZE Extent(const char* text) {
        vn::GdiObject font(CreateFontIndirectA(&osd::Osd().font));
        vn::MemDc dc(CreateCompatibleDC(nullptr));
        vn::SelectIn in(dc.get(), font.get());
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), text, static_cast<int>(std::strlen(text)), &size);
        return size;
    }
    // The shape the pixel-by-pixel method gives for the same text with the current font.
    static HRGN ReferenceText(const char* text, const RECT& adjusted, unsigned format, bool icon) {
        vn::GdiObject font(CreateFontIndirectA(&osd::Osd().font));
        vn::WindowDc screen(nullptr);
        return osdref::TextRegion(screen.get(), static_cast<HFONT>(font.get()), text,
                                  osd::Box{adjusted.left, adjusted.top, adjusted.right, adjusted.bottom}, format,
                                  icon, Self(), ScreenWidth(), ScreenHeight());
    }

    HWND window_ = nullptr;
};

TEST_F(Display, WindowIsAHiddenFullScreenToolPopup) {
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(GetWindowLongA(window_, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
    RECT r{};
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, ScreenWidth());
    EXPECT_EQ(r.bottom, ScreenHeight());
    EXPECT_EQ(GetClassLongPtrA(window_, GCL_STYLE), 0u);
    EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HCURSOR), 0u);
    EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HICON), 0u);

    // A second start in the same process uses the registered class and the same window.
    EXPECT_EQ(OSD_Init(), 1);
    EXPECT_EQ(FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND"), window_);
}

TEST_F(Display, ShownTopmostWithoutActivationThenHiddenAfterTheDuration) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    vntest::PumpFor(100);
    HWND before = GetForegroundWindow();
    Put("Duration", 400);
    OSD_LoadSettings();

    RECT rect = ServiceRect();
    DWORD start = GetTickCount();
    ASSERT_EQ(OSD_ShowString("Hello", &rect, kServiceFormat), 1);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_NE(GetActiveWindow(), window_);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsWindowVisible(window_); }, 5000));
    EXPECT_GE(GetTickCount() - start, 350u);
    DestroyWindow(other);
}

TEST_F(Display, KeepShowingHoldsTheDisplayUntilReleased) {
    Put("Duration", 200);
    OSD_LoadSettings();
    OSD_KeepShowing(1);
    RECT rect = ServiceRect();
    ASSERT_EQ(OSD_ShowString("Held", &rect, kServiceFormat), 1);
    vntest::PumpFor(800);
    EXPECT_TRUE(IsWindowVisible(window_));
    // A volume display always starts its timer, but the flag still keeps it up.
    ASSERT_EQ(OSD_ShowVolume(30000, 24), 1);
    vntest::PumpFor(600);
    EXPECT_TRUE(IsWindowVisible(window_));
    OSD_KeepShowing(0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsWindowVisible(window_); }, 3000));
}

TEST_F(Display, RecreatedAfterTheWindowWasDestroyed) {
    DestroyWindow(window_);
    EXPECT_EQ(FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND"), nullptr);
    RECT rect = ServiceRect();
    ASSERT_EQ(OSD_ShowString("Again", &rect, kServiceFormat), 1);
    HWND again = FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(IsWindowVisible(again));
    DestroyWindow(again);
    EXPECT_EQ(OSD_ShowVolume(100, 24), 1);
    EXPECT_NE(FindWindowA("VN_OSD_WNDCLASS", "VN_OSD_WND"), nullptr);
}

TEST_F(Display, SwitchedOffShowsNothing) {
    Reg_SetProfileBool("OSD", "Enabled", 0);
    EXPECT_EQ(OSD_LoadSettings(), 1);
    RECT rect = ServiceRect();
    EXPECT_EQ(OSD_ShowString("Nothing", &rect, kServiceFormat), 0);
    EXPECT_EQ(OSD_ShowVolume(40000, 24), 1);
    EXPECT_EQ(OSD_ShowMuteIcon(1), 0);
    EXPECT_FALSE(IsWindowVisible(window_));
}

TEST_F(Display, DefaultsOnAnEmptyStore) {
    EXPECT_EQ(OSD_LoadSettings(), 0);  // "Enabled" is missing
    const osd::State& s = osd::Osd();
    EXPECT_EQ(s.baseHeight, -37);
    EXPECT_EQ(s.font.lfHeight, osd::ScaledFontHeight(-37, ScreenHeight(), false));
    EXPECT_EQ(s.font.lfWeight, 400);
    EXPECT_EQ(s.font.lfCharSet, 0);
    EXPECT_EQ(s.font.lfPitchAndFamily, 0);
    EXPECT_STREQ(s.font.lfFaceName, "Arial");
    EXPECT_EQ(s.color, RGB(0, 255, 0));
    EXPECT_EQ(s.duration, 1200);
    EXPECT_EQ(s.enabled, 1);
    LOGBRUSH lb{};
    GetObjectA(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND)), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(0, 255, 0));
}

TEST_F(Display, StoredValuesAreReadWithTheLowByteOfFontBytes) {
    Put("Height", -20);
    Put("UserChanged", 0);  // exists: the height is used as stored
    Put("Weight", 700);
    Put("Italic", 0x101);
    Put("CharSet", 0x180);
    Put("Color", 0x0000FF);
    Put("Duration", 3000);
    Reg_SetProfileString("OSD", "FaceName", "Courier New");
    OSD_LoadSettings();
    const osd::State& s = osd::Osd();
    EXPECT_EQ(s.font.lfHeight, -20);
    EXPECT_EQ(s.font.lfWeight, 700);
    EXPECT_EQ(s.font.lfItalic, 1);
    EXPECT_EQ(s.font.lfCharSet, 0x80);
    EXPECT_STREQ(s.font.lfFaceName, "Courier New");
    EXPECT_EQ(s.color, RGB(255, 0, 0));
    EXPECT_EQ(s.duration, 3000);
}

TEST_F(Display, SavingWritesTheBaseHeightAndNeverEnabled) {
    ASSERT_NE(ScreenHeight(), 768);  // the test bed's screen makes the scaled height differ
    OSD_SaveSettings();
    int value = 0;
    ASSERT_TRUE(ReadNumber("Height", &value));
    EXPECT_EQ(value, -37);
    EXPECT_TRUE(ReadNumber("Duration", &value));
    EXPECT_EQ(value, 1200);
    EXPECT_TRUE(ReadNumber("Color", &value));
    EXPECT_EQ(value, 0x00FF00);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kUserOsd, "FaceName"), "Arial");
    EXPECT_FALSE(ReadNumber("UserChanged", &value));
    EXPECT_FALSE(ReadNumber("Enabled", &value));
}

TEST_F(Display, ChoosingAFontMarksTheHeightAsTheUsers) {
    {
        DialogPresser cancel(IDCANCEL);
        EXPECT_EQ(OSD_SelectFont(nullptr), 0);
        EXPECT_TRUE(cancel.pressed());
    }
    EXPECT_FALSE(osd::Osd().fontChosen);
    OSD_SaveSettings();
    int value = 0;
    EXPECT_FALSE(ReadNumber("UserChanged", &value));

    {
        DialogPresser ok(IDOK);
        EXPECT_EQ(OSD_SelectFont(nullptr), 1);
        EXPECT_TRUE(ok.pressed());
    }
    const int chosen = osd::Osd().font.lfHeight;
    EXPECT_EQ(osd::Osd().baseHeight, chosen);
    OSD_SaveSettings();
    ASSERT_TRUE(ReadNumber("UserChanged", &value));
    EXPECT_EQ(value, 1);
    ASSERT_TRUE(ReadNumber("Height", &value));
    EXPECT_EQ(value, chosen);
    OSD_LoadSettings();  // now used as stored, whatever the screen
    EXPECT_EQ(osd::Osd().font.lfHeight, chosen);
}

// Sets a text value of HKEY_CURRENT_USER for a scope and puts the old one back.
class UserValue {
public:
    UserValue(const char* path, const char* name, const char* text) : path_(path), name_(name ? name : "") {
        vn::RegKey key;
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
        char old[260] = {};
        DWORD size = sizeof old;
        had_ = RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS;
        old_ = old;
        RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text) + 1));
    }
    ~UserValue() {
        vn::RegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) return;
        const char* name = name_.empty() ? nullptr : name_.c_str();
        if (had_)
            RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                           static_cast<DWORD>(old_.size() + 1));
        else
            RegDeleteValueA(key.get(), name);
    }

private:
    std::string path_, name_, old_;
    bool had_ = false;
};

void ExpectCaptionFontDefaults() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
    const LOGFONTA& font = osd::Osd().font;
    EXPECT_STREQ(font.lfFaceName, metrics.lfCaptionFont.lfFaceName);
    EXPECT_EQ(font.lfCharSet, metrics.lfCaptionFont.lfCharSet);
    EXPECT_EQ(font.lfPitchAndFamily, metrics.lfCaptionFont.lfPitchAndFamily);
}

TEST_F(Display, JapaneseLocaleStartsWithTheCaptionFont) {
    {
        UserValue locale("Control Panel\\International", "Locale", "00000411");
        OSD_LoadSettings();
        ExpectCaptionFontDefaults();
        Reg_SetProfileString("OSD", "FaceName", "Courier New");  // a stored face still wins
        OSD_LoadSettings();
        EXPECT_STREQ(osd::Osd().font.lfFaceName, "Courier New");
    }
    OSD_LoadSettings();
    EXPECT_STREQ(osd::Osd().font.lfFaceName, "Courier New");
}

// The 9x family keeps the locale as the default value of "Control Panel\Desktop\ResourceLocale".
TEST_F(Display, NineXFamilyReadsTheResourceLocale) {
    if (!vntest::InChild()) {
        vntest::ChildOptions options;
        options.windowsVersion = "win98";
        EXPECT_EQ(vntest::RunSelf("Display.NineXFamilyReadsTheResourceLocale", options), 0);
        return;
    }
    UserValue nt("Control Panel\\International", "Locale", "00000409");
    UserValue resource("Control Panel\\Desktop\\ResourceLocale", nullptr, "00000411");
    OSD_LoadSettings();
    ExpectCaptionFontDefaults();
}

TEST_F(Display, ScreenChangeResizesTheWindowAndRescalesTheFont) {
    SendMessageA(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(osd::Osd().font.lfHeight, -49);
    RECT r{};
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.right - r.left, 1280);
    EXPECT_EQ(r.bottom - r.top, 1024);
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(window_));

    Put("UserChanged", 1);
    OSD_LoadSettings();
    SendMessageA(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    EXPECT_EQ(osd::Osd().font.lfHeight, -37);
    SendMessageA(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(ScreenWidth(), ScreenHeight()));
}

TEST_F(Display, TextIsRightAlignedAboveTheBottomMargin) {
    const int cx = ScreenWidth(), cy = ScreenHeight();
    RECT rect = ServiceRect();
    ASSERT_EQ(OSD_ShowString("Hello", &rect, kServiceFormat), 1);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, cx - 40 * cx / 1024);
    EXPECT_EQ(rect.bottom, cy - 40 * cy / 768 - 20);
    vn::GdiObject shape(Shape());
    RECT box{};
    ASSERT_EQ(GetRgnBox(static_cast<HRGN>(shape.get()), &box), COMPLEXREGION);
    SIZE extent = Extent("Hello");
    EXPECT_LE(box.right, rect.right);
    EXPECT_GT(box.right, rect.right - 12);
    EXPECT_GE(box.left, rect.right - extent.cx);
    EXPECT_LE(box.bottom, rect.bottom);
    EXPECT_GT(box.bottom, rect.bottom - extent.cy / 2);  // the baseline sits at the bottom
    EXPECT_GE(box.top, rect.bottom - extent.cy);
    vn::GdiObject expected(ReferenceText("Hello", rect, kServiceFormat, false));
    EXPECT_TRUE(EqualRgn(static_cast<HRGN>(shape.get()), static_cast<HRGN>(expected.get())));
}

TEST_F(Display, OverlongTextIsLeftAlignedFromTheMarginAndCut) {
    const std::string text(300, 'W');
    RECT rect = ServiceRect();
    ASSERT_EQ(OSD_ShowString(text.c_str(), &rect, kServiceFormat), 1);
    vn::GdiObject shape(Shape());
    RECT box{};
    GetRgnBox(static_cast<HRGN>(shape.get()), &box);
    const int margin = ScreenWidth() * 40 / 1024;
    EXPECT_GE(box.left, margin);
    EXPECT_LT(box.left, margin + 10);
    EXPECT_LE(box.right, rect.right);
    EXPECT_GT(box.right, rect.right - 60);  // cut at the rectangle, not short of it
    vn::GdiObject expected(ReferenceText(text.c_str(), rect, kServiceFormat, false));
    EXPECT_TRUE(EqualRgn(static_cast<HRGN>(shape.get()), static_cast<HRGN>(expected.get())));
}

TEST_F(Display, WithoutRectangleTheDesktopIsUsed) {
    ASSERT_EQ(OSD_ShowString("Desk", nullptr, kServiceFormat), 1);
    vn::GdiObject shape(Shape());
    RECT box{};
    GetRgnBox(static_cast<HRGN>(shape.get()), &box);
    EXPECT_LE(box.right, ScreenWidth());
    EXPECT_GT(box.right, ScreenWidth() - 12);
    EXPECT_LE(box.bottom, ScreenHeight());
}

TEST_F(Display, VolumeBarsShowTheLevel) {
    const int cx = ScreenWidth(), cy = ScreenHeight();
    vn::WindowDc screen(nullptr);
    struct Case {
        int level, bars, count, full;
    } cases[] = {{0, 24, 24, 0}, {32768, 24, 24, 13}, {65535, 24, 24, 24}, {65535, 0, 32, 32}};
    for (const Case& c : cases) {
        ASSERT_EQ(OSD_ShowVolume(c.level, c.bars), 1);
        EXPECT_TRUE(IsWindowVisible(window_));
        vn::GdiObject shape(Shape());
        HRGN region = static_cast<HRGN>(shape.get());
        osd::VolumePlan plan = osd::PlanVolume(c.level, c.count, 60, 60, cx, cy);
        const osd::VolumePlan allFull = osd::PlanVolume(65535, c.count, 60, 60, cx, cy);
        int full = 0, present = 0;
        for (const osd::Box& bar : allFull.bars) {
            const int middle = bar.left + bar.width() / 2;
            if (PtInRegion(region, middle, bar.bottom - 1)) ++present;
            if (PtInRegion(region, middle, bar.top)) ++full;
        }
        EXPECT_EQ(present, c.count) << c.level;
        EXPECT_EQ(full, c.full) << c.level;
        // Nothing right of the last bar.
        const osd::Box& last = plan.bars.back();
        EXPECT_FALSE(PtInRegion(region, last.right + 2, last.bottom - 1));
        // The symbol is the speaker with waves, stretched to its scaled size.
        vn::GdiObject iconBox(CreateRectRgn(plan.icon.left, plan.icon.top, plan.icon.right, plan.icon.bottom));
        vn::GdiObject icon(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(static_cast<HRGN>(icon.get()), region, static_cast<HRGN>(iconBox.get()), RGN_AND);
        vn::GdiObject speaker(osdref::BitmapRegion(screen.get(), osd::kSpeakerBitmap, Self(), plan.icon.left,
                                                   plan.icon.top, plan.icon.width(), plan.icon.height()));
        EXPECT_TRUE(EqualRgn(static_cast<HRGN>(icon.get()), static_cast<HRGN>(speaker.get())));
        vn::GdiObject expected(osdref::VolumeRegion(screen.get(), c.level, c.bars, Self(), cx, cy));
        EXPECT_TRUE(EqualRgn(region, static_cast<HRGN>(expected.get())));
    }
}

TEST_F(Display, MuteDisplayCarriesTheCrossedSpeaker) {
    char text[260] = {};
    LoadStringA(Self(), 1, text, sizeof text);
    vn::WindowDc screen(nullptr);
    ASSERT_EQ(OSD_ShowMuteIcon(1), 1);
    vn::GdiObject shape(Shape());
    HRGN region = static_cast<HRGN>(shape.get());
    RECT rect = ServiceRect();
    const osd::Box adjusted = osd::AdjustTextRect(osd::Box{0, 0, rect.right, rect.bottom}, ScreenWidth(),
                                                  ScreenHeight());
    const SIZE extent = Extent(text);
    const osd::TextPlan plan = osd::PlanText(adjusted, extent.cx, extent.cy, kServiceFormat, true, 60, 60,
                                             ScreenWidth(), ScreenHeight());
    vn::GdiObject iconBox(CreateRectRgn(plan.icon.left, plan.icon.top, plan.icon.right, plan.icon.bottom));
    vn::GdiObject icon(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(static_cast<HRGN>(icon.get()), region, static_cast<HRGN>(iconBox.get()), RGN_AND);
    vn::GdiObject crossed(osdref::BitmapRegion(screen.get(), osd::kMutedSpeakerBitmap, Self(), plan.icon.left,
                                               plan.icon.top, plan.icon.width(), plan.icon.height()));
    vn::GdiObject plain(osdref::BitmapRegion(screen.get(), osd::kSpeakerBitmap, Self(), plan.icon.left, plan.icon.top,
                                             plan.icon.width(), plan.icon.height()));
    EXPECT_TRUE(EqualRgn(static_cast<HRGN>(icon.get()), static_cast<HRGN>(crossed.get())));
    EXPECT_FALSE(EqualRgn(static_cast<HRGN>(icon.get()), static_cast<HRGN>(plain.get())));
    // The text ends left of the symbol, with the gap kept free.
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_LE(box.right, plan.icon.right);
    EXPECT_FALSE(PtInRegion(region, plan.icon.left - 2, plan.icon.top + plan.icon.height() / 2));
    RECT adjustedRect{adjusted.left, adjusted.top, adjusted.right, adjusted.bottom};
    vn::GdiObject expected(ReferenceText(text, adjustedRect, kServiceFormat, true));
    EXPECT_TRUE(EqualRgn(region, static_cast<HRGN>(expected.get())));

    ASSERT_EQ(OSD_ShowMuteIcon(0), 1);  // text 2, the same crossed speaker
    vn::GdiObject second(Shape());
    EXPECT_TRUE(EqualRgn(static_cast<HRGN>(second.get()), region));
}

// The library's shapes against the pixel-by-pixel method over screens, texts, formats and fonts.
TEST_F(Display, ShapesEqualThePixelByPixelMethod) {
    const struct {
        int cx, cy;
    } screens[] = {{640, 480}, {1024, 768}, {1920, 1080}};
    const char* texts[] = {"Calculator", "gjpqy |}{ WWW", "Launch Internet Explorer with all of my favourite pages",
                           ""};
    const unsigned formats[] = {kServiceFormat, DT_CENTER | DT_VCENTER | DT_SINGLELINE, DT_WORDBREAK | DT_CENTER,
                                DT_LEFT | DT_TOP};
    vn::WindowDc screen(nullptr);
    for (int weight : {400, 700}) {
        for (const auto& sc : screens) {
            LOGFONTA lf = osd::DefaultFont();
            lf.lfHeight = osd::ScaledFontHeight(-37, sc.cy, false);
            lf.lfWeight = weight;
            vn::GdiObject font(CreateFontIndirectA(&lf));
            const osd::Box rect = osd::AdjustTextRect(osd::Box{0, 0, sc.cx - 40, sc.cy - 40}, sc.cx, sc.cy);
            for (const char* text : texts)
                for (unsigned format : formats)
                    for (bool icon : {false, true}) {
                        HFONT f = static_cast<HFONT>(font.get());
                        vn::GdiObject fast(osd::BuildTextRegion(screen.get(), f, text, rect, format, icon, Self(),
                                                                sc.cx, sc.cy));
                        vn::GdiObject slow(osdref::TextRegion(screen.get(), f, text, rect, format, icon, Self(),
                                                              sc.cx, sc.cy));
                        ASSERT_TRUE(fast);
                        EXPECT_TRUE(EqualRgn(static_cast<HRGN>(fast.get()), static_cast<HRGN>(slow.get())))
                            << sc.cx << "x" << sc.cy << " '" << text << "' format " << format << " icon " << icon
                            << " weight " << weight;
                    }
            if (weight == 700) continue;
            for (int level : {0, 20000, 65535}) {
                vn::GdiObject fast(osd::BuildVolumeRegion(screen.get(), level, 24, Self(), sc.cx, sc.cy));
                vn::GdiObject slow(osdref::VolumeRegion(screen.get(), level, 24, Self(), sc.cx, sc.cy));
                EXPECT_TRUE(EqualRgn(static_cast<HRGN>(fast.get()), static_cast<HRGN>(slow.get())))
                    << sc.cx << "x" << sc.cy << " level " << level;
            }
        }
    }
    // A rectangle too small for the text beside the symbol: nothing is read outside the bitmap.
    LOGFONTA lf = osd::DefaultFont();
    vn::GdiObject font(CreateFontIndirectA(&lf));
    HFONT f = static_cast<HFONT>(font.get());
    for (osd::Box small : {osd::Box{0, 0, 150, 20}, osd::Box{0, 0, 0, 0}, osd::Box{0, 0, -30, 50}}) {
        vn::GdiObject fast(osd::BuildTextRegion(screen.get(), f, "Mute On/Off", small, kServiceFormat, true, Self(),
                                                1024, 768));
        vn::GdiObject slow(osdref::TextRegion(screen.get(), f, "Mute On/Off", small, kServiceFormat, true, Self(),
                                              1024, 768));
        ASSERT_TRUE(fast);
        EXPECT_TRUE(EqualRgn(static_cast<HRGN>(fast.get()), static_cast<HRGN>(slow.get()))) << small.right;
    }
}

TEST_F(Display, PaintedInItsColourInsideTheShapeAndRepaintedWhenInvalidated) {
    RECT rect = ServiceRect();
    ASSERT_EQ(OSD_ShowString("Painted", &rect, kServiceFormat), 1);
    vntest::PumpFor(50);
    vn::GdiObject shape(Shape());
    RECT box{};
    ASSERT_NE(GetRgnBox(static_cast<HRGN>(shape.get()), &box), NULLREGION);
    // A lit pixel: the first rectangle of the shape.
    std::vector<unsigned char> data(GetRegionData(static_cast<HRGN>(shape.get()), 0, nullptr));
    ASSERT_GT(data.size(), sizeof(RGNDATAHEADER));
    GetRegionData(static_cast<HRGN>(shape.get()), static_cast<DWORD>(data.size()),
                  reinterpret_cast<RGNDATA*>(data.data()));
    const RECT lit = reinterpret_cast<const RECT*>(reinterpret_cast<RGNDATA*>(data.data())->Buffer)[0];
    auto pixel = [&] {
        vn::WindowDc dc(window_);
        return GetPixel(dc.get(), lit.left, lit.top);
    };
    EXPECT_EQ(pixel(), RGB(0, 255, 0));

    // Something else draws over it; the invalidated display paints itself again, and its paint
    // leaves nothing to update (no endless paint messages).
    {
        vn::WindowDc dc(window_);
        vn::GdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(dc.get(), &box, static_cast<HBRUSH>(red.get()));
    }
    EXPECT_EQ(pixel(), RGB(255, 0, 0));
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    EXPECT_EQ(pixel(), RGB(0, 255, 0));
    EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
}

TEST_F(Display, SetColorReplacesTheClassBrushAndDeletesTheOldOne) {
    HGDIOBJ first = reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OSD_SetColor(RGB(255, 0, 0)), 1);
    HGDIOBJ second = reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND));
    EXPECT_NE(second, first);
    EXPECT_EQ(GetObjectType(first), 0u);
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectA(second, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));
    EXPECT_EQ(osd::Osd().color, RGB(255, 0, 0));

    EXPECT_EQ(OSD_SetColor(RGB(0, 0, 255)), 1);
    EXPECT_EQ(GetObjectType(second), 0u);

    // Without a window the colour is only remembered.
    OSD_Destroy();
    EXPECT_EQ(OSD_SetColor(RGB(1, 2, 3)), 0);
    EXPECT_EQ(osd::Osd().color, RGB(1, 2, 3));
}

TEST_F(Display, NoGdiObjectsLeakOverThousandsOfShows) {
    Put("Duration", 50);
    OSD_LoadSettings();
    auto round = [](int i) {
        RECT rect = ServiceRect();
        OSD_ShowString(i % 2 ? "Calculator" : "Launch my favourite mail program", &rect, kServiceFormat);
        OSD_ShowVolume(i * 97 % 65536, 24);
        OSD_ShowMuteIcon(i % 2);
        OSD_SetColor(RGB(i % 256, 255, 0));
        if (i % 50 == 0) vntest::PumpFor(60);  // let the hide timer run now and then
    };
    round(0);
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    {
        // The count sees objects come and go.
        vn::GdiObject a(CreateSolidBrush(RGB(1, 1, 1))), b(CreateRectRgn(0, 0, 1, 1));
        EXPECT_EQ(GdiObjectCount(), before + 2);
    }
    EXPECT_EQ(GdiObjectCount(), before);
    for (int i = 1; i <= 750; ++i) round(i);
    const int after = GdiObjectCount();
    EXPECT_LE(after - before, 2) << before << " -> " << after;
}

// The mute text of every language, read from the string table as stored.
TEST(MuteText, AllFifteenLanguages) {
    const struct {
        LANGID lang;
        const char* utf8;
    } texts[] = {
        {1028, "靜音開啟/關閉"},
        {1029, "Potlačení hlasitosti zapnuto/vypnuto"},
        {1031, "Stumm ein/aus"},
        {1033, "Mute On/Off"},
        {1034, "Silencio activado/desactivado"},
        {2058, "Silencio activado/desactivado"},
        {3082, "Silencio activado/desactivado"},
        {1036, "Muet actif/inactif"},
        {1040, "Audio attivo/disatt."},
        {1041, "ﾐｭｰﾄ On/Off"},
        {1046, "Mute On/Off"},
        {1051, "Vypnutie hlasitosti Zapnuté/Vypnuté"},
        {1060, "Vypnutie hlasitosti Zapnuté/Vypnuté"},
        {1055, "Sessiz Açık/Kapalı"},
        {2052, "静音打开/关闭"},
    };
    for (const auto& t : texts) {
        wchar_t expected[64] = {};
        MultiByteToWideChar(CP_UTF8, 0, t.utf8, -1, expected, 64);
        HRSRC found = FindResourceExW(Self(), reinterpret_cast<LPCWSTR>(RT_STRING), MAKEINTRESOURCEW(1), t.lang);
        ASSERT_NE(found, nullptr) << t.lang;
        const WORD* p = static_cast<const WORD*>(LockResource(LoadResource(Self(), found)));
        p += 1 + *p;  // string 0 of the block is unused
        for (int id = 1; id <= 2; ++id) {
            std::wstring text(reinterpret_cast<const wchar_t*>(p + 1), *p);
            EXPECT_EQ(text, std::wstring(expected)) << t.lang << " #" << id;
            p += 1 + *p;
        }
    }
}

// LoadStringA gives the text of the user interface language in the process's code page.
TEST(MuteText, InTheProcessLanguage) {
    char text[260] = {};
    ASSERT_GT(LoadStringA(Self(), 1, text, sizeof text), 0);
    const char* locale = vntest::TestLocale();
    if (locale && std::strncmp(locale, "ja_JP", 5) == 0) {
        EXPECT_EQ(GetACP(), 932u);
        EXPECT_STREQ(text, "\xD0\xAD\xB0\xC4 On/Off");  // the half-width katakana in code page 932
    } else if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH) {
        EXPECT_STREQ(text, "Mute On/Off");
    }
}

}  // namespace
