// The wizard's traffic with the settings store: loading the key slots and writing everything at
// Finish, then telling the hot-key service.
#pragma once
#include <windows.h>

#include "wizard/model.h"

namespace tkcfg {

extern const char kProfileRoot[];

// Page copies that Finish acts on; -1 where the page was never opened.
struct FinishInput {
    const KeySlot* slots = nullptr;  // kKeyCount of them; stored copies are updated through slotsOut
    KeySlot* slotsOut = nullptr;
    bool resetRequested = false;
    int navEnable = -1, keyreachEnable = -1, printEnable = -1, printScheme = -1, osdEnable = -1;
    int trayRadio = -1;  // 0 show, 1 hide
    HFONT osdFont = nullptr;
    int pointSize = 0, fontIndex = -1, colorIndex = -1, sizeIndex = -1;
    COLORREF color = 0;
    LANGID uiLanguage = 0;
};

// Reads the record of key k (0 to 6) into the slot's stored and applied copies.
void LoadKeySlot(int key, const char* factoryLabel, KeySlot& slot);
// Writes all of it, posts the reload and tray messages or starts the service.
void RunFinish(const FinishInput& in);

// The stored label of key k, or the factory label.
void StoredLabel(int key, const char* factoryLabel, char* label);
int ProfileNumber(const char* section, const char* name, int fallback);

}  // namespace tkcfg
