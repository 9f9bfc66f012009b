#include "wizard/model.h"

#include <cctype>
#include <cstring>

#include "common/text.h"

namespace tkcfg {

int NextPage(int page) { return page + 1 < kPageCount ? page + 1 : page; }

int PreviousPage(int page, int keyreachEnable) {
    if (page == kPrintLabel && keyreachEnable == 0) return kKeyreach;
    return page > 0 ? page - 1 : 0;
}

unsigned RadioPageButtons(int radio) { return radio == -1 ? kBack : kBack | kNext; }

Rect NormaliseRect(const Rect& r, int bx, int by, int k, bool keepWidth, bool keepHeight) {
    if (bx <= 0 || by <= 0) return r;
    Rect out;
    out.left = r.left * 6 / bx;
    out.top = r.top * k / by;
    int width = keepWidth ? r.right - r.left : (r.right - r.left) * 6 / bx;
    int height = keepHeight ? r.bottom - r.top : (r.bottom - r.top) * k / by;
    out.right = out.left + width;
    out.bottom = out.top + height;
    return out;
}

int VerticalFactor(unsigned short uiLanguage) { return uiLanguage == 1028 ? 12 : 13; }

static bool Inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int StepAt(const Rect (&steps)[kStepCount], int x, int y) {
    for (int k = 0; k < kStepCount; ++k)
        if (Inside(steps[k], x, y)) return k;
    return -1;
}

bool StepIsLater(int step, int currentPage) {
    return currentPage == kWelcome || StepPage(step) > currentPage;
}

static const Rect kHotSpots[kKeyCount] = {
    {216, 152, 256, 197}, {292, 152, 332, 197}, {366, 152, 406, 197}, {438, 152, 478, 197},
    {511, 152, 551, 197}, {585, 152, 625, 197}, {658, 152, 698, 197},
};

const Rect& KeyHotSpot(int key) { return kHotSpots[key]; }

int KeyAt(int x, int y) {
    for (int k = 0; k < kKeyCount; ++k)
        if (Inside(kHotSpots[k], x, y)) return k;
    return -1;
}

void FileLabel(const char* path, char* label, std::size_t size) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    const char* dot = std::strrchr(name, '.');
    std::size_t n = dot ? static_cast<std::size_t>(dot - name) : std::strlen(name);
    if (size == 0) return;
    if (n > size - 1) n = size - 1;
    std::memcpy(label, name, n);
    label[n] = '\0';
}

bool HasExtension(const char* path, const char* ext) {
    std::size_t n = std::strlen(path), e = std::strlen(ext);
    if (n < e) return false;
    for (std::size_t i = 0; i < e; ++i)
        if (std::tolower(static_cast<unsigned char>(path[n - e + i])) != std::tolower(static_cast<unsigned char>(ext[i])))
            return false;
    return true;
}

void AssignmentText(const KeySlot& slot, char* text, std::size_t size) {
    if (slot.type == 0 || slot.type == 6) {
        vn::CopyTruncated(text, size, slot.label);
        return;
    }
    vn::CopyTruncated(text, size, slot.command);
    if (slot.params[0] && vn::AppendText(text, size, " ")) {
        if (!vn::AppendText(text, size, slot.params)) text[std::strlen(text) - 1] = '\0';
    }
}

void ApplyPending(KeySlot& slot, const char* label) {
    slot.applied = true;
    vn::CopyTruncated(slot.label, kField, label);
    slot.commandLength = slot.pendingLength;
    slot.type = slot.pendingType;
    if (slot.type == 6 && slot.pendingLength > 0 && slot.pendingLength <= static_cast<int>(kField)) {
        std::memcpy(slot.command, slot.pendingCommand, slot.pendingLength);
        slot.params[0] = '\0';  // an item ID list takes no arguments; old ones must not linger
    } else {
        slot.commandLength = 0;
        vn::CopyTruncated(slot.command, kField, slot.pendingCommand);
        vn::CopyTruncated(slot.params, kField, slot.pendingParams);
    }
}

void ResetSlot(KeySlot& slot, const char* factoryLabel) {
    std::memset(&slot, 0, sizeof slot);
    vn::CopyTruncated(slot.label, kField, factoryLabel);
}

}  // namespace tkcfg
