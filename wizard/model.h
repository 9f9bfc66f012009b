// The wizard's shared run state, the key slots and the plain rules of the sheet: page order,
// wizard buttons, layout scaling, step links and key hot spots. No windows.h here.
#pragma once
#include <cstddef>

namespace tkcfg {

constexpr int kPageCount = 7;
enum PageIndex { kWelcome, kInternetNav, kKeyreach, kCustomizeKeys, kPrintLabel, kOsd, kSummary };
constexpr int kKeyCount = 7;
constexpr int kStepCount = 6;
constexpr std::size_t kField = 260;

// Wizard button flags as the property sheet takes them.
constexpr unsigned kBack = 1, kNext = 2, kFinish = 4;

// What the user decided during this run; -1 means not decided, so the stored setting applies.
struct WizardState {
    int navEnable = -1;
    int keyreachEnable = -1;
    int printEnable = -1;
    int osdEnable = -1;
    int trayShow = -1;
    unsigned long osdColor = 0;
    bool osdColorChosen = false;  // black is 0 too, so the choice is marked apart
    void* osdFont = nullptr;      // HFONT of the display example, owned by the display page
    int osdHeight = 0;            // point size x 10
    int selectedKey = -1;
};

// One Keyreach key: the assignment as stored, as applied during this run and as pending from
// the current tree selection. Commands may hold item ID list bytes (length > 0).
struct KeySlot {
    char pendingCommand[kField];
    char pendingParams[kField];
    int pendingLength;
    int pendingType;
    int type;
    char storedLabel[kField];
    char storedCommand[kField];
    char storedParams[kField];
    int storedLength;
    char label[kField];
    char command[kField];
    char params[kField];
    int commandLength;
    bool applied;  // Apply or Reset gave this key a new assignment during this run
};

// Page Back/Next moves. Back from Print Label skips Customize Keys when the keys are off.
int NextPage(int page);
int PreviousPage(int page, int keyreachEnable);

// Buttons offered on activation of the pages whose rule does not depend on page details.
unsigned RadioPageButtons(int radio);  // Back alone until a radio is set

// Layout normalisation: the page's dialog units (4 x 8 units = bx x by pixels) mapped to the
// fixed pixel grid the pictures are drawn for. k is 12 for Traditional Chinese, else 13.
struct Rect {
    int left, top, right, bottom;
};
Rect NormaliseRect(const Rect& r, int bx, int by, int k, bool keepWidth, bool keepHeight);
int VerticalFactor(unsigned short uiLanguage);

// The step link under a point, 0 to 5, or -1.
int StepAt(const Rect (&steps)[kStepCount], int x, int y);
// The page a step link leads to, and the step belonging to a page (-1 for Welcome).
inline int StepPage(int step) { return step + 1; }
inline int PageStep(int page) { return page - 1; }
// A later step is drawn grey: every step on the Welcome page, the ones after the current page else.
bool StepIsLater(int step, int currentPage);

// The Keyreach key under a point of the Customize Keys page, 0 to 6, or -1.
int KeyAt(int x, int y);
const Rect& KeyHotSpot(int key);

// The label proposed for a file: its name without folder and extension.
void FileLabel(const char* path, char* label, std::size_t size);
// Whether a path ends with the extension (".url", ".lnk"), any case.
bool HasExtension(const char* path, const char* ext);

// The text of the assignment button: the label for kinds 0 and 6, else command and parameters.
void AssignmentText(const KeySlot& slot, char* text, std::size_t size);

// Copies the pending choice into the applied fields (Apply).
void ApplyPending(KeySlot& slot, const char* label);
// Clears every copy of a slot and gives it its factory label (Reset to defaults).
void ResetSlot(KeySlot& slot, const char* factoryLabel);

}  // namespace tkcfg
