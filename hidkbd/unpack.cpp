#include "hidkbd/unpack.h"

#include <cstdlib>
#include <cstring>

namespace vnhid {
namespace {

// Copies the usages of src that lie in [min, max] into dst (length n), then a 0 when there is room.
// A usage listed twice (an array report naming one key in two slots) is kept once, so that every
// make is matched by exactly one break.
void KeepInRange(Usage* dst, const Usage* src, std::uint32_t n, std::uint32_t min, std::uint32_t max) {
    std::uint32_t out = 0;
    for (std::uint32_t i = 0; i < n && src[i] != 0; ++i) {
        if (src[i] < min || src[i] > max) continue;
        bool seen = false;
        for (std::uint32_t k = 0; k < out && !seen; ++k) seen = dst[k] == src[i];
        if (!seen) dst[out++] = src[i];
    }
    if (out < n) std::memset(dst + out, 0, (n - out) * sizeof(Usage));
}

std::uint32_t ReportId(const char* report) { return static_cast<unsigned char>(report[0]); }

void FreeBreakCopy(KeyState& state) {
    if (!state.breakItems) return;
    for (std::uint32_t i = 0; i < state.buttonItems; ++i) {
        if (!state.breakItems[i].isButton) continue;
        std::free(state.breakItems[i].button.usages);
        std::free(state.breakItems[i].button.previous);
    }
    std::free(state.breakItems);
    state.breakItems = nullptr;
}

}  // namespace

bool PrepareKeyState(KeyState& state, const DataItem* items, std::uint32_t itemCount,
                     std::uint32_t buttonCaps) {
    state.buttonItems = buttonCaps < itemCount ? buttonCaps : itemCount;
    std::uint32_t longest = 1;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        if (items[i].isButton && items[i].button.maxUsageLength > longest)
            longest = items[i].button.maxUsageLength;
    }
    state.makeScratch = static_cast<Usage*>(std::calloc(longest, sizeof(Usage)));
    state.breakScratch = static_cast<Usage*>(std::calloc(longest, sizeof(Usage)));
    if (!state.makeScratch || !state.breakScratch) return false;
    // The break copy: the items themselves, with fresh lists for the button items.
    DataItem* copy = static_cast<DataItem*>(std::calloc(itemCount ? itemCount : 1, sizeof(DataItem)));
    if (!copy) return true;
    if (itemCount) std::memcpy(copy, items, itemCount * sizeof(DataItem));
    for (std::uint32_t i = 0; i < state.buttonItems; ++i) {
        copy[i].button.usages = nullptr;
        copy[i].button.previous = nullptr;
    }
    bool ok = true;
    for (std::uint32_t i = 0; i < state.buttonItems && ok; ++i) {
        if (!copy[i].isButton) continue;
        std::uint32_t n = copy[i].button.maxUsageLength ? copy[i].button.maxUsageLength : 1;
        copy[i].button.usages = static_cast<Usage*>(std::calloc(n, sizeof(Usage)));
        copy[i].button.previous = static_cast<Usage*>(std::calloc(n, sizeof(Usage)));
        ok = copy[i].button.usages && copy[i].button.previous;
    }
    state.breakItems = copy;
    if (!ok) FreeBreakCopy(state);
    return true;
}

void FreeKeyState(KeyState& state) {
    FreeBreakCopy(state);
    std::free(state.makeScratch);
    std::free(state.breakScratch);
    state = KeyState{};
}

void UnpackReport(InputParser& parser, char* report, std::uint32_t length, DataItem* items,
                  std::uint32_t itemCount, KeyState& state) {
    const std::uint32_t id = ReportId(report);
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        DataItem& item = items[i];
        if (item.reportId != id) continue;
        if (item.isButton) {
            std::uint32_t max = item.button.maxUsageLength;
            // The parser writes only the usages it finds: clear what the last report left.
            std::memset(item.button.usages, 0, max * sizeof(Usage));
            std::uint32_t found = max;
            item.status = parser.GetUsages(item.usagePage, item.button.usages, &found, report, length);
            std::memset(state.makeScratch, 0, max * sizeof(Usage));
            std::memset(state.breakScratch, 0, max * sizeof(Usage));
            parser.UsageListDifference(item.button.previous, item.button.usages, state.breakScratch,
                                       state.makeScratch, max);
            std::memcpy(item.button.previous, item.button.usages, max * sizeof(Usage));
            KeepInRange(item.button.usages, state.makeScratch, max, item.button.usageMin,
                        item.button.usageMax);
            if (state.breakItems && i < state.buttonItems) {
                DataItem& copy = state.breakItems[i];
                KeepInRange(copy.button.usages, state.breakScratch, max, copy.button.usageMin,
                            copy.button.usageMax);
            }
        } else {
            item.status = parser.GetUsageValue(item.usagePage, item.value.usage, &item.value.value,
                                               report, length);
            item.status = parser.GetScaledUsageValue(item.usagePage, item.value.usage,
                                                     &item.value.scaledValue, report, length);
        }
        item.dataSet = 1;
    }
}

unsigned ReportKeys(const char* report, const DataItem* items, std::uint32_t itemCount,
                    const KeyState& state, KeySink sink, void* context) {
    const std::uint32_t id = ReportId(report);
    unsigned told = 0;
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        const DataItem& item = items[i];
        if (item.reportId != id || !item.isButton) continue;
        const DataItem* copy = state.breakItems && i < state.buttonItems ? &state.breakItems[i] : nullptr;
        std::uint32_t make = 0, brk = 0;
        for (std::uint32_t pos = 0; pos < item.button.maxUsageLength; ++pos) {
            Usage u = item.button.usages[make];
            if (u != 0) {
                sink(context, i, true, std::uint32_t(item.usagePage) << 16 | u);
                ++make;
                ++told;
            }
            if (copy) {
                Usage b = copy->button.usages[brk];
                if (b != 0) {
                    sink(context, i, false, std::uint32_t(copy->usagePage) << 16 | b);
                    ++brk;
                    ++told;
                }
            }
        }
    }
    return told;
}

}  // namespace vnhid
