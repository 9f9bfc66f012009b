// Input reports through the reader's unpacking and key difference, decoded by the scripted
// keyboard's parser from a report descriptor: one of the keyboard's own three, or one taken from
// the input (the device supplies both). The first byte picks the descriptor (with the last choice
// the next byte is its length) and whether the reader is told the true number of button
// capabilities, none or one too many, as when the parser's list of them differs from its count.
// The rest is a run of input reports of the collection's length.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "hidkbd/tests/hidparser.h"
#include "hidkbd/unpack.h"

namespace {

using namespace fakekbd;
using vnhid::DataItem;

// The input items as the library builds them from the capabilities: one per button capability,
// with lists as long as the parser's longest usage list for its page, then one per value usage.
std::vector<DataItem> BuildItems(const Collection& c) {
    std::vector<DataItem> items;
    for (const Cap& cap : c.buttonCaps[kInput]) {
        DataItem item{};
        item.isButton = 1;
        item.usagePage = cap.page;
        item.reportId = cap.reportId;
        item.button.usageMin = cap.usageMin;
        item.button.usageMax = cap.usageMax;
        std::uint32_t max = MaxUsageListLength(c, kInput, cap.page);
        item.button.maxUsageLength = max;
        item.button.usages = static_cast<Usage*>(std::calloc(max ? max : 1, sizeof(Usage)));
        item.button.previous = static_cast<Usage*>(std::calloc(max ? max : 1, sizeof(Usage)));
        items.push_back(item);
    }
    for (const Cap& cap : c.valueCaps[kInput]) {
        std::uint32_t last = cap.isRange && cap.usageMax >= cap.usageMin ? cap.usageMax : cap.usageMin;
        for (std::uint32_t u = cap.usageMin; u <= last; ++u) {
            DataItem item{};
            item.usagePage = cap.page;
            item.reportId = cap.reportId;
            item.value.usage = Usage(u);
            items.push_back(item);
        }
    }
    return items;
}

// The keys each item has reported down and not yet up; followed only for the items that have a
// break list (the others report makes alone).
struct Check {
    const std::vector<DataItem>* items;
    std::uint32_t withBreaks;
    std::vector<std::set<std::uint32_t>> down;
};

void Event(void* context, std::uint32_t index, bool isDown, std::uint32_t pageAndUsage) {
    Check& check = *static_cast<Check*>(context);
    const DataItem& item = (*check.items)[index];
    std::uint32_t usage = pageAndUsage & 0xFFFF;
    if (pageAndUsage >> 16 != item.usagePage || usage == 0 || usage < item.button.usageMin ||
        usage > item.button.usageMax)
        std::abort();
    if (index >= check.withBreaks) return;
    std::set<std::uint32_t>& held = check.down[index];
    // Every make is of a key not held, every break of one held.
    if (isDown ? !held.insert(usage).second : held.erase(usage) != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::size_t at = 1;
    Bytes descriptor;
    switch (data[0] % 4) {
    case 0: descriptor = KeyboardDescriptor(); break;
    case 1: descriptor = ConsumerDescriptor(); break;
    case 2: descriptor = VendorDescriptor(); break;
    default:
        if (size < 2 || size - 2 < data[1]) return 0;
        descriptor.assign(data + 2, data + 2 + data[1]);
        at = 2 + data[1];
    }
    const Collection c = Collection::Parse(descriptor);
    const std::uint32_t length = c.length[kInput];
    if (!c.usable || length == 0) return 0;
    // Hundreds of items or list places add nothing but time per input.
    std::uint32_t places = 0;
    for (const Cap& cap : c.buttonCaps[kInput]) places += MaxUsageListLength(c, kInput, cap.page);
    for (const Cap& cap : c.valueCaps[kInput]) places += cap.isRange ? cap.usageMax - cap.usageMin : 1;
    if (places > 256) return 0;

    std::vector<DataItem> items = BuildItems(c);
    const std::uint32_t count = std::uint32_t(items.size());
    const std::uint32_t buttons = std::uint32_t(c.buttonCaps[kInput].size());
    const std::uint32_t told[3] = {buttons, 0, buttons + 1};
    vnhid::KeyState state;
    if (!vnhid::PrepareKeyState(state, items.data(), count, told[(data[0] >> 2) % 3])) std::abort();
    DescriptorParser parser(c);
    const std::uint32_t withBreaks = state.breakItems ? std::min(buttons, state.buttonItems) : 0;
    Check check{&items, withBreaks, std::vector<std::set<std::uint32_t>>(count)};
    std::vector<char> report(length);
    for (; size - at >= length; at += length) {
        std::memcpy(report.data(), data + at, length);
        vnhid::UnpackReport(parser, report.data(), length, items.data(), count, state);
        vnhid::ReportKeys(report.data(), items.data(), count, state, Event, &check);
        // After the report's events the keys held are those in range that the report lists.
        for (std::uint32_t i = 0; i < withBreaks; ++i) {
            const DataItem& item = items[i];
            if (item.reportId != std::uint8_t(report[0])) continue;
            std::set<std::uint32_t> listed;
            for (std::uint32_t k = 0; k < item.button.maxUsageLength && item.button.previous[k]; ++k) {
                std::uint32_t u = item.button.previous[k];
                if (u >= item.button.usageMin && u <= item.button.usageMax) listed.insert(u);
            }
            if (listed != check.down[i]) std::abort();
        }
    }
    vnhid::FreeKeyState(state);
    for (DataItem& item : items) {
        if (!item.isButton) continue;
        std::free(item.button.usages);
        std::free(item.button.previous);
    }
    return 0;
}
