// Where the display puts things: pure arithmetic over the screen size, no windows.h.
// Every size is defined for a 1024 x 768 screen and scaled to the real one with integer arithmetic.
#pragma once
#include <vector>

namespace osd {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

// The font's character height for a screen of screenHeight lines: the stored base height
// belongs to a 768-line screen unless the user picked the font ("UserChanged" exists).
int ScaledFontHeight(int baseHeight, int screenHeight, bool userChanged);

// True for the Japanese user locale text (compared without regard to case).
bool IsJapaneseLocale(const char* localeText);

// The caller's text rectangle moved in from the right and bottom for the real screen.
Box AdjustTextRect(Box r, int cx, int cy);

// The whole layout of a text display, given the (adjusted) rectangle and the measured text.
struct TextPlan {
    Box icon;            // where the crossed speaker goes (empty without icon)
    int reserved = 0;    // width kept free right of the text for the icon
    int margin = 0;      // left margin
    int textWidth = 0;   // the measured width, cut to the room left of the right edge
    bool cut = false;    // the text was too wide: left-aligned single line from the margin
    unsigned format = 0; // the DrawText format to use
    Box draw;            // the rectangle the text is drawn into
    Box scan;            // the pixels that can join the region, inside the drawn bitmap
};
constexpr unsigned kFormatCut = 0x28;  // DT_SINGLELINE | DT_BOTTOM

TextPlan PlanText(const Box& rect, int textWidth, int textHeight, unsigned format, bool withIcon, int iconWidth,
                  int iconHeight, int cx, int cy);

// The volume display: the speaker symbol and one rectangle per bar.
struct VolumePlan {
    Box icon;
    std::vector<Box> bars;
    int fullBars = 0;
};
constexpr int kDefaultBars = 32;

VolumePlan PlanVolume(int level, int bars, int iconWidth, int iconHeight, int cx, int cy);

}  // namespace osd
